"""The release zip: every entry in one folder, the same inputs giving the same
bytes. Entries carry fixed permissions and one fixed date, and no access or
change times."""
import os
import time
import zipfile


def _add_entry(archive, name, data, mode, epoch):
    info = zipfile.ZipInfo(name, date_time=time.gmtime(epoch)[:6])
    info.create_system = 3  # Unix, so that the permissions below mean something
    info.external_attr = (0o100000 | mode) << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    archive.writestr(info, data, compresslevel=9)


def pack_zip(zip_path, folder, program, files, epoch):
    """Packs `program` (NAME, PATH) as an executable entry, then `files`
    ((NAME, PATH) pairs) in the order given, all under `folder`/."""
    # Zip dates cannot go before 1980.
    epoch = max(epoch, 315532800)
    partial = zip_path + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for (name, source), mode in [(program, 0o755)] + [(entry, 0o644) for entry in files]:
            with open(source, "rb") as f:
                _add_entry(archive, f"{folder}/{name}", f.read(), mode, epoch)
    os.replace(partial, zip_path)
