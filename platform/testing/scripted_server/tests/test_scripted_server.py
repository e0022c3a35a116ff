"""The scripted server against a plain socket client: what it sends, in
pieces, pauses, stalls and drops, and the requests it keeps."""

import os
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))

import scenario  # noqa: E402
import scripted_server  # noqa: E402
from test_scenario import SCENARIO_DIR, ftp_server, plan_records  # noqa: E402

SERVER = os.path.join(HERE, "..", "scripted_server.py")


def request_for(name, path="file.zip", extra=b""):
    return b"GET /s/%s/%s HTTP/1.1\r\nHost: 127.0.0.1\r\n%s\r\n" % (name.encode(), path.encode(), extra)


def running(pid):
    """Whether the process exists and has not ended (a zombie has ended)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


class Reading:
    """What a client got: the data, each read as it came, and how it ended."""

    def __init__(self):
        self.data = bytearray()
        self.reads = []  # (seconds since the request, length)
        self.ending = None  # "closed", "reset" or "silent"


def exchange(port, request, quiet_s=1.5, stop_at=None):
    """Sends a request and reads until the server closes, resets, or stays
    quiet for `quiet_s`; with `stop_at`, closes after that many bytes."""
    got = Reading()
    with socket.create_connection(("127.0.0.1", port), timeout=5) as conn:
        conn.sendall(request)
        started = time.monotonic()
        conn.settimeout(quiet_s)
        while stop_at is None or len(got.data) < stop_at:
            try:
                chunk = conn.recv(65536)
            except socket.timeout:
                got.ending = "silent"
                break
            except ConnectionResetError:
                got.ending = "reset"
                break
            if not chunk:
                got.ending = "closed"
                break
            got.data += chunk
            got.reads.append((time.monotonic() - started, len(chunk)))
    return got


class ServerCase(unittest.TestCase):
    """A server in this process, over a folder of scenarios the test writes."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.server = scripted_server.Server([self.tmp.name])
        self.thread = threading.Thread(target=self.server.serve, daemon=True)
        self.thread.start()
        self.port = self.server.port

    def tearDown(self):
        self.server.stop()
        self.thread.join(5)
        self.tmp.cleanup()

    def write(self, name, text):
        with open(os.path.join(self.tmp.name, name + ".scenario"), "w", encoding="utf-8") as f:
            f.write(text)

    def control(self, command):
        got = exchange(self.port, b"GET /control/%s HTTP/1.0\r\n\r\n" % command.encode())
        header, _, body = bytes(got.data).partition(b"\r\n\r\n")
        return int(header.split(b" ")[1]), body

    def recorded(self, name):
        status, body = self.control("requests/" + name)
        self.assertEqual(status, 200)
        return [(int(words[1]), payload) for words, payload in plan_records(body)]


class PlayingTest(ServerCase):
    def test_sends_what_the_scenario_says_and_keeps_each_request_byte_for_byte(self):
        self.write("plain", "[body]\nsize 5000\n[connection 1]\nsend-header:\n  HTTP/1.1 200 OK\n"
                   "  Content-Length: %SIZE%\nsend-body all\n")
        self.control("reset/plain")
        first = request_for("plain", extra=b"Referer: \r\nCookie: id=5\r\n")
        got = exchange(self.port, first)
        self.assertEqual(bytes(got.data), b"HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" +
                         scenario.generated_body(5000))
        self.assertEqual(got.ending, "closed")
        # A second connection has no section of its own: an ordinary ranged answer.
        second = request_for("plain", extra=b"Range: bytes=4000-\r\n")
        got = exchange(self.port, second)
        self.assertTrue(got.data.startswith(b"HTTP/1.1 206 Partial Content\r\n"), got.data[:60])
        self.assertTrue(got.data.endswith(scenario.generated_body(5000)[4000:]))
        self.assertEqual(self.recorded("plain"), [(1, first), (2, second)])

    def test_proxy_requests_are_routed_by_the_path_of_the_whole_url(self):
        self.write("proxied", "[connection 1]\nsend-raw:\n  via proxy\n")
        self.control("reset/proxied")
        request = (b"GET http://127.0.0.2:9/s/proxied/file.zip HTTP/1.1\r\nHost: 127.0.0.2:9\r\n"
                   b"Proxy-Connection: Keep-Alive\r\n\r\n")
        self.assertEqual(bytes(exchange(self.port, request).data), b"via proxy")
        self.assertEqual(self.recorded("proxied"), [(1, request)])

    def test_pieces_arrive_one_read_each(self):
        header = b"HTTP/1.1 200 OK\r\nContent-Length: 0\r\nX-Long-Enough: " + b"y" * 40 + b"\r\n\r\n"
        self.write("pieces", "[connection 1]\npieces 1\nsend-header:\n  HTTP/1.1 200 OK\n  Content-Length: 0\n"
                   "  X-Long-Enough: " + "y" * 40 + "\n")
        got = exchange(self.port, request_for("pieces"))
        self.assertEqual(bytes(got.data), header)
        # A 2 ms gap between pieces; allow a loaded machine to merge a few.
        self.assertGreater(len(got.reads), len(header) // 2, got.reads)

    def test_steps_queue_until_a_pause_so_header_and_body_come_together(self):
        self.write("together", "[body]\nsize 1000\n[connection 1]\nsend-raw:\n  head\\r\\n\\r\\n\n"
                   "send-body 0-99\npause 400\nsend-body 100-\n")
        got = exchange(self.port, request_for("together"))
        self.assertEqual(bytes(got.data), b"head\r\n\r\n" + scenario.generated_body(1000))
        self.assertEqual(got.reads[0][1], len(b"head\r\n\r\n") + 100, got.reads)
        later = [t for t, _ in got.reads[1:]]
        self.assertGreaterEqual(min(later), 0.35, got.reads)

    def test_close_ends_the_data_and_reset_is_an_error_after_every_byte(self):
        body = scenario.generated_body(60000)
        for ending, expected in (("close", "closed"), ("reset", "reset")):
            name = "drop-" + ending
            self.write(name, f"[body]\nsize 60000\n[connection 1]\nsend-body 0-24999\n{ending}\nsend-body 25000-\n")
            got = exchange(self.port, request_for(name))
            self.assertEqual(got.ending, expected, ending)
            self.assertEqual(bytes(got.data), body[:25000], ending)

    def test_stall_keeps_the_connection_open_and_silent_until_the_client_leaves(self):
        self.write("stall", "[connection 1]\nsend-raw:\n  some\nstall\n")
        self.control("reset/stall")
        started = time.monotonic()
        got = exchange(self.port, request_for("stall"), quiet_s=1.0)
        self.assertEqual((bytes(got.data), got.ending), (b"some", "silent"))
        self.assertGreaterEqual(time.monotonic() - started, 0.9)
        # The stalled player notices the client's close and ends.
        deadline = time.monotonic() + 3
        while self.server.active and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertEqual(self.server.active, 0, "the stalled connection is still being played")

    def test_reset_releases_a_stalled_connection_of_the_scenario(self):
        self.write("held", "[connection 1]\nstall\n")
        self.control("reset/held")
        with socket.create_connection(("127.0.0.1", self.port), timeout=5) as conn:
            conn.sendall(request_for("held"))
            time.sleep(0.2)
            self.control("reset/held")
            conn.settimeout(3)
            self.assertEqual(conn.recv(10), b"", "the server closes the released connection")

    def test_requests_are_kept_even_when_they_never_end(self):
        self.write("cut", "[connection 1]\nsend-raw:\n  x\n")
        self.control("reset/cut")
        with socket.create_connection(("127.0.0.1", self.port), timeout=5) as conn:
            conn.sendall(b"GET /s/cut/file.zip HTTP/1.1\r\nHost: h\r\n")
            conn.shutdown(socket.SHUT_WR)
            conn.settimeout(5)
            conn.recv(10)
        self.assertEqual(self.recorded("cut"), [(1, b"GET /s/cut/file.zip HTTP/1.1\r\nHost: h\r\n")])


class ControlTest(ServerCase):
    def test_reset_answers_the_plan_and_starts_the_numbering_again(self):
        self.write("counted", "[connection 1]\nsend-raw:\n  one\n[connection 2]\nsend-raw:\n  two\n")
        status, plan = self.control("reset/counted")
        self.assertEqual(status, 200)
        self.assertIn(b"param Url", plan)
        self.assertIn(b":%d/s/counted/file.zip" % self.port, plan)
        self.assertEqual(bytes(exchange(self.port, request_for("counted")).data), b"one")
        self.assertEqual(bytes(exchange(self.port, request_for("counted")).data), b"two")
        self.control("reset/counted")
        self.assertEqual(self.recorded("counted"), [])
        self.assertEqual(bytes(exchange(self.port, request_for("counted")).data), b"one")

    def test_edits_count_from_the_next_reset(self):
        self.write("edited", "[connection 1]\nsend-raw:\n  before\n")
        self.control("reset/edited")
        self.write("edited", "[connection 1]\nsend-raw:\n  after\n")
        self.assertEqual(bytes(exchange(self.port, request_for("edited")).data), b"before")
        self.control("reset/edited")
        self.assertEqual(bytes(exchange(self.port, request_for("edited")).data), b"after")

    def test_missing_and_broken_scenarios_say_why(self):
        self.write("broken", "[task]\nThreadCount lots\n")
        cases = [
            ("reset/absent", 404, b"no scenario 'absent'"),
            ("reset/broken", 500, b"broken.scenario:2: 'lots' is not a number"),
            ("reset/..%2Fx", 404, b"no scenario"),
            ("frobnicate/x", 404, b"unknown control command"),
            ("ping", 200, b"pong"),
        ]
        for command, status, text in cases:
            got_status, body = self.control(command)
            self.assertEqual(got_status, status, command)
            self.assertIn(text, body, command)
        got = exchange(self.port, request_for("absent"))
        self.assertTrue(got.data.startswith(b"HTTP/1.0 404"), got.data)


class ScenarioFilesPlayTest(ServerCase):
    """Each scenario of the download tests, played with its own expected
    requests: the server keeps them byte for byte and sends exactly what the
    plan's %HEADER% texts and the body say."""

    def setUp(self):
        super().setUp()
        self.server.book.directories = [os.path.abspath(SCENARIO_DIR)]
        # FTP scenarios get their plan with a port per variant, and their body
        # is put under the FTP server's root; the FTP server plays them.
        self.ftp_directory = tempfile.TemporaryDirectory()
        self.addCleanup(self.ftp_directory.cleanup)
        with open(os.path.join(self.ftp_directory.name, "ports"), "w") as f:
            f.write("".join(f"{variant} {2100 + i}\n" for i, variant in enumerate(ftp_server.variants())))
        self.server.book.ftp = scenario.FtpPeer(self.ftp_directory.name)

    def test_every_scenario_plays_its_expected_requests(self):
        names = sorted(f[:-len(".scenario")] for f in os.listdir(SCENARIO_DIR) if f.endswith(".scenario"))
        for name in names:
            with self.subTest(name):
                status, _ = self.control("reset/" + name)
                self.assertEqual(status, 200)
                bound = self.server.book.states[name].bound
                numbers = [n for n in bound.scenario.connections if n != "*"]
                sent = []
                for number in range(1, max(numbers, default=0) + 1):
                    request = bound.expected_request(number) or request_for(name)
                    got = exchange(self.port, request, quiet_s=2.0)
                    self.assertEqual(bytes(got.data), bound.reply_bytes(number, request), f"connection {number}")
                    sent.append((number, request))
                self.assertEqual(self.recorded(name), sent)
                if bound.scenario.ftp_variant is not None:
                    with open(os.path.join(self.ftp_directory.name, "root", *bound.ftp_file().split("/")), "rb") as f:
                        self.assertEqual(f.read(), bound.body)


class CommandLineTest(unittest.TestCase):
    def test_start_writes_the_port_and_stop_ends_the_server(self):
        with tempfile.TemporaryDirectory() as work:
            run = [sys.executable, "-B", SERVER]
            started = subprocess.run(run + ["start", work, "--scenarios", SCENARIO_DIR], capture_output=True,
                                     text=True, timeout=30)
            self.assertEqual(started.returncode, 0, started.stderr)
            with open(os.path.join(work, "port")) as f:
                port = int(f.read())
            with open(os.path.join(work, "pid")) as f:
                pid = int(f.read())
            self.assertIn(f"127.0.0.1:{port}", started.stdout)
            got = exchange(port, b"GET /control/ping HTTP/1.0\r\n\r\n")
            self.assertTrue(got.data.endswith(b"\r\n\r\npong"), got.data)
            # Only on 127.0.0.1: another loopback address finds nobody.
            with self.assertRaises(ConnectionRefusedError):
                socket.create_connection(("127.0.0.2", port), timeout=5).close()

            stopped = subprocess.run(run + ["stop", work], capture_output=True, text=True, timeout=30)
            self.assertEqual(stopped.returncode, 0, stopped.stderr)
            self.assertFalse(os.path.exists(os.path.join(work, "port")))
            self.assertFalse(running(pid), "the server process is still there")
            # Stopping again, or with no server at all, is quietly nothing.
            self.assertEqual(subprocess.run(run + ["stop", work], timeout=30).returncode, 0)


if __name__ == "__main__":
    unittest.main()
