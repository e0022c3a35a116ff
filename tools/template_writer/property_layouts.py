"""The property blocks of the unit types: field order, property numbers, defaults.

A block is a u32 format version followed by the type's fields in stored order,
each a u32, a u16, counted bytes or a counted text (u32 length, then the bytes).
Every field stores one property, named here by readable keys and always also
by `propN` with its property number.
"""

import struct
from dataclasses import dataclass
from typing import Dict, Tuple

from values import one_value, parse_bool, parse_bytes, parse_int

DEFAULT_COLOUR = 0xFF000000
LOGFONT_SIZE = 60
SCREEN_DPI = 96
GB2312_CHARSET = 134


def type_reference(library: int, number: int) -> int:
    return ((library + 1) << 16) | (number + 1)


def u32(value: int) -> bytes:
    return struct.pack("<I", value & 0xFFFFFFFF)


def counted(data: bytes) -> bytes:
    return u32(len(data)) + data


class FieldKind:
    """How one field is written from the description and into the block."""

    def parse(self, values, place, key, base_dir, description):
        raise NotImplementedError

    def encode(self, value) -> bytes:
        raise NotImplementedError


class Integer(FieldKind):
    def parse(self, values, place, key, base_dir, description):
        return parse_int(one_value(values, place, key), place, key) & 0xFFFFFFFF

    def encode(self, value):
        return u32(value)


class Logical(FieldKind):
    def parse(self, values, place, key, base_dir, description):
        return 1 if parse_bool(values, place, key) else 0

    def encode(self, value):
        return u32(value)


class Choice(FieldKind):
    """A choice index; some choices may also be given by name."""

    def __init__(self, names: Dict[str, int] = None):
        self.names = names or {}

    def parse(self, values, place, key, base_dir, description):
        token = one_value(values, place, key)
        if not token.quoted and token.word in self.names:
            return self.names[token.word]
        value = parse_int(token, place, key)
        if value < 0:
            raise place.error(f"{key}: a choice is never negative")
        return value

    def encode(self, value):
        return u32(value)


class Colour(FieldKind):
    """A COLORREF (0x00BBGGRR): a number, `rgb R G B`, or `default` (0xFF000000)."""

    def parse(self, values, place, key, base_dir, description):
        if len(values) == 1 and not values[0].quoted and values[0].word == "default":
            return DEFAULT_COLOUR
        if len(values) == 4 and not values[0].quoted and values[0].word == "rgb":
            r, g, b = (parse_int(v, place, key) for v in values[1:])
            if not all(0 <= c <= 255 for c in (r, g, b)):
                raise place.error(f"{key}: colour parts are 0-255")
            return r | (g << 8) | (b << 16)
        if len(values) != 1:
            raise place.error(f"{key}: a colour number, 'rgb R G B' or 'default' is needed")
        return parse_int(values[0], place, key) & 0xFFFFFFFF

    def encode(self, value):
        return u32(value)


class MaskCharacter(FieldKind):
    """A u16 holding the first byte of a character (a password mask)."""

    def parse(self, values, place, key, base_dir, description):
        token = one_value(values, place, key)
        if token.quoted:
            return token.text[0] if token.text else 0
        return parse_int(token, place, key) & 0xFFFF

    def encode(self, value):
        return struct.pack("<H", value)


class Bytes(FieldKind):
    def parse(self, values, place, key, base_dir, description):
        return parse_bytes(values, place, key, base_dir, description)

    def encode(self, value):
        return counted(value)


class Font(Bytes):
    """A 60-byte LOGFONTA: `font FACE POINTS [bold] [italic] [underline] [strikeout]`,
    or `hex ...`, a file path, or `none` like any byte property."""

    def parse(self, values, place, key, base_dir, description):
        if len(values) >= 2 and values[0].quoted:
            return self.logfont(values, place, key)
        return super().parse(values, place, key, base_dir, description)

    @staticmethod
    def logfont(values, place, key) -> bytes:
        face = values[0].text
        if not 1 <= len(face) <= 31:
            raise place.error(f"{key}: the face name is 1 to 31 bytes")
        points = parse_int(values[1], place, key)
        styles = set()
        for token in values[2:]:
            if token.quoted or token.word not in ("bold", "italic", "underline", "strikeout"):
                raise place.error(f"{key}: unknown font style {token.string!r}")
            styles.add(token.word)
        height = -((points * SCREEN_DPI + 36) // 72)  # -MulDiv(points, dpi, 72)
        weight = 700 if "bold" in styles else 400
        return (struct.pack("<5i", height, 0, 0, 0, weight) +
                bytes([int("italic" in styles), int("underline" in styles), int("strikeout" in styles),
                       GB2312_CHARSET, 0, 0, 0, 0]) +
                face.ljust(32, b"\0"))


class Text(FieldKind):
    def parse(self, values, place, key, base_dir, description):
        return one_value(values, place, key).text

    def encode(self, value):
        return counted(value)


class Pages(FieldKind):
    """The page captions of a tab: a u16 count, then that many counted texts."""

    def parse(self, values, place, key, base_dir, description):
        return [token.text for token in values]

    def encode(self, value):
        if len(value) > 0xFFFF:
            raise ValueError("too many pages")
        return struct.pack("<H", len(value)) + b"".join(counted(page) for page in value)


class FieldKinds:
    INTEGER = Integer()
    LOGICAL = Logical()
    CHOICE = Choice()
    H_ALIGN = Choice({"left": 0, "centre": 1, "center": 1, "right": 2})
    V_ALIGN = Choice({"top": 0, "centre": 1, "center": 1, "bottom": 2})
    EFFECT = Choice({"none": 0, "sunken": 1, "raised": 2, "shadow": 3})
    COLOUR = Colour()
    MASK = MaskCharacter()
    BYTES = Bytes()
    FONT = Font()
    TEXT = Text()
    PAGES = Pages()


K = FieldKinds


@dataclass
class Field:
    kind: FieldKind
    number: int
    names: Tuple[str, ...]
    default: object
    since: int = 1       # first format version that stores the field


@dataclass
class Layout:
    library: int
    number: int
    version: int
    fields: Tuple[Field, ...]
    empty_unless_given: bool = False   # an empty block means "all defaults"
    empty_only: bool = False           # the type stores no properties

    @property
    def type_ref(self) -> int:
        return type_reference(self.library, self.number)

    def field(self, number: int) -> Field:
        return next(f for f in self.fields if f.number == number)


def F(kind, number, names, default, since=1):
    if isinstance(names, str):
        names = (names,)
    return Field(kind, number, names, default, since)


def _check_box_fields(with_links: bool):
    fields = [
        F(K.LOGICAL, 9, (), 0), F(K.LOGICAL, 10, (), 0), F(K.LOGICAL, 12, (), 0),
        F(K.H_ALIGN, 13, "h_align", 0), F(K.V_ALIGN, 14, "v_align", 0),
        F(K.COLOUR, 15, "text_colour", 0), F(K.COLOUR, 16, "background_colour", DEFAULT_COLOUR),
        F(K.LOGICAL, 18, "checked", 0),
        F(K.BYTES, 8, "picture", b""), F(K.FONT, 17, "font", b""), F(K.TEXT, 11, "caption", b""),
    ]
    if with_links:
        fields += [F(K.TEXT, 19, "data_source", b"", 2), F(K.TEXT, 20, "data_field", b"", 2)]
    return tuple(fields)


LAYOUTS: Dict[str, Layout] = {
    "window": Layout(0, 0, 6, (
        F(K.CHOICE, 9, "border", 0), F(K.COLOUR, 10, "background_colour", DEFAULT_COLOUR),
        F(K.CHOICE, 12, "picture_mode", 0), F(K.CHOICE, 14, "sound_repeat", 0),
        F(K.LOGICAL, 15, "control_box", 1), F(K.LOGICAL, 16, "maximize_box", 0),
        F(K.LOGICAL, 17, "minimize_box", 1), F(K.CHOICE, 18, "position", 0), F(K.LOGICAL, 19, "movable", 1),
        F(K.LOGICAL, 21, (), 0), F(K.LOGICAL, 22, (), 0), F(K.LOGICAL, 23, (), 0), F(K.INTEGER, 25, (), 0),
        F(K.LOGICAL, 26, (), 0, 2),
        F(K.LOGICAL, 27, (), 0, 3), F(K.CHOICE, 28, (), 0, 3),
        F(K.LOGICAL, 29, "always_on_top", 0, 4),
        F(K.LOGICAL, 30, (), 0, 5),
        F(K.TEXT, 31, (), b"", 6),
        F(K.BYTES, 11, "background_picture", b""), F(K.BYTES, 20, "icon", b""), F(K.BYTES, 13, "sound", b""),
        F(K.TEXT, 8, "caption", b""), F(K.TEXT, 24, (), b""),
    )),
    "EditBox": Layout(0, 4, 2, (
        F(K.CHOICE, 9, "border", 0), F(K.COLOUR, 10, "text_colour", 0),
        F(K.COLOUR, 11, "background_colour", DEFAULT_COLOUR), F(K.LOGICAL, 13, "hide_selection", 0),
        F(K.INTEGER, 14, "max_length", 0), F(K.LOGICAL, 15, "multiline", 0), F(K.CHOICE, 16, "scroll_bars", 0),
        F(K.H_ALIGN, 17, ("h_align", "align"), 0), F(K.CHOICE, 18, "input_mode", 0),
        F(K.MASK, 19, "password_char", ord("*")),
        F(K.CHOICE, 20, "case_conversion", 0), F(K.CHOICE, 21, "spin", 0), F(K.INTEGER, 22, "spin_min", 0),
        F(K.INTEGER, 23, "spin_max", 0), F(K.INTEGER, 24, "selection_start", 0),
        F(K.INTEGER, 25, "selection_length", 0),
        F(K.FONT, 12, "font", b""), F(K.TEXT, 8, "content", b""),
        F(K.TEXT, 27, "data_source", b"", 2), F(K.TEXT, 28, "data_field", b"", 2),
    )),
    "GroupBox": Layout(0, 8, 1, (
        F(K.H_ALIGN, 9, ("h_align", "caption_align"), 0), F(K.COLOUR, 10, "text_colour", 0),
        F(K.COLOUR, 11, "background_colour", DEFAULT_COLOUR),
        F(K.FONT, 12, "font", b""), F(K.TEXT, 8, "caption", b""),
    )),
    "Label": Layout(0, 9, 2, (
        F(K.EFFECT, 9, "effect", 0), F(K.CHOICE, 10, "border", 0), F(K.INTEGER, 11, "border_width", 5),
        F(K.COLOUR, 12, "border_colour1", DEFAULT_COLOUR), F(K.COLOUR, 13, "border_colour2", DEFAULT_COLOUR),
        F(K.COLOUR, 14, "border_colour3", DEFAULT_COLOUR), F(K.COLOUR, 16, "text_colour", 0),
        F(K.COLOUR, 17, "background_colour", DEFAULT_COLOUR), F(K.CHOICE, 19, "picture_mode", 0),
        F(K.CHOICE, 20, "gradient_mode", 0), F(K.COLOUR, 21, "gradient_colour1", DEFAULT_COLOUR),
        F(K.COLOUR, 22, "gradient_colour2", DEFAULT_COLOUR), F(K.COLOUR, 23, "gradient_colour3", DEFAULT_COLOUR),
        F(K.H_ALIGN, 24, "h_align", 0), F(K.LOGICAL, 25, "word_wrap", 0), F(K.V_ALIGN, 26, "v_align", 0),
        F(K.FONT, 15, "font", b""), F(K.BYTES, 18, "picture", b""), F(K.TEXT, 8, "caption", b""),
        F(K.TEXT, 27, "data_source", b"", 2), F(K.TEXT, 28, "data_field", b"", 2),
    )),
    "Button": Layout(0, 10, 1, (
        F(K.CHOICE, 9, ("kind", "default_button"), 0), F(K.H_ALIGN, 11, "h_align", 0),
        F(K.V_ALIGN, 12, "v_align", 0),
        F(K.BYTES, 8, "picture", b""), F(K.FONT, 13, "font", b""), F(K.TEXT, 10, "caption", b""),
    )),
    "CheckBox": Layout(0, 11, 2, _check_box_fields(True)),
    "RadioBox": Layout(0, 12, 1, _check_box_fields(False)),
    "ProcessBar": Layout(0, 18, 1, (
        F(K.CHOICE, 8, "border", 0), F(K.LOGICAL, 9, "vertical", 0), F(K.LOGICAL, 10, "smooth", 0),
        F(K.INTEGER, 11, "min", 0), F(K.INTEGER, 12, "max", 100), F(K.INTEGER, 13, "position", 0),
    ), empty_unless_given=True),
    "Tab": Layout(0, 20, 3, (
        F(K.CHOICE, 8, (), 0), F(K.LOGICAL, 9, (), 0), F(K.INTEGER, 12, (), 0),
        F(K.LOGICAL, 13, (), 0, 2),
        F(K.LOGICAL, 14, (), 0, 3), F(K.COLOUR, 15, "background_colour", DEFAULT_COLOUR, 3),
        F(K.FONT, 10, "font", b""), F(K.PAGES, 16, "pages", []),
    )),
    "Timer": Layout(0, 31, 1, (
        F(K.INTEGER, 8, "interval", 0),
    ), empty_unless_given=True),
    "TransLabel": Layout(2, 4, 1, (
        F(K.EFFECT, 9, "effect", 0), F(K.COLOUR, 11, "text_colour", 0), F(K.H_ALIGN, 12, "h_align", 0),
        F(K.V_ALIGN, 14, "v_align", 1), F(K.LOGICAL, 13, "word_wrap", 0),
        F(K.FONT, 10, "font", b""), F(K.TEXT, 8, "caption", b""),
    )),
    "ZIP": Layout(6, 0, 1, (), empty_only=True),
}

# Types whose child lists are divided into pages by 0 entries.
PAGED_TYPES = {"Tab"}


def encode_block(layout: Layout, properties: Dict[int, object], version, place) -> bytes:
    """The property block of a unit: the given properties, defaults for the rest."""
    if layout.empty_only:
        if properties or version is not None:
            raise place.error("this type stores no properties")
        return b""
    if layout.empty_unless_given and not properties and version is None:
        return b""
    version = layout.version if version is None else version
    out = bytearray(u32(version))
    for f in layout.fields:
        if f.since <= version:
            out += f.kind.encode(properties.get(f.number, f.default))
        elif f.number in properties:
            raise place.error(f"property {f.number} is not stored in format version {version}")
    return bytes(out)
