#!/usr/bin/env python3
"""Packs the skin tree into the zip archive that the program carries as its
THEME resource.

    pack_skin.py RESOURCES_DIR OUTPUT_ZIP

Every file under RESOURCES_DIR except the channel text is stored under
"resources/" with forward slashes. PNG images are already compressed and are
stored as they are; everything else (XML, INI) is deflated. Members are written
in sorted order with a fixed time stamp and fixed attributes, so the same tree
always gives the same bytes.
"""

import os
import sys
import zipfile

# Not part of the skin: the channel travels as its own resource.
EXCLUDED = {"channel.txt", "CMakeLists.txt"}
FIXED_TIME = (1980, 1, 1, 0, 0, 0)
STORED_SUFFIXES = (".png",)


def collect(root):
    members = []
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        for name in files:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, root).replace(os.sep, "/")
            if relative in EXCLUDED or name.startswith("."):
                continue
            members.append((relative, path))
    members.sort(key=lambda item: item[0].encode("utf-8"))
    return members


def pack(root, output):
    members = collect(root)
    temporary = output + ".tmp"
    with zipfile.ZipFile(temporary, "w") as archive:
        for relative, path in members:
            with open(path, "rb") as source:
                data = source.read()
            info = zipfile.ZipInfo("resources/" + relative, date_time=FIXED_TIME)
            info.create_system = 0  # MS-DOS: no Unix permission bits
            info.external_attr = 0
            if relative.lower().endswith(STORED_SUFFIXES):
                info.compress_type = zipfile.ZIP_STORED
                archive.writestr(info, data)
            else:
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, data, compresslevel=9)
    os.replace(temporary, output)
    return len(members)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    root, output = argv[1], argv[2]
    if not os.path.isdir(root):
        sys.stderr.write("no such folder: %s\n" % root)
        return 1
    folder = os.path.dirname(os.path.abspath(output))
    os.makedirs(folder, exist_ok=True)
    count = pack(root, output)
    print("packed %d files into %s (%d bytes)" % (count, output, os.path.getsize(output)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
