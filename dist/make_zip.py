#!/usr/bin/env python3
"""make_zip.py ZIP FOLDER_NAME EPOCH FILE...

Writes a zip holding the given files inside one folder FOLDER_NAME, the same
bytes on every build: the entries in name order, every time stamp set to
EPOCH (seconds since 1970, UTC; 1980 at the earliest, as zip times start
there), MS-DOS attributes only, the same compression level.
"""
import os
import sys
import time
import zipfile

ARCHIVE_ATTRIBUTE = 0x20


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    target, folder, epoch, files = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4:]
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(target, "w") as archive:
        for path in sorted(files, key=os.path.basename):
            info = zipfile.ZipInfo(folder + "/" + os.path.basename(path), date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0
            info.external_attr = ARCHIVE_ATTRIBUTE
            with open(path, "rb") as f:
                archive.writestr(info, f.read(), compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)


if __name__ == "__main__":
    main()
