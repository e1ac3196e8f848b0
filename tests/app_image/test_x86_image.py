"""Checks the built program's PE image without running it.

    test_x86_image.py <exe> [--x64]

The shipped program is a 32-bit GUI executable that needs nothing but system
DLLs and carries its manifest, version, channel and skin as resources.
"""

import re
import struct
import sys
import unittest
import zipfile
import io

EXE = None
X64 = False

# KnownDLLs on every supported Windows: the loader never takes these from the
# program's folder. Any other system DLL must be delay-loaded.
KNOWN_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "oleaut32.dll", "shlwapi.dll", "msvcrt.dll", "ws2_32.dll", "imm32.dll", "comdlg32.dll",
    "wldap32.dll", "rpcrt4.dll", "psapi.dll", "setupapi.dll", "normaliz.dll", "nsi.dll",
}
# What every user downloads first: a change that pulls in a large library shows
# here at once.
SIZE_LIMIT = 700 * 1024
VISTA_TO_WIN10 = [
    "e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
    "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
    "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",
]


class PeImage:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        assert data[pe:pe + 4] == b"PE\0\0", "not a PE image"
        self.machine, nsections = struct.unpack_from("<HH", data, pe + 4)
        opt_size = struct.unpack_from("<H", data, pe + 20)[0]
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        if self.magic == 0x10B:
            self.image_base = struct.unpack_from("<I", data, opt + 28)[0]
        else:
            self.image_base = struct.unpack_from("<Q", data, opt + 24)[0]
        dirs = opt + (96 if self.magic == 0x10B else 112)
        self.dirs = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(16)]
        self.sections = []
        self.code = []
        sec = opt + opt_size
        for i in range(nsections):
            name, vsize, va, rsize, raw = struct.unpack_from("<8sIIII", data, sec + 40 * i)
            self.sections.append((va, max(vsize, rsize), raw))
            flags = struct.unpack_from("<I", data, sec + 40 * i + 36)[0]
            if flags & 0x20000000:  # IMAGE_SCN_MEM_EXECUTE
                self.code.append((va, vsize))

    def off(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError("rva %x outside sections" % rva)

    def cstr(self, rva):
        o = self.off(rva)
        return self.data[o:self.data.index(b"\0", o)].decode("ascii")

    def imports(self):
        rva, _ = self.dirs[1]
        names, o = [], self.off(rva)
        while True:
            desc = struct.unpack_from("<IIIII", self.data, o)
            if desc == (0, 0, 0, 0, 0):
                return names
            names.append(self.cstr(desc[3]))
            o += 20

    def delay_imports(self):
        """{dll name: [IAT slot values]} of the delay-load descriptors. The GNU
        linker leaves the image's delay-import directory empty, so they are
        found by their shape: attributes 1 (RVAs), then the RVAs of the DLL's
        name, its module handle, its IAT and its name table."""
        found = {}
        word = 4 if self.magic == 0x10B else 8
        fmt = "<I" if word == 4 else "<Q"
        for va, size, raw in self.sections:
            end = min(raw + size, len(self.data)) - 32
            for o in range(raw, end, 4):
                attrs, name, hmod, iat, int_ = struct.unpack_from("<IIIII", self.data, o)
                if attrs != 1 or not (name and hmod and iat and int_):
                    continue
                try:
                    dll = self.cstr(name)
                    io, no = self.off(iat), self.off(int_)
                except (ValueError, UnicodeDecodeError):
                    continue
                if not re.fullmatch(r"[A-Za-z0-9_]+\.dll", dll):
                    continue
                slots = []
                while struct.unpack_from(fmt, self.data, no)[0]:
                    slots.append(struct.unpack_from(fmt, self.data, io)[0])
                    io += word
                    no += word
                found[dll.lower()] = slots
        return found

    def in_code(self, address):
        rva = address - self.image_base
        return any(va <= rva < va + size for va, size in self.code)

    def resources(self):
        """{(type, id): bytes} with string types as str and numeric ones as int."""
        base_rva, _ = self.dirs[2]
        base = self.off(base_rva)
        out = {}

        def entries(o):
            named, ids = struct.unpack_from("<HH", self.data, o + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, o + 16 + 8 * i)
                if name & 0x80000000:
                    so = base + (name & 0x7FFFFFFF)
                    n = struct.unpack_from("<H", self.data, so)[0]
                    key = self.data[so + 2:so + 2 + 2 * n].decode("utf-16-le")
                else:
                    key = name
                yield key, target

        for rtype, t in entries(base):
            for rid, t2 in entries(base + (t & 0x7FFFFFFF)):
                for _lang, t3 in entries(base + (t2 & 0x7FFFFFFF)):
                    rva, size = struct.unpack_from("<II", self.data, base + t3)
                    o = self.off(rva)
                    out[(rtype, rid)] = self.data[o:o + size]
        return out


class ImageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(EXE, "rb") as f:
            cls.pe = PeImage(f.read())
        cls.res = cls.pe.resources()

    def test_machine_and_subsystem(self):
        if X64:
            self.assertEqual((self.pe.machine, self.pe.magic), (0x8664, 0x20B))
        else:
            self.assertEqual((self.pe.machine, self.pe.magic), (0x14C, 0x10B), "PE32 i386")
        self.assertEqual(self.pe.subsystem, 2, "GUI subsystem")

    def test_download_size(self):
        if X64:
            self.skipTest("the shipped image is the 32-bit one")
        self.assertLessEqual(len(self.pe.data), SIZE_LIMIT,
                             "the shipped program grew past %d bytes" % SIZE_LIMIT)

    def test_only_system_dlls(self):
        imports = [n.lower() for n in self.pe.imports()]
        self.assertIn("kernel32.dll", imports)
        self.assertEqual([n for n in imports if n not in KNOWN_DLLS], [],
                         "link it through pw_delay_import instead")

    def test_delay_imports_reach_their_stubs(self):
        # Until its first call a delay-loaded function's slot points at a stub
        # in the program's code that loads the DLL; a slot left at 0 is a call
        # to address 0.
        delayed = self.pe.delay_imports()
        self.assertIn("gdiplus.dll", delayed)
        for dll, slots in delayed.items():
            bad = [i for i, slot in enumerate(slots) if not self.pe.in_code(slot)]
            self.assertEqual(bad, [], "%s: slots %s lead nowhere" % (dll, bad))

    def test_manifest(self):
        manifest = self.res[(24, 1)].decode("utf-8")
        self.assertRegex(manifest, r'requestedExecutionLevel level="requireAdministrator"')
        self.assertRegex(manifest, r"<dpiAware[^>]*>true</dpiAware>")
        for guid in VISTA_TO_WIN10:
            self.assertIn("{%s}" % guid, manifest)

    def test_version_resource(self):
        version = self.res[(16, 1)]
        sig = version.index(struct.pack("<I", 0xFEEF04BD))
        ms, ls = struct.unpack_from("<II", version, sig + 8)
        got = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        cmake = open(__file__.replace("tests/app_image/test_x86_image.py", "CMakeLists.txt")).read()
        want = re.search(r"project\(\S+ VERSION ([0-9.]+)", cmake).group(1)
        self.assertEqual(got, want)

    def test_channel(self):
        self.assertEqual(self.res[("CHANNEL", 138)], b"website_kmtlow")

    def test_skin_archive(self):
        self.assertIn(("THEME", 136), self.res, "the skin is not packed into the program")
        with zipfile.ZipFile(io.BytesIO(self.res[("THEME", 136)])) as z:
            names = z.namelist()
        self.assertIn("resources/themes/default/basic/basic.xml", names)
        self.assertTrue(all(n.startswith("resources/") and "\\" not in n for n in names))


if __name__ == "__main__":
    EXE = sys.argv[1]
    X64 = "--x64" in sys.argv
    unittest.main(argv=[sys.argv[0]], verbosity=2)
