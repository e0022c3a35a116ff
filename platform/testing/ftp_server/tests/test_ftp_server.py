"""The pyftpdlib test server: each variant does its one thing and nothing
else, and the command log keeps what the clients sent. Clients are the
standard library's ftplib and plain sockets."""

import ftplib
import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "ftp_server.py")
sys.path.insert(0, os.path.join(HERE, ".."))

import ftp_server  # noqa: E402
import background_server  # noqa: E402

BODY = bytes(range(256)) * 1200  # 307200 bytes


class ServerCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        cls.directory = cls.work.name
        started = subprocess.run([sys.executable, "-B", SERVER, "start", cls.directory], capture_output=True,
                                 text=True, timeout=30)
        assert started.returncode == 0, started.stderr
        with open(os.path.join(cls.directory, "ports")) as f:
            cls.ports = dict((name, int(port)) for name, port in (line.split() for line in f))
        os.makedirs(os.path.join(cls.directory, "root", "d"), exist_ok=True)
        with open(os.path.join(cls.directory, "root", "d", "body.bin"), "wb") as f:
            f.write(BODY)
        with open(os.path.join(cls.directory, "root", "d", "霁川 包.zip"), "wb") as f:
            f.write(b"gbk named")

    @classmethod
    def tearDownClass(cls):
        subprocess.run([sys.executable, "-B", SERVER, "stop", cls.directory], timeout=30)
        cls.work.cleanup()

    def client(self, variant, user="anonymous", password="x@y", encoding="utf-8"):
        ftp = ftplib.FTP()
        ftp.encoding = encoding
        ftp.connect("127.0.0.1", self.ports[variant], timeout=10)
        ftp.login(user, password)
        self.addCleanup(ftp.close)
        return ftp

    def log_lines(self):
        with open(os.path.join(self.directory, "commands.log"), "rb") as f:
            return [line.split(b"\t", 2) for line in f.read().splitlines()]

    def retrieve(self, ftp, rest=None):
        ftp.sendcmd("TYPE I")
        data = bytearray()
        ftp.retrbinary("RETR d/body.bin", data.extend, rest=rest)
        return bytes(data)


class VariantTest(ServerCase):
    def test_every_variant_listens_on_127_0_0_1_only(self):
        self.assertEqual(set(self.ports), set(ftp_server.variants()))
        for variant, port in self.ports.items():
            with socket.create_connection(("127.0.0.1", port), timeout=5) as s:
                self.assertIn(f"({variant}) ready.".encode(), s.recv(200))
            with self.assertRaises(ConnectionRefusedError, msg=variant):
                socket.create_connection(("127.0.0.2", port), timeout=5).close()

    def test_plain_serves_sizes_restarts_and_both_data_modes(self):
        ftp = self.client("plain")
        ftp.sendcmd("TYPE I")
        self.assertEqual(ftp.sendcmd("SIZE d/body.bin"), "213 %d" % len(BODY))
        self.assertIn("Restart", ftp.sendcmd("REST 100"))
        self.assertEqual(self.retrieve(ftp, rest=1000), BODY[1000:])
        ftp.set_pasv(False)
        self.assertEqual(self.retrieve(ftp), BODY)

    def test_logins_are_anonymous_or_fixture_with_its_password(self):
        self.client("plain", "fixture", "secret").quit()
        with self.assertRaises(ftplib.error_perm):
            self.client("plain", "fixture", "wrong")
        with self.assertRaises(ftplib.error_perm):
            self.client("plain", "stranger", "secret")
        with self.assertRaises(ftplib.error_perm):
            self.client("login-refused")
        self.client("bad-pasv", "stranger", "anything").quit()

    def test_restart_variants(self):
        with self.assertRaises(ftplib.error_perm) as refused:
            self.client("no-rest").sendcmd("REST 100")
        self.assertTrue(str(refused.exception).startswith("502"))
        ftp = self.client("rest-no-word")
        self.assertEqual(ftp.sendcmd("REST 100"), "350 Position noted.")
        # The marker is taken all the same.
        self.assertEqual(self.retrieve(ftp, rest=100), BODY[100:])

    def test_passive_variants(self):
        ftp = self.client("no-pasv")
        with self.assertRaises(ftplib.error_perm):
            ftp.sendcmd("PASV")
        ftp.set_pasv(False)
        self.assertEqual(self.retrieve(ftp), BODY)
        self.assertRegex(self.client("masquerade").sendcmd("PASV"), r"^227 .*\(127,0,0,2,\d+,\d+\)\.$")
        for user, reply in (("no-brackets", "227 Entering passive mode 127,0,0,1,200,10."),
                            ("over-255", "227 Entering passive mode (127,0,0,1,300,10)."),
                            ("five-numbers", "227 Entering passive mode (127,0,0,1,200)."),
                            ("someone", "227 Entering passive mode (127,0,0,1).")):
            self.assertEqual(self.client("bad-pasv", user, "x").sendcmd("PASV"), reply)

    def test_active_sessions_that_end_early_leave_later_sessions_heard(self):
        # pyftpdlib's own active-mode connector, closed again when its session
        # ends, took a later control connection out of its loop when that one
        # had got the data connection's descriptor number.
        for _ in range(5):
            ftp = self.client("no-pasv")
            ftp.set_pasv(False)
            ftp.sendcmd("TYPE I")
            data = ftp.transfercmd("RETR d/body.bin")
            data.recv(1000)
            data.close()
            time.sleep(0.2)  # the server lets go of the data connection's descriptor
            later = self.client("no-pasv")  # ... which the next connection gets
            ftp.close()
            time.sleep(0.2)
            self.assertTrue(later.sendcmd("NOOP").startswith("200 "))

    def test_size_missing_and_endless_reply(self):
        with self.assertRaises(ftplib.error_perm) as missing:
            self.client("size-missing").sendcmd("SIZE d/body.bin")
        self.assertEqual(str(missing.exception), "550 No such file.")
        with socket.create_connection(("127.0.0.1", self.ports["endless-reply"]), timeout=10) as s:
            s.sendall(b"USER anonymous\r\nPASS x\r\nSIZE d/body.bin\r\n")
            data = bytearray()
            # The banner and the login replies come first: read until the
            # reply to SIZE is as long as the line, or the server closes.
            while True:
                chunk = s.recv(65536)
                if not chunk:
                    break
                data += chunk
                start = data.find(b"213 ")
                if start >= 0 and len(data) - start >= 4 + ftp_server.ENDLESS_LINE:
                    break
            line = data[data.index(b"213 "):]
            self.assertEqual(line, b"213 " + b"9" * ftp_server.ENDLESS_LINE, "one line without its end")

    def test_slow_and_stalling_data_connections(self):
        ftp = self.client("slow")
        ftp.sendcmd("TYPE I")
        started = time.monotonic()
        data = ftp.transfercmd("RETR d/body.bin")
        got = 0
        while got < 128 * 1024:
            got += len(data.recv(65536))
        self.assertGreater(time.monotonic() - started, 1.0, "128 KiB at 64 KiB a second")
        data.close()

        ftp = self.client("stall-once")
        ftp.sendcmd("TYPE I")
        data = ftp.transfercmd("RETR d/body.bin")
        data.settimeout(1.5)
        received = bytearray()
        with self.assertRaises(socket.timeout):
            while True:
                chunk = data.recv(65536)
                if not chunk:
                    break
                received += chunk
        self.assertEqual(bytes(received), BODY[:ftp_server.STALL_AFTER])
        data.close()
        self.assertEqual(self.retrieve(self.client("stall-once"), rest=ftp_server.STALL_AFTER),
                         BODY[ftp_server.STALL_AFTER:])

    def test_gbk_paths_name_the_files_with_those_characters(self):
        ftp = self.client("plain", encoding="gbk")
        ftp.sendcmd("TYPE I")
        data = bytearray()
        ftp.retrbinary("RETR d/霁川 包.zip", data.extend)
        self.assertEqual(bytes(data), b"gbk named")

    def test_the_log_keeps_every_line_with_its_variant_and_session(self):
        ftp = self.client("size-missing", "anonymous", "logged@password")
        ftp.sendcmd("NOOP")
        lines = self.log_lines()
        mine = [line for line in lines if line[0] == b"size-missing"][-3:]
        self.assertEqual([line[2] for line in mine], [b"USER anonymous", b"PASS logged@password", b"NOOP"])
        self.assertEqual(len({line[1] for line in mine}), 1, "one session")


class CommandLineTest(unittest.TestCase):
    def test_start_writes_the_ports_and_stop_ends_the_server(self):
        with tempfile.TemporaryDirectory() as work:
            run = [sys.executable, "-B", SERVER]
            self.assertEqual(subprocess.run(run + ["start", work], capture_output=True, timeout=30).returncode, 0)
            with open(os.path.join(work, "pid")) as f:
                pid = int(f.read())
            self.assertTrue(os.path.exists(os.path.join(work, "ports")))
            self.assertEqual(subprocess.run(run + ["stop", work], timeout=30).returncode, 0)
            self.assertFalse(os.path.exists(os.path.join(work, "ports")))
            self.assertFalse(background_server.runs_script(pid, "ftp_server.py"), "the server process is still there")
            self.assertEqual(subprocess.run(run + ["stop", work], timeout=30).returncode, 0)


if __name__ == "__main__":
    unittest.main()
