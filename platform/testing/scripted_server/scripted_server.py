#!/usr/bin/python3
"""A scripted HTTP peer for the download engine's fault tests.

    scripted_server.py start DIR --scenarios SCENARIO_DIR [--ftp-server FTP_DIR]   start in the background
    scripted_server.py stop DIR                                                     stop it (a no-op when none runs)
    scripted_server.py serve DIR --scenarios SCENARIO_DIR [--ftp-server FTP_DIR]   serve in the foreground

It listens on 127.0.0.1 only, on a free port that it writes to DIR/port once
it accepts connections; DIR/pid and DIR/server.log live beside it. Everything
it does comes from scenario files (scenario.py, and the README beside the
scenarios): a request for /s/<name>/... (or for http://host/s/<name>/..., as
a proxy is asked) is connection n of scenario <name> and gets that
connection's steps. Every request is kept byte for byte.

An FTP scenario names a variant of the pyftpdlib server whose folder
--ftp-server gives (platform/testing/ftp_server/): this server hands out its
plan, with that variant's port, and puts the scenario's body where the FTP
server serves it; the FTP server itself plays the connections.

Control interface, on the same port:
    GET /control/reset/<name>      forget the scenario's connections, release
                                   its stalled ones, and answer its plan
    GET /control/requests/<name>   the requests received since the reset:
                                   "request <n> <length>\\n<bytes>\\n" each
    GET /control/ping              "pong"

Standard library only, so /usr/bin/python3 runs it anywhere.
"""

import argparse
import fcntl
import os
import select
import signal
import socket
import struct
import sys
import termios
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(1, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import background_server  # noqa: E402
import scenario as scenario_format  # noqa: E402

REQUEST_LIMIT = 65536
REQUEST_WAIT_S = 10
SEND_WAIT_S = 30
STALL_LIMIT_S = 120
PIECE_GAP_S = 0.002


class ScenarioState:
    def __init__(self):
        self.bound = None
        self.count = 0
        self.requests = []  # (connection number, bytes)
        self.released = threading.Event()


class ScenarioBook:
    """Scenario files by name, and what each has seen since its last reset."""

    def __init__(self, directories, port, ftp_directory=None):
        self.directories = directories
        self.port = port
        self.ftp = scenario_format.FtpPeer(ftp_directory) if ftp_directory else None
        self.lock = threading.Lock()
        self.states = {}

    def path_of(self, name):
        if not scenario_format.NAME_RE.match(name):
            return None
        for directory in self.directories:
            path = os.path.join(directory, name + ".scenario")
            if os.path.isfile(path):
                return path
        return None

    def _load(self, name):
        path = self.path_of(name)
        if path is None:
            raise LookupError(f"no scenario {name!r} in {', '.join(self.directories)}")
        return scenario_format.BoundScenario(scenario_format.load(path), self.port, self.ftp)

    def reset(self, name):
        """Reloads the file, so edits count from the next run, and answers the plan."""
        bound = self._load(name)
        plan = bound.plan()
        bound.place_ftp_file()
        with self.lock:
            old = self.states.get(name)
            if old:
                old.released.set()
            state = self.states[name] = ScenarioState()
            state.bound = bound
        return plan

    def connection(self, name, request):
        """Numbers a new connection of the scenario and keeps its request."""
        with self.lock:
            state = self.states.get(name)
        if state is None:
            bound = self._load(name)
            with self.lock:
                state = self.states.setdefault(name, ScenarioState())
                state.bound = state.bound or bound
        with self.lock:
            state.count += 1
            number = state.count
            state.requests.append((number, request))
        return number, state

    def requests(self, name):
        with self.lock:
            state = self.states.get(name)
            kept = list(state.requests) if state else []
        return b"".join(b"request %d %d\n" % (n, len(r)) + r + b"\n" for n, r in kept)


def read_request(conn):
    """The bytes up to the empty line that ends a request header (and any that
    came with them); what arrived when the peer stops or goes quiet otherwise."""
    data = bytearray()
    deadline = time.monotonic() + REQUEST_WAIT_S
    while b"\r\n\r\n" not in data and len(data) < REQUEST_LIMIT:
        left = deadline - time.monotonic()
        if left <= 0:
            break
        conn.settimeout(left)
        try:
            chunk = conn.recv(4096)
        except (socket.timeout, OSError):
            break
        if not chunk:
            break
        data += chunk
    return bytes(data)


def request_path(request):
    """The path of the request line; a proxy's absolute target loses its scheme and authority."""
    line = request.split(b"\r\n", 1)[0].decode("latin-1")
    parts = line.split(" ")
    if len(parts) < 3:
        return None
    target = parts[1]
    if target[:7].lower() == "http://":
        slash = target.find("/", 7)
        target = target[slash:] if slash >= 0 else "/"
    return target


def unsent_bytes(conn):
    """Bytes the peer has not acknowledged yet (Linux)."""
    buf = fcntl.ioctl(conn.fileno(), termios.TIOCOUTQ, struct.pack("i", 0))
    return struct.unpack("i", buf)[0]


class Player:
    """Plays one connection's steps."""

    def __init__(self, conn, bound, request, released, stopping):
        self.conn = conn
        self.bound = bound
        self.request = request
        self.released = released
        self.stopping = stopping
        self.pending = bytearray()
        self.piece = 0

    def flush(self):
        data, self.pending = bytes(self.pending), bytearray()
        if not self.piece:
            self.conn.sendall(data)
            return
        for i in range(0, len(data), self.piece):
            self.conn.sendall(data[i:i + self.piece])
            time.sleep(PIECE_GAP_S)

    def wait(self, seconds):
        """Sleeps, or less when the scenario is reset or the server stops;
        True when the peer closed meanwhile."""
        deadline = time.monotonic() + seconds
        while not (self.released.is_set() or self.stopping.is_set()):
            left = deadline - time.monotonic()
            if left <= 0:
                return False
            readable, _, _ = select.select([self.conn], [], [], min(left, 0.05))
            if readable:
                try:
                    if not self.conn.recv(4096):
                        return True
                except OSError:
                    return True
        return False

    def reset(self):
        """Closes with a reset, after the peer has every byte sent before it."""
        deadline = time.monotonic() + 2
        while unsent_bytes(self.conn) > 0 and time.monotonic() < deadline:
            time.sleep(0.005)
        self.conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))

    def play(self, steps):
        self.conn.settimeout(SEND_WAIT_S)
        for kind, value in steps:
            if kind == "send":
                self.pending += value
                continue
            if kind == "reply-by-range":
                self.pending += scenario_format.reply_by_range(self.bound.body, self.request)
                continue
            if kind == "pieces":
                self.flush()
                self.piece = value
                continue
            self.flush()
            if kind == "pause":
                if self.wait(value / 1000):
                    return
            elif kind == "stall":
                self.wait(STALL_LIMIT_S)
                return
            elif kind == "reset":
                self.reset()
                return
            elif kind == "close":
                break
        self.flush()
        self.conn.shutdown(socket.SHUT_WR)
        self.wait(1)  # the peer's close, so ours is a plain FIN and not a reset


class Server:
    def __init__(self, directories, ftp_directory=None):
        self.stopping = threading.Event()
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(64)
        self.port = self.listener.getsockname()[1]
        self.book = ScenarioBook(directories, self.port, ftp_directory)
        self.active_lock = threading.Lock()
        self.active = 0  # connections being handled

    def serve(self):
        self.listener.settimeout(0.2)
        while not self.stopping.is_set():
            try:
                conn, _ = self.listener.accept()
            except socket.timeout:
                continue
            except OSError:
                break
            threading.Thread(target=self.handle, args=(conn,), daemon=True).start()
        self.listener.close()

    def stop(self):
        self.stopping.set()

    def handle(self, conn):
        with self.active_lock:
            self.active += 1
        try:
            conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            request = read_request(conn)
            path = request_path(request) if request else None
            if path is None:
                return
            if path.startswith("/control/"):
                self.control(conn, path[len("/control/"):])
            elif path.startswith("/s/"):
                name = path[3:].split("/", 1)[0]
                try:
                    number, state = self.book.connection(name, request)
                except (LookupError, scenario_format.ScenarioError) as error:
                    self.answer(conn, 404, str(error).encode())
                    return
                Player(conn, state.bound, request, state.released, self.stopping).play(
                    state.bound.steps_for(number))
            else:
                self.answer(conn, 404, b"no such path")
        except OSError:
            pass  # the peer went away; nothing to tell it
        finally:
            conn.close()
            with self.active_lock:
                self.active -= 1

    def control(self, conn, command):
        what, _, name = command.partition("/")
        try:
            if what == "reset":
                self.answer(conn, 200, self.book.reset(name))
            elif what == "requests":
                self.answer(conn, 200, self.book.requests(name))
            elif what == "ping":
                self.answer(conn, 200, b"pong")
            else:
                self.answer(conn, 404, b"unknown control command")
        except LookupError as error:
            self.answer(conn, 404, str(error).encode())
        except scenario_format.ScenarioError as error:
            self.answer(conn, 500, str(error).encode())

    @staticmethod
    def answer(conn, status, body):
        conn.sendall(b"HTTP/1.0 %d %s\r\nContent-Length: %d\r\nConnection: close\r\n\r\n" %
                     (status, b"OK" if status == 200 else b"Error", len(body)) + body)
        conn.shutdown(socket.SHUT_WR)


# ---------------------------------------------------------------------------
# Running in the background for a CTest fixture


def write_atomically(path, text):
    with open(path + ".tmp", "w") as f:
        f.write(text)
    os.replace(path + ".tmp", path)


def serve_command(directory, scenario_dirs, ftp_directory=None):
    server = Server(scenario_dirs, ftp_directory)
    signal.signal(signal.SIGTERM, lambda *_: server.stop())
    signal.signal(signal.SIGINT, lambda *_: server.stop())
    write_atomically(os.path.join(directory, "pid"), f"{os.getpid()}\n")
    write_atomically(os.path.join(directory, "port"), f"{server.port}\n")
    print(f"scripted-server: listening on 127.0.0.1:{server.port}", flush=True)
    server.serve()


def stop_command(directory):
    background_server.stop(directory, __file__, "port")


def start_command(directory, scenario_dirs, ftp_directory=None):
    serve_args = []
    for d in scenario_dirs:
        serve_args += ["--scenarios", d]
    if ftp_directory:
        serve_args += ["--ftp-server", ftp_directory]
    return background_server.start(directory, __file__, "port", serve_args, "scripted-server",
                                   lambda port: f"listening on 127.0.0.1:{port.strip()}, files in {directory}")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("action", choices=("start", "stop", "serve"))
    parser.add_argument("directory")
    parser.add_argument("--scenarios", action="append", default=[])
    parser.add_argument("--ftp-server", help="the folder of the pyftpdlib test server, for FTP scenarios")
    args = parser.parse_args(argv)
    os.makedirs(args.directory, exist_ok=True)
    directory = os.path.abspath(args.directory)
    scenario_dirs = [os.path.abspath(d) for d in args.scenarios]
    ftp_directory = os.path.abspath(args.ftp_server) if args.ftp_server else None
    if args.action == "stop":
        stop_command(directory)
        return 0
    if not scenario_dirs:
        parser.error("start and serve need --scenarios")
    if args.action == "start":
        return start_command(directory, scenario_dirs, ftp_directory)
    serve_command(directory, scenario_dirs, ftp_directory)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
