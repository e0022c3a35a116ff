"""The values of a window description: tokens, numbers, yes/no, texts, files."""

import os
import re
from dataclasses import dataclass
from typing import List, Optional


class DescriptionError(Exception):
    pass


@dataclass
class Token:
    word: Optional[str]      # a bare word, or None for a quoted text
    text: bytes              # GBK bytes of the token (quoted or bare)
    string: str              # the token as written, without quotes and escapes
    quoted: bool


@dataclass
class Place:
    path: str
    line: int

    def error(self, message: str) -> DescriptionError:
        return DescriptionError(f"{self.path}:{self.line}: {message}")


def encode_gbk(text: str, place: Place) -> bytes:
    try:
        return text.encode("gbk")
    except UnicodeEncodeError as error:
        raise place.error(f"text {text!r} has no GBK form ({error.reason})")


_ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"', "0": "\0"}


def tokenize(line: str, place: Place) -> List[Token]:
    """Splits a line into bare words and quoted texts; `#` outside quotes ends the line."""
    tokens: List[Token] = []
    i = 0
    while i < len(line):
        c = line[i]
        if c.isspace():
            i += 1
        elif c == "#":
            break
        elif c == '"':
            data = bytearray()
            chars = []
            i += 1
            while True:
                if i >= len(line):
                    raise place.error("text without its closing quote")
                c = line[i]
                if c == '"':
                    i += 1
                    break
                if c == "\\":
                    if i + 1 >= len(line):
                        raise place.error("escape at the end of the line")
                    e = line[i + 1]
                    if e == "x":
                        digits = line[i + 2:i + 4]
                        if not re.fullmatch(r"[0-9A-Fa-f]{2}", digits):
                            raise place.error("\\x needs two hexadecimal digits")
                        data.append(int(digits, 16))
                        chars.append(chr(int(digits, 16)))
                        i += 4
                        continue
                    if e not in _ESCAPES:
                        raise place.error(f"unknown escape \\{e}")
                    c = _ESCAPES[e]
                    i += 1
                data += encode_gbk(c, place)
                chars.append(c)
                i += 1
            tokens.append(Token(None, bytes(data), "".join(chars), True))
        else:
            start = i
            while i < len(line) and not line[i].isspace() and line[i] not in '#"':
                i += 1
            word = line[start:i]
            tokens.append(Token(word, encode_gbk(word, place), word, False))
    return tokens


IDENTIFIER = re.compile(r"[A-Za-z_][A-Za-z0-9_]*\Z")


def parse_int(token: Token, place: Place, what: str) -> int:
    if token.quoted:
        raise place.error(f"{what}: a number is needed, not a text")
    try:
        value = int(token.word, 0)
    except ValueError:
        raise place.error(f"{what}: {token.word!r} is not a number")
    if not -0x80000000 <= value <= 0xFFFFFFFF:
        raise place.error(f"{what}: {value} does not fit in 32 bits")
    return value


_YES = {"yes", "true", "on", "1"}
_NO = {"no", "false", "off", "0"}


def parse_bool(values: List[Token], place: Place, what: str) -> bool:
    if not values:
        return True
    if len(values) != 1 or values[0].quoted or values[0].word.lower() not in _YES | _NO:
        raise place.error(f"{what}: yes or no is needed")
    return values[0].word.lower() in _YES


def parse_routine(values: List[Token], place: Place, what: str) -> Optional[str]:
    """`-> Name` or `-> none`."""
    if len(values) != 2 or values[0].word != "->" or values[1].quoted:
        raise place.error(f"{what}: '-> RoutineName' or '-> none' is needed")
    name = values[1].word
    if name == "none":
        return None
    if not IDENTIFIER.match(name):
        raise place.error(f"{what}: {name!r} is not a routine name")
    return name


def one_value(values: List[Token], place: Place, key: str) -> Token:
    if len(values) != 1:
        raise place.error(f"{key}: one value is needed")
    return values[0]


def read_file(path: str, base_dir: str, place: Place, description) -> bytes:
    full = path if os.path.isabs(path) else os.path.join(base_dir, path)
    try:
        with open(full, "rb") as f:
            data = f.read()
    except OSError as error:
        raise place.error(f"cannot read {path}: {error.strerror}")
    description.files.append(os.path.abspath(full))
    return data


def parse_hex(values: List[Token], place: Place, what: str) -> bytes:
    digits = "".join(t.string for t in values)
    if not re.fullmatch(r"([0-9A-Fa-f]{2})*", digits):
        raise place.error(f"{what}: hexadecimal byte pairs are needed")
    return bytes.fromhex(digits)


def parse_bytes(values: List[Token], place: Place, what: str, base_dir: str, description) -> bytes:
    """`none`, `hex 0A0B...` or the path of a file whose bytes are taken whole."""
    if len(values) == 1 and not values[0].quoted and values[0].word == "none":
        return b""
    if len(values) >= 1 and not values[0].quoted and values[0].word == "hex":
        return parse_hex(values[1:], place, what)
    token = one_value(values, place, what)
    return read_file(token.string, base_dir, place, description)


def parse_cursor(values: List[Token], place: Place, base_dir: str, description) -> bytes:
    """A cursor number (stored as one i32), or `file PATH` (-1, then the cursor file)."""
    if len(values) == 2 and not values[0].quoted and values[0].word == "file":
        return (0xFFFFFFFF).to_bytes(4, "little") + read_file(values[1].string, base_dir, place, description)
    if len(values) >= 1 and not values[0].quoted and values[0].word == "hex":
        return parse_hex(values[1:], place, "cursor")
    number = parse_int(one_value(values, place, "cursor"), place, "cursor")
    return (number & 0xFFFFFFFF).to_bytes(4, "little")
