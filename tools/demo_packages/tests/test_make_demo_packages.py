"""The demo archives: valid ZIPs, laid out as the installer expects, reproducible."""

import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
MAKER = os.path.join(HERE, "..", "make_demo_packages.py")

ARCHIVES = ("霁川.zip", "功能.zip", "反挂.zip", "工具.zip")

# Marker texts the installer looks for in the unpacked paths (case-insensitive),
# per archive: each must be found in at least one file's path.
MARKERS = {
    "霁川.zip": ("\\DBServer\\", "\\mir200\\", "\\SelGate\\", "\\LoginGate\\", "\\RunGate\\", "\\霁川引擎控制台"),
    "功能.zip": ("\\DBServer\\", "\\LoginGate\\", "\\Mir200\\", "\\tqgctl"),
    "反挂.zip": ("\\RunGate\\",),
}

REQUIRED_FILES = {
    "霁川.zip": ("霁川引擎/DBServer/DBServer.exe", "霁川引擎/Mir200/M2Server.exe", "霁川引擎/Mir200/PlugList.txt",
                 "霁川引擎控制台.exe"),
    "功能.zip": ("Mir200/TQGM2PlusLoad.dll",),
}


def make(out_dir, *options, env=None):
    result = subprocess.run([sys.executable, "-B", MAKER, out_dir, *options], capture_output=True, text=True,
                            env=env)
    if result.returncode != 0:
        raise AssertionError(f"make_demo_packages.py {' '.join(options)} failed: {result.stderr}")
    return {name: os.path.join(out_dir, name) for name in ARCHIVES}


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def staged_path(name):
    """The path as the installer sees it below its staging folder."""
    return "\\staging\\" + name.replace("/", "\\")


class DemoPackagesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.paths = make(os.path.join(cls.tmp.name, "base"))

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def open_gbk(self, archive):
        return zipfile.ZipFile(self.paths[archive], metadata_encoding="gbk")

    def test_archives_open_and_every_entry_checks(self):
        for archive in ARCHIVES:
            with self.open_gbk(archive) as z:
                self.assertIsNone(z.testzip(), archive)
                infos = z.infolist()
                self.assertGreater(len([i for i in infos if not i.is_dir()]), 1, archive)
                for info in infos:
                    self.assertLessEqual(len(info.filename.encode("gbk")), 120, f"{archive}: {info.filename}")
                    self.assertEqual(info.flag_bits & 0x800, 0, f"{archive}: {info.filename} flagged UTF-8")

    def test_stored_and_deflated_entries_are_mixed(self):
        methods = set()
        for archive in ARCHIVES:
            with self.open_gbk(archive) as z:
                methods |= {i.compress_type for i in z.infolist() if not i.is_dir()}
        self.assertEqual(methods, {zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED})

    def test_archives_begin_with_a_local_header_of_a_named_entry(self):
        # The unpacker refuses a file whose first bytes are not a local header
        # or whose first name length and upper size half are both zero.
        for archive in ARCHIVES:
            head = read_bytes(self.paths[archive])[:32]
            self.assertEqual(head[:4], b"PK\x03\x04", archive)
            self.assertGreaterEqual(int.from_bytes(head[24:28], "little", signed=True), 1, archive)

    def test_marker_directories_are_present(self):
        for archive, markers in MARKERS.items():
            with self.open_gbk(archive) as z:
                paths = [staged_path(i.filename).lower() for i in z.infolist() if not i.is_dir()]
            for marker in markers:
                found = [p for p in paths if marker.lower() in p]
                self.assertTrue(found, f"{archive}: no file under a {marker} marker in {paths}")

    def test_required_files_are_present(self):
        for archive, names in REQUIRED_FILES.items():
            with self.open_gbk(archive) as z:
                listed = set(z.namelist())
            for name in names:
                self.assertIn(name, listed, archive)

    def test_every_directory_entry_comes_before_what_it_holds(self):
        # Unpacking into an absolute path creates a file's folders only from
        # the archive's own directory entries.
        for archive in ARCHIVES:
            seen = set()
            with self.open_gbk(archive) as z:
                for info in z.infolist():
                    parts = info.filename.rstrip("/").split("/")
                    for depth in range(1, len(parts)):
                        parent = "/".join(parts[:depth]) + "/"
                        self.assertIn(parent, seen, f"{archive}: {info.filename} before {parent}")
                    if info.is_dir():
                        seen.add(info.filename)

    def test_texts_are_gbk_with_crlf(self):
        with self.open_gbk("霁川.zip") as z:
            plug_list = z.read("霁川引擎/Mir200/PlugList.txt")
            notes = z.read("霁川引擎/版本说明.txt")
        self.assertEqual(plug_list, b"M2PocketX86.dll\r\n")
        self.assertIn("演示包".encode("gbk"), notes)
        self.assertNotIn(b"\n", notes.replace(b"\r\n", b""))

    def test_output_is_reproducible_byte_for_byte(self):
        # Another time zone and umask: neither the clock nor the machine shows.
        env = dict(os.environ, TZ="Asia/Shanghai" if os.environ.get("TZ") != "Asia/Shanghai" else "UTC")
        old_umask = os.umask(0o077)
        try:
            again = make(os.path.join(self.tmp.name, "again"), env=env)
        finally:
            os.umask(old_umask)
        for archive in ARCHIVES:
            self.assertEqual(read_bytes(again[archive]), read_bytes(self.paths[archive]), archive)

    def test_variant_changes_only_the_named_packages(self):
        cases = [
            (("--variant", "1"), {"霁川.zip"}),
            (("--variant", "1", "--package", "功能"), {"功能.zip"}),
            (("--variant", "2", "--package", "反挂", "--package", "工具"), {"反挂.zip", "工具.zip"}),
            (("--variant", "0", "--package", "功能"), set()),
        ]
        for n, (options, changed) in enumerate(cases):
            other = make(os.path.join(self.tmp.name, f"variant{n}"), *options)
            got = {a for a in ARCHIVES if read_bytes(other[a]) != read_bytes(self.paths[a])}
            self.assertEqual(got, changed, f"case {n} {options}: changed {got}, expected {changed}")
            for archive in changed:
                with zipfile.ZipFile(other[archive], metadata_encoding="gbk") as z:
                    self.assertIsNone(z.testzip(), f"case {n}: {archive}")
        one = read_bytes(make(os.path.join(self.tmp.name, "v1"), "--variant", "1")["霁川.zip"])
        two = read_bytes(make(os.path.join(self.tmp.name, "v2"), "--variant", "2")["霁川.zip"])
        self.assertNotEqual(one, two)

    def test_utf8_names_are_flagged(self):
        paths = make(os.path.join(self.tmp.name, "utf8"), "--name-encoding", "utf-8")
        with zipfile.ZipFile(paths["霁川.zip"]) as z:
            info = z.getinfo("霁川引擎控制台.exe")
            self.assertEqual(info.flag_bits & 0x800, 0x800)
            self.assertIsNone(z.testzip())
        with self.open_gbk("霁川.zip") as z:
            self.assertEqual(z.read("霁川引擎控制台.exe"), read_bytes_entry(paths["霁川.zip"], "霁川引擎控制台.exe"))


def read_bytes_entry(path, name):
    with zipfile.ZipFile(path) as z:
        return z.read(name)


if __name__ == "__main__":
    unittest.main()
