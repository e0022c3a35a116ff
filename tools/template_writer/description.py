"""Reads a window description: the readable text form of the program's windows.

The description is a sequence of lines. A line is a keyword followed by values;
indentation is free and only shows the nesting to the reader. `window` starts a
window, `unit NAME TYPE` and `menu NAME` start an entry of the current window,
and every other line sets a key of the block that was started last. `routines`
lines may stand anywhere and fix the order of the program's routine table.
See README.md for the keys.
"""

import os
import re
from dataclasses import dataclass, field
from typing import Dict, List, Optional, Tuple

from property_layouts import LAYOUTS, type_reference
from values import (IDENTIFIER, DescriptionError, Place, Token, one_value, parse_bool, parse_bytes, parse_cursor,
                    parse_int, parse_routine, tokenize)


@dataclass
class Common:
    """The fields that every unit entry stores, the window's own included."""
    id: Optional[int] = None
    name: bytes = b""
    remark: bytes = b""
    left: int = 0
    top: int = 0
    width: int = 0
    height: int = 0
    visible: bool = True
    disabled: bool = False
    tabstop: bool = False
    tag: bytes = b""
    cursor: bytes = b"\0\0\0\0"
    linked: object = 0                      # an id, or a unit name resolved later
    events: List[Tuple[int, Optional[str]]] = field(default_factory=list)  # (event, routine or None)
    properties: Dict[int, Tuple[object, Place]] = field(default_factory=dict)  # property number -> value
    raw_properties: Optional[bytes] = None
    version: Optional[int] = None


@dataclass
class Unit:
    name_text: str
    type_name: str
    type_ref: int
    place: Place
    common: Common = field(default_factory=Common)
    parent: Optional[str] = None
    page: object = None                     # page index or page caption (str)


@dataclass
class MenuItem:
    name_text: str
    place: Place
    id: Optional[int] = None
    name: bytes = b""
    remark: bytes = b""
    caption: bytes = b""
    level: int = 0
    shortcut: int = 0
    hidden: bool = False
    disabled: bool = False
    checked: bool = False
    handler: Optional[str] = None
    linked: int = 0


@dataclass
class Window:
    place: Place
    id: Optional[int] = None
    entry_id: Optional[int] = None
    value_a: int = 0
    value_b: int = 0
    text1: bytes = b""
    text2: bytes = b""
    common: Common = field(default_factory=Common)
    entries: List[object] = field(default_factory=list)   # Unit or MenuItem, in description order


@dataclass
class Description:
    path: str
    windows: List[Window] = field(default_factory=list)
    routines: List[str] = field(default_factory=list)     # from `routines` lines, in order
    files: List[str] = field(default_factory=list)        # every file the description reads


def parse_common_key(key: str, values: List[Token], common: Common, place: Place, base_dir: str,
                     description: Description) -> bool:
    """Sets a key that every unit entry has; False when the key is not one of them."""
    if key == "id":
        common.id = parse_int(one_value(values, place, key), place, key) & 0xFFFFFFFF
    elif key in ("left", "top", "width", "height"):
        setattr(common, key, parse_int(one_value(values, place, key), place, key))
    elif key == "geometry":
        if len(values) != 4:
            raise place.error("geometry: left, top, width and height are needed")
        common.left, common.top, common.width, common.height = (parse_int(v, place, key) for v in values)
    elif key == "visible":
        common.visible = parse_bool(values, place, key)
    elif key == "hidden":
        common.visible = not parse_bool(values, place, key)
    elif key == "disabled":
        common.disabled = parse_bool(values, place, key)
    elif key == "tabstop":
        common.tabstop = parse_bool(values, place, key)
    elif key in ("tag", "remark"):
        setattr(common, key, one_value(values, place, key).text)
    elif key == "cursor":
        common.cursor = parse_cursor(values, place, base_dir, description)
    elif key == "linked":
        token = one_value(values, place, key)
        common.linked = token.string if token.quoted or not token.word[:1].isdigit() else parse_int(token, place, key)
    elif key == "event":
        if len(values) < 1:
            raise place.error("event: 'event N -> RoutineName' is needed")
        number = parse_int(values[0], place, "event number")
        if not -0x80000000 <= number <= 0x7FFFFFFF:
            raise place.error("event number out of range")
        if any(e == number for e, _ in common.events):
            raise place.error(f"event {number} is linked twice")
        common.events.append((number, parse_routine(values[1:], place, "event")))
    elif key == "properties":
        common.raw_properties = parse_bytes(values, place, key, base_dir, description)
    elif key == "version":
        common.version = parse_int(one_value(values, place, key), place, key)
    else:
        return False
    return True


def parse_property(key: str, values: List[Token], type_name: str, common: Common, place: Place, base_dir: str,
                   description: Description) -> None:
    layout = LAYOUTS.get(type_name)
    match = re.fullmatch(r"prop(\d+)", key)
    layout_field = None
    if layout is not None:
        for f in layout.fields:
            if (match and int(match.group(1)) == f.number) or key in f.names:
                layout_field = f
                break
    if layout_field is None:
        raise place.error(f"{type_name} has no property {key!r}")
    if layout_field.number in common.properties:
        raise place.error(f"property {key!r} is given twice")
    common.properties[layout_field.number] = (layout_field.kind.parse(values, place, key, base_dir, description), place)


def parse_menu_key(key: str, values: List[Token], item: MenuItem, place: Place) -> None:
    if key == "id":
        item.id = parse_int(one_value(values, place, key), place, key) & 0xFFFFFFFF
    elif key in ("caption", "remark"):
        setattr(item, key, one_value(values, place, key).text)
    elif key in ("level", "shortcut", "linked"):
        setattr(item, key, parse_int(one_value(values, place, key), place, key) & 0xFFFFFFFF)
    elif key in ("hidden", "disabled", "checked"):
        setattr(item, key, parse_bool(values, place, key))
    elif key == "event":
        if not values or parse_int(values[0], place, "event number") != 0:
            raise place.error("a menu item has only event 0")
        if item.handler is not None:
            raise place.error("event 0 is linked twice")
        item.handler = parse_routine(values[1:], place, "event")
    else:
        raise place.error(f"a menu item has no key {key!r}")


def parse_window_key(key: str, values: List[Token], window: Window, place: Place, base_dir: str,
                     description: Description) -> None:
    if key == "id":
        window.id = parse_int(one_value(values, place, key), place, key) & 0xFFFFFFFF
    elif key == "entry":
        window.entry_id = parse_int(one_value(values, place, key), place, key) & 0xFFFFFFFF
    elif key == "name":
        window.common.name = one_value(values, place, key).text
    elif key in ("value_a", "value_b"):
        setattr(window, key, parse_int(one_value(values, place, key), place, key) & 0xFFFFFFFF)
    elif key in ("text1", "text2"):
        setattr(window, key, one_value(values, place, key).text)
    elif not parse_common_key(key, values, window.common, place, base_dir, description):
        parse_property(key, values, "window", window.common, place, base_dir, description)


def parse_unit_key(key: str, values: List[Token], unit: Unit, place: Place, base_dir: str,
                   description: Description) -> None:
    if key == "parent":
        token = one_value(values, place, key)
        unit.parent = None if (not token.quoted and token.word == "window") else token.string
    elif key == "page":
        token = one_value(values, place, key)
        numeric = not token.quoted and re.fullmatch(r"-?(0x[0-9A-Fa-f]+|\d+)", token.word)
        unit.page = parse_int(token, place, key) if numeric else token.string
    elif not parse_common_key(key, values, unit.common, place, base_dir, description):
        parse_property(key, values, unit.type_name, unit.common, place, base_dir, description)


def parse_unit_type(token: Token, place: Place) -> Tuple[str, int]:
    """An English type name, or `L:T` with the library and type numbers."""
    if token.quoted:
        raise place.error("the unit type is a bare word")
    if token.word in LAYOUTS and token.word != "window":
        return token.word, LAYOUTS[token.word].type_ref
    m = re.fullmatch(r"(\d+):(\d+)", token.word)
    if m:
        library, number = int(m.group(1)), int(m.group(2))
        if library > 0xFFFE or number > 0xFFFE:
            raise place.error("library or type number too large")
        ref = type_reference(library, number)
        for name, layout in LAYOUTS.items():
            if layout.type_ref == ref and name != "window":
                return name, ref
        return token.word, ref
    raise place.error(f"unknown unit type {token.word!r}")


def parse_description(text: str, path: str) -> Description:
    description = Description(path)
    base_dir = os.path.dirname(os.path.abspath(path))
    window: Optional[Window] = None
    block = None
    for number, line in enumerate(text.splitlines(), 1):
        place = Place(path, number)
        tokens = tokenize(line, place)
        if not tokens:
            continue
        head, values = tokens[0], tokens[1:]
        if head.quoted:
            raise place.error("a line starts with a key")
        key = head.word
        if key == "routines":
            for token in values:
                if token.quoted or not IDENTIFIER.match(token.word):
                    raise place.error(f"{token.string!r} is not a routine name")
                if token.word in description.routines:
                    raise place.error(f"routine {token.word} is listed twice")
                description.routines.append(token.word)
        elif key == "window":
            if values:
                raise place.error("'window' stands alone; its keys follow on their own lines")
            window = Window(place)
            description.windows.append(window)
            block = window
        elif key in ("unit", "menu"):
            if window is None:
                raise place.error(f"'{key}' before any 'window'")
            if key == "unit":
                if len(values) != 2:
                    raise place.error("'unit NAME TYPE' is needed")
                type_name, type_ref = parse_unit_type(values[1], place)
                block = Unit(values[0].string, type_name, type_ref, place)
                block.common.name = values[0].text
            else:
                if len(values) != 1:
                    raise place.error("'menu NAME' is needed")
                block = MenuItem(values[0].string, place, name=values[0].text)
            window.entries.append(block)
        elif block is None:
            raise place.error(f"'{key}' before any 'window'")
        elif isinstance(block, Window):
            parse_window_key(key, values, block, place, base_dir, description)
        elif isinstance(block, Unit):
            parse_unit_key(key, values, block, place, base_dir, description)
        else:
            parse_menu_key(key, values, block, place)
    if not description.windows:
        raise DescriptionError(f"{path}: no window is described")
    return description


def load_description(path: str) -> Description:
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except (OSError, UnicodeDecodeError) as error:
        raise DescriptionError(f"{path}: cannot read the description: {error}")
    description = parse_description(text, path)
    description.files.insert(0, os.path.abspath(path))
    return description
