"""scripts/demo-server: a real nginx on 127.0.0.1 serving the demo packages and
a configuration whose URLs fetch archives with the published digests."""

import configparser
import hashlib
import os
import shutil
import subprocess
import tempfile
import unittest
import urllib.error
import urllib.request

REPO = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", ".."))
DEMO_SERVER = os.path.join(REPO, "scripts", "demo-server")
SECTION_ARCHIVES = (("霁川", "霁川.zip"), ("正式", "霁川.zip"), ("功能", "功能.zip"), ("反挂", "反挂.zip"),
                    ("其他", "工具.zip"))


def fetch(url, headers=None):
    with urllib.request.urlopen(urllib.request.Request(url, headers=headers or {}), timeout=10) as answer:
        return answer.status, answer.read()


def server(action, directory, rate="0"):
    """Runs the script; the packages at full speed unless a rate is given."""
    environment = dict(os.environ, UPDATER_DEMO_RATE=rate)
    return subprocess.run([DEMO_SERVER, action, directory], capture_output=True, text=True, timeout=60,
                          env=environment)


@unittest.skipUnless(shutil.which("nginx") or os.path.exists("/usr/sbin/nginx"), "nginx is not installed")
class DemoServerTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.dir = self.tmp.name

    def tearDown(self):
        server("stop", self.dir)
        self.tmp.cleanup()

    def start(self):
        result = server("start", self.dir)
        self.assertEqual(result.returncode, 0, result.stderr)
        url = result.stdout.strip()
        self.assertRegex(url, r"^http://127\.0\.0\.1:\d+/xiazaiqi/xiazai2\.txt$")
        with open(os.path.join(self.dir, "config-url")) as f:
            self.assertEqual(f.read().strip(), url)
        return url

    def read_config(self, url):
        status, body = fetch(url)
        self.assertEqual(status, 200)
        config = configparser.ConfigParser(interpolation=None)
        config.optionxform = str
        config.read_string(body.decode("gbk"))
        return config

    def test_published_urls_serve_archives_with_the_published_digests(self):
        config = self.read_config(self.start())
        self.assertEqual(config.sections(), [s for s, _ in SECTION_ARCHIVES])
        for section, archive in SECTION_ARCHIVES:
            status, body = fetch(config[section]["URL"])
            with open(os.path.join(self.dir, "packages", archive), "rb") as f:
                local = f.read()
            self.assertEqual((status, body), (200, local), f"[{section}] {config[section]['URL']}")
            self.assertEqual(config[section]["MD5"], hashlib.md5(body).hexdigest(), section)
        # The download engine asks for open-ended ranges.
        status, tail = fetch(config["功能"]["URL"], {"Range": "bytes=100-"})
        self.assertEqual((status, tail), (206, body_of(self.dir, "功能.zip")[100:]))

    def test_restart_serves_archives_put_in_the_packages_folder(self):
        self.start()
        server("stop", self.dir)
        replacement = os.path.join(self.dir, "packages", "反挂.zip")
        with open(replacement, "wb") as f:
            f.write(b"a newer anti-cheat release")
        config = self.read_config(self.start())
        self.assertEqual(config["反挂"]["MD5"], hashlib.md5(b"a newer anti-cheat release").hexdigest())
        self.assertEqual(fetch(config["反挂"]["URL"])[1], b"a newer anti-cheat release")

    def test_packages_are_served_at_the_rate_asked_for(self):
        result = server("start", self.dir, rate="16k")
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(self.dir, "nginx.conf")) as f:
            self.assertIn("location /packages/ { limit_rate 16k; }", f.read())
        # Only the packages: the configuration comes at once.
        status, _ = fetch(result.stdout.strip())
        self.assertEqual(status, 200)

    def test_stop_ends_the_server(self):
        url = self.start()
        result = server("stop", self.dir)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.dir, "nginx.pid")))
        self.assertFalse(os.path.exists(os.path.join(self.dir, "config-url")))
        with self.assertRaises(urllib.error.URLError):
            fetch(url)


def body_of(directory, archive):
    with open(os.path.join(directory, "packages", archive), "rb") as f:
        return f.read()


if __name__ == "__main__":
    unittest.main()
