"""The publisher's configuration text, read back the way the updater reads it."""

import configparser
import hashlib
import os
import subprocess
import sys
import tempfile
import unittest
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
PUBLISH = os.path.join(HERE, "..", "publish.py")
sys.path.insert(0, os.path.join(HERE, ".."))

import publish  # noqa: E402

ARCHIVES = ("霁川.zip", "功能.zip", "反挂.zip", "工具.zip")
SECTION_ARCHIVES = (("霁川", "霁川.zip"), ("正式", "霁川.zip"), ("功能", "功能.zip"), ("反挂", "反挂.zip"),
                    ("其他", "工具.zip"))


def run_publish(*args):
    return subprocess.run([sys.executable, "-B", PUBLISH, *args], capture_output=True, text=True)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def parse(data):
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read_string(data.decode("gbk"))
    return parser


class PublisherTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name
        for i, name in enumerate(ARCHIVES):
            with open(os.path.join(self.dir, name), "wb") as f:
                f.write(f"archive {i} ".encode() * (100 + i))
        self.output = os.path.join(self.dir, "xiazaiqi", "xiazai2.txt")

    def tearDown(self):
        self.tmp.cleanup()

    def publish_default(self, base="http://127.0.0.1:8080/packages", *extra):
        result = run_publish(self.dir, base, *extra)
        self.assertEqual(result.returncode, 0, result.stderr)
        return read_bytes(self.output)

    def test_text_is_gbk_with_crlf_line_ends_and_holds_the_word_fanggua(self):
        data = self.publish_default()
        data.decode("gbk")  # raises on anything that is not GBK
        self.assertNotIn(b"\n", data.replace(b"\r\n", b""), "a bare LF")
        self.assertNotIn(b"\r", data.replace(b"\r\n", b""), "a bare CR")
        self.assertTrue(data.endswith(b"\r\n"))
        self.assertIn("反挂".encode("gbk"), data)
        self.assertNotIn("反挂".encode("utf-8"), data)

    def test_five_sections_each_with_url_and_md5(self):
        config = parse(self.publish_default())
        self.assertEqual(config.sections(), [s for s, _ in SECTION_ARCHIVES])
        for section in config.sections():
            self.assertEqual(list(config[section].keys()), ["URL", "MD5"], section)

    def test_digests_are_lower_case_md5_of_each_sections_archive(self):
        config = parse(self.publish_default())
        for section, archive in SECTION_ARCHIVES:
            with open(os.path.join(self.dir, archive), "rb") as f:
                expected = hashlib.md5(f.read()).hexdigest()
            got = config[section]["MD5"]
            self.assertEqual(got, expected, f"[{section}]: got {got}, expected {expected}")
            self.assertRegex(got, r"^[0-9a-f]{32}$")

    def test_urls_are_the_base_and_the_percent_encoded_utf8_file_name(self):
        cases = [
            ("http://127.0.0.1:8080/packages", "http://127.0.0.1:8080/packages/"),
            ("http://127.0.0.1:8080/packages/", "http://127.0.0.1:8080/packages/"),
            ("http://127.0.0.1/", "http://127.0.0.1/"),
            ("http://127.0.0.1/发布 包", "http://127.0.0.1/%E5%8F%91%E5%B8%83%20%E5%8C%85/"),
            ("http://127.0.0.1/a%20b", "http://127.0.0.1/a%20b/"),
            ("ftp://user@127.0.0.1:2121/pub", "ftp://user@127.0.0.1:2121/pub/"),
        ]
        for base, prefix in cases:
            config = parse(self.publish_default(base))
            for section, archive in SECTION_ARCHIVES:
                expected = prefix + urllib.parse.quote(archive.encode("utf-8"))
                got = config[section]["URL"]
                self.assertEqual(got, expected, f"base {base!r} [{section}]: got {got}, expected {expected}")
                got.encode("ascii")
        self.assertEqual(parse(self.publish_default())["正式"]["URL"],
                         "http://127.0.0.1:8080/packages/%E9%9C%81%E5%B7%9D.zip")

    def test_test_engine_option_gives_section_jichuan_its_own_archive(self):
        os.makedirs(os.path.join(self.dir, "测试"))
        with open(os.path.join(self.dir, "测试", "霁川 test.zip"), "wb") as f:
            f.write(b"test edition engine")
        config = parse(self.publish_default("http://127.0.0.1/p", "--test-engine", "测试/霁川 test.zip"))
        self.assertEqual(config["霁川"]["MD5"], hashlib.md5(b"test edition engine").hexdigest())
        self.assertEqual(config["霁川"]["URL"],
                         "http://127.0.0.1/p/%E6%B5%8B%E8%AF%95/%E9%9C%81%E5%B7%9D%20test.zip")
        self.assertNotEqual(config["正式"]["MD5"], config["霁川"]["MD5"])
        self.assertTrue(config["正式"]["URL"].endswith("/%E9%9C%81%E5%B7%9D.zip"))

    def test_output_option_writes_there_and_only_there(self):
        elsewhere = os.path.join(self.dir, "www", "config.txt")
        result = run_publish(self.dir, "http://127.0.0.1/p", "-o", elsewhere)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(parse(read_bytes(elsewhere)).sections()[0], "霁川")
        self.assertFalse(os.path.exists(self.output))

    def test_missing_or_empty_archive_fails_naming_it_and_leaves_the_old_text(self):
        old = self.publish_default()
        for name in ARCHIVES:
            for fault in ("missing", "empty"):
                path = os.path.join(self.dir, name)
                os.rename(path, path + ".away")
                if fault == "empty":
                    open(path, "wb").close()
                try:
                    result = run_publish(self.dir, "http://127.0.0.1:8080/packages")
                finally:
                    if fault == "empty":
                        os.remove(path)
                    os.rename(path + ".away", path)
                case = f"{fault} {name}"
                self.assertEqual(result.returncode, 2, f"{case}: exit code {result.returncode}")
                self.assertIn(f"{fault} package archive", result.stderr, case)
                self.assertIn(name, result.stderr, case)
                self.assertEqual(read_bytes(self.output), old, f"{case}: the old text was touched")
                self.assertEqual(os.listdir(os.path.dirname(self.output)), ["xiazai2.txt"], case)

    def test_missing_archive_leaves_no_output_when_there_was_none(self):
        os.remove(os.path.join(self.dir, "反挂.zip"))
        os.remove(os.path.join(self.dir, "工具.zip"))
        result = run_publish(self.dir, "http://127.0.0.1:8080/packages")
        self.assertEqual(result.returncode, 2)
        self.assertIn("反挂.zip", result.stderr)
        self.assertIn("工具.zip", result.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.dir, "xiazaiqi")))

    def test_bad_base_urls_are_refused(self):
        for base in ("127.0.0.1/packages", "file:///srv/packages", "http://127.0.0.1/p?x=1",
                     "http://127.0.0.1/p\r\n[反挂]", "http:///packages"):
            result = run_publish(self.dir, base)
            self.assertEqual(result.returncode, 2, f"base {base!r}: exit code {result.returncode}")
            self.assertFalse(os.path.exists(self.output), f"base {base!r}: output written")

    def test_failed_write_removes_the_temporary_file(self):
        os.makedirs(self.output)  # a folder where the file should go: the rename fails
        with self.assertRaises(OSError):
            publish.publish(self.dir, "http://127.0.0.1/p")
        self.assertEqual(os.listdir(os.path.dirname(self.output)), ["xiazai2.txt"])
        self.assertEqual(os.listdir(self.output), [])


if __name__ == "__main__":
    unittest.main()
