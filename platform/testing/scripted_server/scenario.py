"""Scenario files: what the scripted server does on each connection of a
download task, and what the task must end with.

The format is described in downlib/tests/scenarios/README.md. A scenario is
parsed into a `Scenario` (templates with placeholders), which `bind` turns
into a `BoundScenario` for one server port: concrete bytes for every action
and the plan that the test runner compares its results with.

Texts that reach the program (request and reply bytes, task parameters,
expected status texts, file names) are encoded as GBK, the program's code page.
"""

import hashlib
import os
import re
from dataclasses import dataclass, field

EVENTS = {
    "SizeKnown": 3,
    "TaskEnded": 4,
    "WorkerStarted": 5,
    "SegmentStarted": 6,
    "SegmentSwitched": 7,
    "WorkerDone": 8,
    "WorkerFailed": 9,
    "Received": 16,
    "FileExists": 18,
}

INT_PARAMS = ("ThreadCount", "SpeedLimit", "ConnectTimeout", "SendTimeout", "ReceiveTimeout", "StopWait",
              "ReadSize")
TEXT_PARAMS = ("Url", "Referer", "Proxy")

DEFAULT_URL = "http://127.0.0.1:%PORT%/s/%SCENARIO%/file.zip"
DEFAULT_RETRY = (5, 50)
DEFAULT_TIMEOUT_S = 30
DEFAULT_BODY_SIZE = 30000

# Markers of the plan's text patterns; GBK text never holds a 0x01 byte.
ANY_NUMBER = b"\x01N"
ANY_TEXT = b"\x01A"
ALTERNATIVE = b"\x01|"

NAME_RE = re.compile(r"^[a-z0-9][a-z0-9-]*$")
PLACEHOLDER_RE = re.compile(r"%([A-Z][A-Z-]*)(?::(\d+))?%")
SECTION_RE = re.compile(r"^\[(?:(connection) (\d+|\*)|(worker) (\d+) (status(?: among others)?)|"
                        r"(task|body|status|status among others|no status|events|files|connections))\]$")


class ScenarioError(Exception):
    pass


def generated_body(size):
    """The body a scenario serves: `size` bytes that repeat nowhere, the same in every run."""
    out = bytearray()
    block = 0
    while len(out) < size:
        out += hashlib.sha256(b"scenario body %d" % block).digest()
        block += 1
    return bytes(out[:size])


def decode_escapes(text, where):
    """\\r \\n \\t \\\\ and \\xNN in a raw block; the block's own line breaks are not part of it."""
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c != "\\":
            out += c.encode("gbk")
            i += 1
            continue
        nxt = text[i + 1:i + 2]
        if nxt in ("r", "n", "t", "\\"):
            out += {"r": b"\r", "n": b"\n", "t": b"\t", "\\": b"\\"}[nxt]
            i += 2
        elif nxt == "x" and re.fullmatch(r"[0-9a-fA-F]{2}", text[i + 2:i + 4]):
            out.append(int(text[i + 2:i + 4], 16))
            i += 4
        else:
            raise ScenarioError(f"{where}: unknown escape \\{nxt}")
    return bytes(out)


def parse_range(request):
    """The first byte and the last byte (or None) of a request's Range header; None without one."""
    match = re.search(rb"\r\nRange:[ \t]*bytes=(\d+)-(\d*)\r\n", request, re.IGNORECASE)
    if not match:
        return None
    return int(match.group(1)), int(match.group(2)) if match.group(2) else None


def reply_by_range(body, request):
    """What an ordinary server answers: the slice a Range header names, else the whole body."""
    wanted = parse_range(request)
    if wanted is None:
        return b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\nContent-Type: application/octet-stream\r\n\r\n" % len(
            body) + body
    first, last = wanted
    if first >= len(body):
        return b"HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */%d\r\nContent-Length: 0\r\n\r\n" % len(
            body)
    last = len(body) - 1 if last is None or last >= len(body) else last
    part = body[first:last + 1]
    return (b"HTTP/1.1 206 Partial Content\r\nContent-Range: bytes %d-%d/%d\r\nContent-Length: %d\r\n"
            b"Content-Type: application/octet-stream\r\n\r\n" % (first, last, len(body), len(part)) + part)


def body_slice(body, span, where):
    """`all`, `A-B` (inclusive) or `A-` of the body."""
    if span == "all":
        return body
    match = re.fullmatch(r"(\d+)-(\d*)", span)
    if not match:
        raise ScenarioError(f"{where}: send-body takes all, A-B or A-, not {span!r}")
    first = int(match.group(1))
    last = int(match.group(2)) if match.group(2) else len(body) - 1
    if first > last + 1 or last >= len(body):
        raise ScenarioError(f"{where}: {span} is outside the {len(body)}-byte body")
    return body[first:last + 1]


def header_of(reply):
    """The response header as the client reports it: from the first status-line
    text to the empty line that ends the header, inclusive."""
    starts = [i for i in (reply.find(b"HTTP/1.1"), reply.find(b"HTTP/1.0")) if i >= 0]
    if not starts:
        return None
    start = min(starts)
    end = reply.find(b"\r\n\r\n", start)
    return None if end < 0 else reply[start:end + 4]


@dataclass
class Action:
    kind: str  # send-header, send-raw, send-body, reply-by-range, pieces, pause, stall, close, reset
    text: str = ""  # template of send-header / send-raw, or the send-body slice
    number: int = 0  # pieces, pause
    where: str = ""


@dataclass
class Connection:
    expect_request: list = None  # template lines, or None
    actions: list = field(default_factory=list)
    where: str = ""


@dataclass
class Scenario:
    name: str
    task: dict = field(default_factory=dict)  # field -> (value template or None for absent, where)
    save_path: str = "\\"
    retry: tuple = DEFAULT_RETRY
    timeout_s: int = DEFAULT_TIMEOUT_S
    body_size: int = DEFAULT_BODY_SIZE
    connections: dict = field(default_factory=dict)  # number or "*" -> Connection
    status: list = field(default_factory=list)  # (scope, mode, level, template, where)
    events: list = field(default_factory=list)  # (kind, name, value template or None, where)
    files: list = field(default_factory=list)  # ("file", names, kind, number, or_none) / ("none",) / ("absent", path)
    connection_count: tuple = None  # (min, max)


# ---------------------------------------------------------------------------
# Parsing


def _indented_block(lines, i):
    """Lines after `i` that start with two spaces, without them; and the index after them."""
    block = []
    j = i + 1
    while j < len(lines) and lines[j].startswith("  "):
        block.append(lines[j][2:])
        j += 1
    return block, j


def _int(text, where):
    if not re.fullmatch(r"-?\d+", text):
        raise ScenarioError(f"{where}: {text!r} is not a number")
    return int(text)


def _parse_task(sc, key, rest, where):
    if key in INT_PARAMS:
        sc.task[key] = (str(_int(rest, where)), where)
    elif key in TEXT_PARAMS:
        sc.task[key] = (None if rest == "absent" else "" if rest == "empty" else rest, where)
    elif key == "SavePath":
        if not rest:
            raise ScenarioError(f"{where}: SavePath needs a name, or \\ for the directory itself")
        sc.save_path = rest
    elif key == "retry":
        parts = rest.split()
        if len(parts) != 2:
            raise ScenarioError(f"{where}: retry takes a count and a wait in milliseconds")
        sc.retry = (_int(parts[0], where), _int(parts[1], where))
    elif key == "timeout":
        sc.timeout_s = _int(rest, where)
    else:
        raise ScenarioError(f"{where}: unknown task setting {key!r}")


def _parse_connection_line(conn, key, rest, lines, i, where):
    """One line of a [connection] section; returns the index of the next line."""
    if key in ("expect-request:", "send-header:", "send-raw:"):
        if rest:
            raise ScenarioError(f"{where}: {key} takes an indented block on the following lines")
        block, nxt = _indented_block(lines, i)
        if not block:
            raise ScenarioError(f"{where}: {key} has no indented lines")
        if key == "expect-request:":
            conn.expect_request = block
        elif key == "send-header:":
            conn.actions.append(Action("send-header", "\n".join(block), where=where))
        else:
            conn.actions.append(Action("send-raw", "".join(block), where=where))
        return nxt
    if key == "send-body":
        conn.actions.append(Action("send-body", rest or "all", where=where))
    elif key in ("pieces", "pause"):
        value = _int(rest, where)
        if value < (1 if key == "pieces" else 0):
            raise ScenarioError(f"{where}: {key} {value} is out of range")
        conn.actions.append(Action(key, number=value, where=where))
    elif key in ("reply-by-range", "stall", "close", "reset"):
        if rest:
            raise ScenarioError(f"{where}: {key} takes nothing after it")
        conn.actions.append(Action(key, where=where))
    else:
        raise ScenarioError(f"{where}: unknown connection step {key!r}")
    return i + 1


def _parse_event(sc, line, where):
    kind = "some"
    name, _, rest = line.partition(" ")
    if name in ("once", "no"):
        kind = name
        name, _, rest = rest.partition(" ")
    if name not in EVENTS:
        raise ScenarioError(f"{where}: unknown event in {line!r}")
    value = rest.strip() or None
    if kind == "no" and value is not None:
        raise ScenarioError(f"{where}: an event line is [once|no] <event> [value[ || value]]")
    sc.events.append((kind, name, value, where))


def _parse_file(sc, line, where):
    if line == "none":
        sc.files.append(("none",))
        return
    if line.startswith("absent "):
        sc.files.append(("absent", line[len("absent "):].strip()))
        return
    or_none = line.endswith(" or none")
    if or_none:
        line = line[:-len(" or none")]
    match = re.fullmatch(r"(.+?) (body|prefix (\d+))", line)
    if not match:
        raise ScenarioError(f"{where}: a file line is <name>[ || <name>] body|prefix N [or none], none, "
                            "or absent <path>")
    names = [n.strip() for n in match.group(1).split(" || ")]
    kind = "body" if match.group(2) == "body" else "prefix"
    sc.files.append(("file", names, kind, int(match.group(3) or 0), or_none))


def parse(text, name, source=None):
    source = source or name
    if not NAME_RE.match(name):
        raise ScenarioError(f"{source}: scenario names are lower-case letters, digits and '-': {name!r}")
    sc = Scenario(name)
    lines = text.split("\n")
    section = None
    i = 0
    while i < len(lines):
        line = lines[i].rstrip("\r")
        where = f"{source}:{i + 1}"
        if not line.strip() or line.startswith("#"):
            i += 1
            continue
        if line.startswith("  "):
            raise ScenarioError(f"{where}: an indented line belongs after a line ending in ':'")
        if line.startswith("["):
            match = SECTION_RE.match(line)
            if not match:
                raise ScenarioError(f"{where}: unknown section {line}")
            if match.group(1):
                number = "*" if match.group(2) == "*" else int(match.group(2))
                if number in sc.connections:
                    raise ScenarioError(f"{where}: connection {number} is described twice")
                sc.connections[number] = Connection(where=where)
                section = ("connection", number)
            elif match.group(3):
                section = ("status", int(match.group(4)), "among" if "among" in match.group(5) else "exact")
            else:
                kind = match.group(6)
                section = {
                    "status": ("status", "all", "exact"),
                    "status among others": ("status", "all", "among"),
                    "no status": ("status", "all", "absent"),
                }.get(kind, (kind,))
            i += 1
            continue
        if section is None:
            raise ScenarioError(f"{where}: a line before the first section")
        key, _, rest = line.partition(" ")
        rest = rest.strip()
        kind = section[0]
        if kind == "task":
            _parse_task(sc, key, rest, where)
        elif kind == "body":
            if key != "size":
                raise ScenarioError(f"{where}: the body section holds 'size N'")
            sc.body_size = _int(rest, where)
        elif kind == "connection":
            i = _parse_connection_line(sc.connections[section[1]], key, rest, lines, i, where)
            continue
        elif kind == "status":
            level = key
            if not (re.fullmatch(r"[0-3]", level) or (level == "*" and section[2] == "absent")):
                raise ScenarioError(f"{where}: a status line starts with its level 0-3" +
                                    (" or *" if section[2] == "absent" else ""))
            sc.status.append((section[1], section[2], level, rest, where))
        elif kind == "events":
            _parse_event(sc, line.strip(), where)
        elif kind == "files":
            _parse_file(sc, line.strip(), where)
        elif kind == "connections":
            match = re.fullmatch(r"count (\d+)(?:-(\d+))?", line.strip())
            if not match:
                raise ScenarioError(f"{where}: the connections section holds 'count N' or 'count A-B'")
            low = int(match.group(1))
            sc.connection_count = (low, int(match.group(2) or low))
        i += 1
    return sc


def load(path):
    name = os.path.splitext(os.path.basename(path))[0]
    with open(path, encoding="utf-8") as f:
        return parse(f.read(), name, os.path.basename(path))


# ---------------------------------------------------------------------------
# Binding to a port: concrete bytes and the plan


class BoundScenario:
    """A scenario with its placeholders filled in for one server port."""

    def __init__(self, scenario, port):
        self.scenario = scenario
        self.port = port
        self.body = generated_body(scenario.body_size)
        self.connections = {}
        for number, conn in scenario.connections.items():
            self.connections[number] = self._bind_connection(conn)
        self.default_connection = self._bind_connection(Connection(actions=[Action("reply-by-range")]))
        self.requests = {number: c["request"] for number, c in self.connections.items()
                         if c["request"] is not None}

    # Placeholders -------------------------------------------------------

    def fill(self, text, where, allowed=(), extra=None):
        """Replaces the placeholders every text may use, and those in `allowed`
        through `extra(name, number)`, which returns a replacement text."""

        def replace(match):
            name, number = match.group(1), match.group(2)
            if name == "PORT":
                return str(self.port)
            if name == "SCENARIO":
                return self.scenario.name
            if name == "SIZE":
                return str(len(self.body))
            if name == "CR":
                return "\r"
            if name == "LF":
                return "\n"
            if name == "FILLER" and number is not None:
                return "x" * int(number)
            if name in allowed:
                return extra(name, number)
            raise ScenarioError(f"{where}: placeholder {match.group(0)} is not known here")

        return PLACEHOLDER_RE.sub(replace, text)

    def _header_bytes(self, template, where):
        pad = []

        def keep_pad(name, number):
            if number is None or pad:
                raise ScenarioError(f"{where}: %PAD-TO:N% appears once, with a length")
            pad.append(int(number))
            return "\x00PAD\x00"

        text = self.fill(template, where, ("PAD-TO",), keep_pad)
        data = b"".join(line.encode("gbk") + b"\r\n" for line in text.split("\n")) + b"\r\n"
        if pad:
            missing = pad[0] - (len(data) - len(b"\x00PAD\x00"))
            if missing < 0:
                raise ScenarioError(f"{where}: the header is already longer than {pad[0]} bytes")
            data = data.replace(b"\x00PAD\x00", b"x" * missing)
        return data

    def _bind_connection(self, conn):
        steps = []
        for action in conn.actions:
            if action.kind == "send-header":
                steps.append(("send", self._header_bytes(action.text, action.where)))
            elif action.kind == "send-raw":
                steps.append(("send", decode_escapes(self.fill(action.text, action.where), action.where)))
            elif action.kind == "send-body":
                steps.append(("send", body_slice(self.body, action.text, action.where)))
            else:
                steps.append((action.kind, action.number))
        request = None
        if conn.expect_request is not None:
            where = conn.where
            text = self.fill("\n".join(conn.expect_request), where)
            request = b"".join(line.encode("gbk") + b"\r\n" for line in text.split("\n")) + b"\r\n"
        return {"steps": steps, "request": request, "where": conn.where}

    def steps_for(self, number):
        bound = self.connections.get(number) or self.connections.get("*") or self.default_connection
        return bound["steps"]

    def expected_request(self, number):
        bound = self.connections.get(number) or self.connections.get("*")
        return bound["request"] if bound else None

    def reply_bytes(self, number, request):
        """Everything connection `number` sends for `request`, pauses and piece sizes aside."""
        out = bytearray()
        for kind, value in self.steps_for(number):
            if kind == "send":
                out += value
            elif kind == "reply-by-range":
                out += reply_by_range(self.body, request)
            elif kind in ("stall", "close", "reset"):
                break
        return bytes(out)

    # Plan ---------------------------------------------------------------

    def _pattern(self, template, where):
        """An expected status text: alternatives of literal bytes and wildcards."""
        alternatives = []
        for alternative in template.split(" || "):
            parts = []

            def reference(name, number):
                if name in ("N", "ANY"):
                    if number is not None:
                        raise ScenarioError(f"{where}: %{name}% takes no number")
                    return "\x00" + name + "\x00"
                if number is None:
                    raise ScenarioError(f"{where}: %{name}:n% needs a connection number")
                request = self.expected_request(int(number))
                if request is None:
                    raise ScenarioError(f"{where}: connection {number} has no expect-request")
                if name == "REQUEST":
                    return "\x00R" + number + "\x00"
                header = header_of(self.reply_bytes(int(number), request))
                if header is None:
                    raise ScenarioError(f"{where}: connection {number} sends no complete header")
                return "\x00H" + number + "\x00"

            text = self.fill(alternative, where, ("N", "ANY", "REQUEST", "HEADER"), reference)
            for piece in re.split(r"(\x00[^\x00]*\x00)", text):
                if piece == "\x00N\x00":
                    parts.append(ANY_NUMBER)
                elif piece == "\x00ANY\x00":
                    parts.append(ANY_TEXT)
                elif piece.startswith("\x00R"):
                    parts.append(self.expected_request(int(piece[2:-1])))
                elif piece.startswith("\x00H"):
                    n = int(piece[2:-1])
                    parts.append(header_of(self.reply_bytes(n, self.expected_request(n))))
                elif piece:
                    parts.append(piece.encode("gbk"))
            alternatives.append(b"".join(parts))
        return ALTERNATIVE.join(alternatives)

    def plan(self):
        """The scenario as the test runner reads it: records of the form
        `<words> <length>\\n<bytes>\\n`, ending with `end 0`."""
        sc = self.scenario
        out = bytearray()

        def record(words, payload=b""):
            out.extend(" ".join(str(w) for w in words).encode() + b" %d\n" % len(payload) + payload + b"\n")

        record(["name"], sc.name.encode())
        task = dict(sc.task)
        task.setdefault("Url", (DEFAULT_URL, "default"))
        for key, (value, where) in task.items():
            if value is None:
                record(["absent", key])
            else:
                record(["param", key], self.fill(value, where).encode("gbk"))
        record(["save-path"], b"" if sc.save_path == "\\" else sc.save_path.encode("gbk"))
        record(["retry"], b"%d,%d" % sc.retry)
        record(["timeout-ms"], str(sc.timeout_s * 1000).encode())
        record(["body"], self.body)
        for number, bound in self.connections.items():
            if bound["request"] is not None:
                record(["request", number], bound["request"])
        if sc.connection_count:
            record(["connections", *sc.connection_count])
        for scope, mode, level, template, where in sc.status:
            record(["status", scope, mode, level], self._pattern(template, where))
        for kind, name, value, where in sc.events:
            values = [] if value is None else [self.fill(v, where).encode() for v in value.split(" || ")]
            for filled in values:
                if not re.fullmatch(rb"-?\d+", filled):
                    raise ScenarioError(f"{where}: event value {filled.decode()!r} is not a number")
            record(["event", kind, EVENTS[name]], ALTERNATIVE.join(values))
        for entry in sc.files:
            if entry[0] == "none":
                record(["no-files"])
            elif entry[0] == "absent":
                record(["absent-path"], entry[1].encode("gbk"))
            else:
                _, names, kind, number, or_none = entry
                record(["file", kind, number, "or-none" if or_none else "required"],
                       ALTERNATIVE.join(n.encode("gbk") for n in names))
        record(["end"])
        return bytes(out)
