#!/usr/bin/env python3
"""Packs the skin twice, and once more from a copy of the tree with files
created in another order and with other time stamps and permissions; all three
archives must be identical byte for byte. Also checks what the archive holds.

    pack_test.py PACK_SKIN_PY RESOURCES_DIR SCRATCH_DIR
"""

import os
import shutil
import subprocess
import sys
import zipfile


def pack(packer, root, out):
    subprocess.run([sys.executable, packer, root, out], check=True, stdout=subprocess.DEVNULL)
    with open(out, "rb") as f:
        return f.read()


def main():
    packer, resources, scratch = sys.argv[1:4]
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    first = pack(packer, resources, os.path.join(scratch, "a.zip"))
    second = pack(packer, resources, os.path.join(scratch, "b.zip"))
    assert first == second, "packing twice gave different bytes"

    # A copy written in reverse order, with other times and modes.
    copy = os.path.join(scratch, "tree")
    files = []
    for folder, _, names in os.walk(resources):
        for name in names:
            files.append(os.path.relpath(os.path.join(folder, name), resources))
    for i, relative in enumerate(sorted(files, reverse=True)):
        target = os.path.join(copy, relative)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(os.path.join(resources, relative), target)
        os.utime(target, (1_700_000_000 + i * 977, 1_700_000_000 + i * 977))
        os.chmod(target, 0o600 if i % 2 else 0o755)
    third = pack(packer, copy, os.path.join(scratch, "c.zip"))
    assert first == third, "the same tree from another checkout gave different bytes"

    # A changed file changes the archive.
    with open(os.path.join(copy, "lang", "en_US", "gdstrings.ini"), "ab") as f:
        f.write(b"EXTRA = 1\n")
    fourth = pack(packer, copy, os.path.join(scratch, "d.zip"))
    assert first != fourth, "a changed tree gave the same archive"

    with zipfile.ZipFile(os.path.join(scratch, "a.zip")) as archive:
        infos = archive.infolist()
        names = [i.filename for i in infos]
        assert names == sorted(names, key=lambda n: n.encode()), "members not in sorted order"
        assert all(n.startswith("resources/") and "\\" not in n for n in names), names
        assert "resources/channel.txt" not in names
        assert not any(n.endswith("/") for n in names), "folder entries packed"
        methods = {i.filename: i.compress_type for i in infos}
        assert all(m == zipfile.ZIP_STORED for n, m in methods.items() if n.endswith(".png"))
        assert all(m == zipfile.ZIP_DEFLATED for n, m in methods.items() if not n.endswith(".png"))
        assert any(n.endswith(".png") for n in names) and any(n.endswith(".xml") for n in names)
        for theme in ("default", "default-hdpi", "default-xhdpi"):
            for member in ("global.xml", "basic/basic.xml", "msgbox/msgbox.xml", "shadow/shadow.xml",
                           "public/bk/bk_shadow.png", "basic/logo.png"):
                assert "resources/themes/%s/%s" % (theme, member) in names, (theme, member)
        assert archive.testzip() is None
        print("%d members, %d bytes, reproducible" % (len(names), len(first)))


if __name__ == "__main__":
    main()
