"""The Windows Installer package, built by wixl from installer/cuewire.wxs."""
import os
import re
import shutil
import subprocess
import tempfile
import uuid

# Product codes are derived from this (the package's UpgradeCode) and the version.
PRODUCT_CODE_NAMESPACE = uuid.UUID("0241B3C3-E131-4CDC-9A85-E5776FAF0DFD")


class PackageFailed(Exception):
    pass


def installer_version(version):
    """Windows Installer versions have three or four numbers, the first two
    below 256 and the third below 65536."""
    match = re.fullmatch(r"(\d+)\.(\d+)\.(\d+)(?:\.(\d+))?", version)
    if not match:
        raise PackageFailed(f"'{version}' is not a version of three or four numbers")
    numbers = [int(n) for n in match.groups() if n is not None]
    limits = [255, 255, 65535, 65535]
    if any(n > limit for n, limit in zip(numbers, limits)):
        raise PackageFailed(f"'{version}' is beyond Windows Installer's limits (255.255.65535)")
    return ".".join(str(n) for n in numbers)


def product_code(version):
    """One product code per version, the same on every build of it. Windows
    Installer compares only the first three numbers when it upgrades, so
    builds that differ in the fourth alone share a product code: installing
    one over the other is refused instead of leaving two products side by
    side."""
    three = ".".join(installer_version(version).split(".")[:3])
    return str(uuid.uuid5(PRODUCT_CODE_NAMESPACE, f"Cuewire {three}")).upper()


def build_msi(wixl, wxs, output, version, sources, values):
    """Runs wixl. `sources` maps the source's $(var.X) names to files, `values`
    to plain values."""
    if not wixl:
        raise PackageFailed("wixl not found (tools/setup.sh installs it)")
    defines = dict(values, Version=installer_version(version), ProductCode=product_code(version))
    # wixl takes only file names relative to its working folder.
    with tempfile.TemporaryDirectory() as scratch:
        for name, source in sources.items():
            staged = name + os.path.splitext(source)[1]
            shutil.copyfile(source, os.path.join(scratch, staged))
            defines[name] = staged
        command = [wixl, "--arch", "x64", "--output", os.path.abspath(output)]
        for name, value in defines.items():
            command += ["--define", f"{name}={value}"]
        command.append(os.path.abspath(wxs))
        result = subprocess.run(command, cwd=scratch, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if result.returncode != 0 or not os.path.isfile(output):
        raise PackageFailed(f"wixl failed:\n{result.stdout.decode(errors='replace')}")
