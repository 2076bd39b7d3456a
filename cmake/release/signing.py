"""Authenticode signatures with osslsigncode, from a certificate given to the
build through the environment:

    CUEWIRE_SIGN_PFX            the certificate and its private key (PKCS#12)
    CUEWIRE_SIGN_PASSWORD       its password (empty when it has none)
    CUEWIRE_SIGN_TIMESTAMP_URL  a time-stamping server (RFC 3161); optional,
                                and off unless set: it needs the internet

Without CUEWIRE_SIGN_PFX nothing is signed. A certificate that is named but
cannot be used stops the release: a studio must never get an unsigned program
from a build that was meant to sign."""
import os
import shutil
import subprocess


class SigningFailed(Exception):
    pass


class Signer:
    def __init__(self, osslsigncode, environment=os.environ):
        self.tool = osslsigncode
        self.pfx = environment.get("CUEWIRE_SIGN_PFX", "")
        self.password = environment.get("CUEWIRE_SIGN_PASSWORD", "")
        self.timestamp_url = environment.get("CUEWIRE_SIGN_TIMESTAMP_URL", "")

    @property
    def enabled(self):
        return bool(self.pfx)

    def check(self):
        if not self.enabled:
            return
        if not os.path.isfile(self.pfx):
            raise SigningFailed(f"CUEWIRE_SIGN_PFX names no file: {self.pfx}")
        if not self.tool:
            raise SigningFailed("osslsigncode not found (tools/setup.sh installs it)")

    def sign(self, path, description, url):
        """Signs `path` in place (a PE program or an MSI)."""
        signed = path + ".signed"
        command = [self.tool, "sign", "-pkcs12", self.pfx, "-readpass", "-",
                   "-h", "sha256", "-n", description, "-i", url]
        if self.timestamp_url:
            command += ["-ts", self.timestamp_url]
        command += ["-in", path, "-out", signed]
        # The password goes through a pipe, never the command line, which
        # other users of the machine can read.
        result = subprocess.run(command, input=self.password.encode(),
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if result.returncode != 0 or not os.path.isfile(signed):
            if os.path.exists(signed):
                os.remove(signed)
            output = " / ".join(line.strip() for line in result.stdout.decode(errors="replace").splitlines()
                                if line.strip())
            raise SigningFailed(f"cannot sign {os.path.basename(path)}: {output or 'osslsigncode failed'}")
        shutil.copymode(path, signed)
        os.replace(signed, path)
