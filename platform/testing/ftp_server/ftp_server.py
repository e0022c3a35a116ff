#!/usr/bin/python3
"""A local FTP server for the download engine's tests, built on pyftpdlib.

    ftp_server.py start DIR [--variant NAME ...]   start in the background
    ftp_server.py stop DIR                         stop it (a no-op when none runs)
    ftp_server.py serve DIR [--variant NAME ...]   serve in the foreground

Run it with /usr/bin/python3: Debian's python3-pyftpdlib is installed for
that Python only. It serves DIR/root, listens on 127.0.0.1 only, one port per
variant (below), and writes DIR/ports ("<variant> <port>" lines) once every
variant accepts connections; DIR/pid and DIR/server.log live beside it.

Every command line a session sends is appended to DIR/commands.log, byte for
byte, as "<variant>\\t<session>\\t<line>\\n" (a line feed inside a line is
written as "\\n"); sessions are numbered from 1 in the order they connect.
PASS lines are kept as sent: tests check which password was used.

Logins: "anonymous" with any password, and "fixture" with the password
"secret"; in the variant bad-pasv any user name with any password. Command
lines are decoded as GBK, the client's code page, so GBK paths name the
files with the same characters on disk.

Variants, each pyftpdlib's own handler with the one difference named:
    plain          nothing changed
    no-rest        REST answered 502
    rest-no-word   REST answered "350 Position noted." (no "Restart")
    no-pasv        PASV and EPSV answered 502, so PORT must serve
    size-missing   SIZE answered "550 No such file."
    login-refused  every PASS answered 530
    slow           data connections sent at 64 KiB a second
    stall-once     a transfer from byte 0 stops sending after 100000 bytes
                   and stays open (transfers after a REST run normally)
    masquerade     PASV replies name 127.0.0.2, where nothing listens
    endless-reply  SIZE answered with "213 " and a line of 1 MiB that
                   never ends
    bad-pasv       PASV answered 227 with a broken address, chosen by the
                   user name: "no-brackets" (no brackets), "over-255" (a
                   number of 300), "five-numbers" (five numbers), any other
                   user "(127,0,0,1)" (four)
"""

import argparse
import logging
import os
import signal
import sys
import time

from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
from pyftpdlib.handlers import ActiveDTP, DTPHandler, FTPHandler, ThrottledDTPHandler
from pyftpdlib.ioloop import IOLoop
from pyftpdlib.servers import FTPServer

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import background_server  # noqa: E402

READ_PERMISSIONS = "elr"
SLOW_RATE = 64 * 1024
STALL_AFTER = 100000
ENDLESS_LINE = 1 << 20


class FixtureAuthorizer(DummyAuthorizer):
    """anonymous with any password, fixture with secret; `anyone` lets every user in."""

    def __init__(self, root, anyone=False, nobody=False):
        super().__init__()
        self.root = root
        self.anyone = anyone
        self.nobody = nobody

    def validate_authentication(self, username, password, handler):
        if self.nobody:
            raise AuthenticationFailed("Authentication failed.")
        if self.anyone or username == "anonymous" or (username, password) == ("fixture", "secret"):
            return
        raise AuthenticationFailed("Authentication failed.")

    def has_user(self, username):
        return True

    def get_home_dir(self, username):
        return self.root

    def has_perm(self, username, perm, path=None):
        return perm in READ_PERMISSIONS

    def get_perms(self, username):
        return READ_PERMISSIONS

    def get_msg_login(self, username):
        return "Login successful."

    def get_msg_quit(self, username):
        return "Goodbye."


class CommandLog:
    def __init__(self, path):
        self.file = open(path, "ab", buffering=0)
        self.sessions = 0

    def next_session(self):
        self.sessions += 1
        return self.sessions

    def write(self, variant, session, raw):
        self.file.write(b"%s\t%d\t%s\n" % (variant.encode(), session, raw.replace(b"\n", b"\\n")))


class HandingOverActiveDTP(ActiveDTP):
    """pyftpdlib's active-mode connector, which lets go once it has handed its
    socket to the data channel. pyftpdlib's own keeps it and closes it again
    when the session ends; by then the descriptor number may belong to a new
    control connection, which is taken out of the loop and never read again."""

    def handle_connect(self):
        super().handle_connect()
        if self.cmd_channel._dtp_connector is self:
            self.cmd_channel._dtp_connector = None
        self._closed = True  # the socket is the data channel's now


class LoggingHandler(FTPHandler):
    """pyftpdlib's handler, writing every command line it receives to the log."""

    variant = "plain"
    command_log = None
    auth_failed_timeout = 0.1
    active_dtp = HandingOverActiveDTP

    def __init__(self, conn, server, ioloop=None):
        super().__init__(conn, server, ioloop)
        self.session_number = self.command_log.next_session()

    def decode(self, raw):
        self.command_log.write(self.variant, self.session_number, raw)
        return raw.decode("gbk", "replace")


class NoRestHandler(LoggingHandler):
    def ftp_REST(self, line):
        self.respond("502 Command not implemented.")


class RestWithoutWordHandler(LoggingHandler):
    def ftp_REST(self, line):
        try:
            self._restart_position = int(line)
        except ValueError:
            self.respond("501 Invalid parameter.")
            return
        self.respond("350 Position noted.")


class NoPassiveHandler(LoggingHandler):
    def ftp_PASV(self, line):
        self.respond("502 Passive mode not available.")

    def ftp_EPSV(self, line):
        self.respond("502 Passive mode not available.")


class SizeMissingHandler(LoggingHandler):
    def ftp_SIZE(self, path):
        self.respond("550 No such file.")


class SlowDTPHandler(ThrottledDTPHandler):
    """Throttled from the first byte: pyftpdlib's own lets the first two seconds' worth out at once."""

    write_limit = SLOW_RATE

    def __init__(self, sock, cmd_channel):
        super().__init__(sock, cmd_channel)
        self._timenext = time.monotonic() + 1


class StallingDTPHandler(DTPHandler):
    """Stops sending a transfer from byte 0 after STALL_AFTER bytes, and stays open."""

    def __init__(self, sock, cmd_channel):
        super().__init__(sock, cmd_channel)
        self.sent_so_far = 0

    def use_sendfile(self):
        return False

    def send(self, data):
        # A passive data connection is made before REST and RETR: their
        # position is known only once there is something to send.
        if getattr(self.cmd_channel, "retrieved_from", 0) != 0:
            return super().send(data)
        data = data[:max(0, STALL_AFTER - self.sent_so_far)]
        sent = super().send(data) if data else 0
        self.sent_so_far += sent
        if self.sent_so_far >= STALL_AFTER:
            self.del_channel()  # no more write events: silence until the client gives up
        return sent


class StallOnceHandler(LoggingHandler):
    dtp_handler = StallingDTPHandler

    def ftp_RETR(self, file):
        self.retrieved_from = self._restart_position
        return super().ftp_RETR(file)


class EndlessReplyHandler(LoggingHandler):
    def ftp_SIZE(self, path):
        self.push("213 " + "9" * ENDLESS_LINE)


class BadPassiveHandler(LoggingHandler):
    REPLIES = {
        "no-brackets": "227 Entering passive mode 127,0,0,1,200,10.",
        "over-255": "227 Entering passive mode (127,0,0,1,300,10).",
        "five-numbers": "227 Entering passive mode (127,0,0,1,200).",
    }

    def ftp_PASV(self, line):
        self.respond(self.REPLIES.get(self.username, "227 Entering passive mode (127,0,0,1)."))


def variants():
    """variant -> (handler base, class attributes, authorizer options)."""
    return {
        "plain": (LoggingHandler, {}, {}),
        "no-rest": (NoRestHandler, {}, {}),
        "rest-no-word": (RestWithoutWordHandler, {}, {}),
        "no-pasv": (NoPassiveHandler, {}, {}),
        "size-missing": (SizeMissingHandler, {}, {}),
        "login-refused": (LoggingHandler, {}, {"nobody": True}),
        "slow": (LoggingHandler, {"dtp_handler": SlowDTPHandler}, {}),
        "stall-once": (StallOnceHandler, {}, {}),
        "masquerade": (LoggingHandler, {"masquerade_address": "127.0.0.2"}, {}),
        "endless-reply": (EndlessReplyHandler, {}, {}),
        "bad-pasv": (BadPassiveHandler, {}, {"anyone": True}),
    }


def make_servers(root, log, ioloop, chosen=None):
    servers = {}
    for name, (base, attributes, authorizer_options) in variants().items():
        if chosen and name not in chosen:
            continue
        handler = type(base.__name__ + "_" + name.replace("-", "_"), (base,), dict(attributes))
        handler.variant = name
        handler.command_log = log
        handler.authorizer = FixtureAuthorizer(root, **authorizer_options)
        handler.banner = "fixture FTP server (%s) ready." % name
        servers[name] = FTPServer(("127.0.0.1", 0), handler, ioloop=ioloop)
    return servers


# ---------------------------------------------------------------------------
# Running in the background for a CTest fixture


def write_atomically(path, text):
    with open(path + ".tmp", "w") as f:
        f.write(text)
    os.replace(path + ".tmp", path)


def serve_command(directory, chosen=None):
    root = os.path.join(directory, "root")
    os.makedirs(root, exist_ok=True)
    logging.basicConfig(level=logging.WARNING, format="%(asctime)s %(message)s")
    ioloop = IOLoop()
    log = CommandLog(os.path.join(directory, "commands.log"))
    servers = make_servers(root, log, ioloop, chosen)
    stopping = []

    def stop(*_):
        stopping.append(True)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    write_atomically(os.path.join(directory, "pid"), f"{os.getpid()}\n")
    write_atomically(os.path.join(directory, "ports"),
                     "".join(f"{name} {server.address[1]}\n" for name, server in servers.items()))
    print("ftp-server: " + ", ".join(f"{n} on {s.address[1]}" for n, s in servers.items()), flush=True)
    wait = 0.2
    while not stopping:
        soonest = ioloop.loop(timeout=wait, blocking=False)  # one poll, then the scheduled calls due
        wait = 0.2 if soonest is None else max(0.0, min(0.2, soonest))
    for server in servers.values():
        server.close_all()


def stop_command(directory):
    background_server.stop(directory, __file__, "ports")


def start_command(directory, chosen=None):
    serve_args = []
    for variant in chosen or []:
        serve_args += ["--variant", variant]
    return background_server.start(directory, __file__, "ports", serve_args, "ftp-server",
                                   lambda _: f"files in {directory}/root, ports in {directory}/ports")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("action", choices=("start", "stop", "serve"))
    parser.add_argument("directory")
    parser.add_argument("--variant", action="append", help="serve only these variants")
    args = parser.parse_args(argv)
    os.makedirs(args.directory, exist_ok=True)
    directory = os.path.abspath(args.directory)
    if args.action == "stop":
        stop_command(directory)
        return 0
    if args.action == "start":
        return start_command(directory, args.variant)
    serve_command(directory, args.variant)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
