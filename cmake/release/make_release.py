#!/usr/bin/env python3
"""Makes the release from one build: the program as shipped (stripped, and
signed when a certificate is given), then the zip and the MSI around that same
program, then the MSI's own signature. Run by the `release` target.

    make_release.py --inputs BUILD/release-inputs.json [--version V] [--out-dir D]

The inputs file is written by cmake/Release.cmake. --version and --out-dir
make another release from the same build, such as an older-numbered one to
test upgrades with. Signing: see signing.py.

Unsigned, the same build gives the same zip (file dates and the program's
header date from SOURCE_DATE_EPOCH when set, the reproducible-builds
convention); the MSI carries a fresh package code every time, as Windows
Installer expects of a package that is rebuilt.
"""
import argparse
import json
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from msi_package import PackageFailed, build_msi  # noqa: E402
from program_image import NotAProgram, prepare_program  # noqa: E402
from signing import Signer, SigningFailed  # noqa: E402
from zip_pack import pack_zip  # noqa: E402

DEFAULT_EPOCH = 946684800  # 2000-01-01 00:00:00 UTC


def release_epoch():
    value = os.environ.get("SOURCE_DATE_EPOCH")
    return int(value) if value else DEFAULT_EPOCH


def make_release(inputs, version, out_dir):
    name = f"cuewire-{version}-win64"
    files = [(entry["name"], entry["source"]) for entry in inputs["files"]]
    for source in [inputs["program"], inputs["wxs"], inputs["icon"], inputs["licence_rtf"]] + [s for _, s in files]:
        if not os.path.isfile(source):
            raise FileNotFoundError(f"missing {source}")

    signer = Signer(inputs["osslsigncode"])
    signer.check()
    os.makedirs(os.path.join(out_dir, "release"), exist_ok=True)
    # The program takes its place only once it is signed: a failed signing
    # leaves no unsigned program where the signed one is expected.
    program = os.path.join(out_dir, "release", "cuewire.exe")
    with tempfile.TemporaryDirectory(dir=os.path.dirname(program)) as scratch:
        unfinished = os.path.join(scratch, "cuewire.exe")
        prepare_program(inputs["strip"], inputs["program"], unfinished, release_epoch())
        if signer.enabled:
            signer.sign(unfinished, "Cuewire", inputs["help_url"])
        os.replace(unfinished, program)

    pack_zip(os.path.join(out_dir, name + ".zip"), name, ("cuewire.exe", program), files,
             release_epoch())

    msi = os.path.join(out_dir, name + ".msi")
    sources = dict(files)
    build_msi(inputs["wixl"], inputs["wxs"], msi, version, {
        "Program": program,
        "Guide": sources["operator-guide.md"],
        "Licence": inputs["licence_rtf"],
        "FontLicence": sources["LibreFranklin-OFL.txt"],
        "MingwLicence": sources["mingw-w64-runtime-licence.txt"],
        "GccLicence": sources["gcc-runtime-licence.txt"],
        "Icon": inputs["icon"],
    }, {"HelpUrl": inputs["help_url"]})
    if signer.enabled:
        signer.sign(msi, "Cuewire installer", inputs["help_url"])
        print(f"release: {name}.zip and {name}.msi, signed with {signer.pfx}")
    else:
        print(f"release: {name}.zip and {name}.msi are NOT signed "
              "(set CUEWIRE_SIGN_PFX and CUEWIRE_SIGN_PASSWORD to sign them)")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--inputs", required=True)
    parser.add_argument("--version")
    parser.add_argument("--out-dir")
    args = parser.parse_args()
    with open(args.inputs, encoding="utf-8") as f:
        inputs = json.load(f)
    try:
        make_release(inputs, args.version or inputs["version"], args.out_dir or inputs["out_dir"])
    except (FileNotFoundError, NotAProgram, PackageFailed, SigningFailed) as failure:
        sys.exit(f"release: {failure}")


if __name__ == "__main__":
    main()
