"""Writes described windows as the template data stream that the runtime reads.

The stream: the window table (counted bytes: N window ids, then N zero slots),
then one record per window: value A, value B, text 1, text 2 (counted texts),
the entry count M and the entry table as counted bytes (M ids, M offsets of
each entry's length word in the record area, then the record area, where each
entry is its u32 body length and its body). Entry 0 is the window's own unit,
the other entries follow in description order.
"""

import struct
from typing import Dict, List, Optional

from description import Description, MenuItem, Unit, Window
from property_layouts import LAYOUTS, PAGED_TYPES, counted, encode_block, u32
from values import DescriptionError

WINDOW_TYPE = 0x00010001
MENU_ITEM_TYPE = 0x00010003
NO_HANDLER = -1
UNIT_CLASS = 0x16000000
MENU_CLASS = 0x26000000
WINDOW_KIND = 0x52000001
ENTRY_KIND = 0x06000000
FIRST_SERIAL = 2

FLAG_VISIBLE, FLAG_DISABLED, FLAG_TABSTOP = 0x1, 0x2, 0x4
MENU_HIDDEN, MENU_DISABLED, MENU_CHECKED = 0x1, 0x2, 0x4


def i32(value: int) -> bytes:
    return struct.pack("<I", value & 0xFFFFFFFF)


def zero_terminated(text: bytes, place, what: str) -> bytes:
    if b"\0" in text:
        raise place.error(f"{what} holds a 0 byte, which would end it early")
    return text + b"\0"


def routine_table(description: Description) -> List[str]:
    """`routines` lines first, then every other linked routine in order of first use."""
    table = list(description.routines)
    def use(name: Optional[str]):
        if name is not None and name not in table:
            table.append(name)
    for window in description.windows:
        for _, name in window.common.events:
            use(name)
        for entry in window.entries:
            if isinstance(entry, Unit):
                for _, name in entry.common.events:
                    use(name)
            else:
                use(entry.handler)
    return table


class WindowWriter:
    def __init__(self, window: Window, number: int, routines: Dict[str, int], pointer_size: int):
        self.window = window
        self.number = number
        self.routines = routines
        self.pointer_size = pointer_size
        self.units: Dict[str, Unit] = {}
        self.ids: Dict[int, int] = {}          # entry index -> id

    def handler(self, routine: Optional[str], place) -> int:
        if routine is None:
            return NO_HANDLER
        offset = self.routines[routine] * self.pointer_size
        if offset > 0x7FFFFFFF:
            raise place.error("the routine table is too large for 32-bit handler offsets")
        return offset

    def assign_ids(self):
        window = self.window
        if window.id is None:
            if self.number > 0xFF:
                raise window.place.error("give windows after the 255th an explicit id")
            window.id = WINDOW_KIND | (self.number << 16)
        if window.entry_id is None:
            window.entry_id = ENTRY_KIND | (self.number << 16) if self.number <= 0xFF else ENTRY_KIND | 1
        taken = {window.entry_id}
        for entry in window.entries:
            explicit = entry.common.id if isinstance(entry, Unit) else entry.id
            if explicit is not None:
                if explicit in taken:
                    raise entry.place.error(f"id {explicit:#010x} is used twice")
                taken.add(explicit)
        serial = FIRST_SERIAL
        for entry in window.entries:
            is_unit = isinstance(entry, Unit)
            if (entry.common.id if is_unit else entry.id) is not None:
                continue
            while True:
                if serial > 0xFFFF or self.number > 0xFF:
                    raise entry.place.error("too many entries for generated ids; give ids explicitly")
                candidate = (UNIT_CLASS if is_unit else MENU_CLASS) | (self.number << 16) | serial
                serial += 1
                if candidate not in taken:
                    break
            taken.add(candidate)
            if is_unit:
                entry.common.id = candidate
            else:
                entry.id = candidate

    def check_names_and_menu_run(self):
        names = set()
        menu_runs = 0
        previous_is_menu = False
        for entry in self.window.entries:
            if entry.name_text in names:
                raise entry.place.error(f"the name {entry.name_text!r} is used twice in this window")
            names.add(entry.name_text)
            if isinstance(entry, Unit):
                self.units[entry.name_text] = entry
            is_menu = isinstance(entry, MenuItem)
            if is_menu and not previous_is_menu:
                menu_runs += 1
                if menu_runs > 1:
                    raise entry.place.error("the menu items of a window must follow each other")
            previous_is_menu = is_menu

    def parent_of(self, unit: Unit) -> Optional[Unit]:
        if unit.parent is None:
            return None
        parent = self.units.get(unit.parent)
        if parent is None:
            raise unit.place.error(f"no unit named {unit.parent!r} in this window")
        return parent

    def check_parents(self):
        for unit in self.units.values():
            seen = {unit.name_text}
            parent = self.parent_of(unit)
            while parent is not None:
                if parent.name_text in seen:
                    raise unit.place.error(f"{unit.name_text!r} is inside itself through its parents")
                seen.add(parent.name_text)
                parent = self.parent_of(parent)

    def page_of(self, unit: Unit, parent: Optional[Unit]) -> int:
        if unit.page is None:
            return 0
        if parent is None or parent.type_name not in PAGED_TYPES:
            raise unit.place.error("a page is given but the parent has no pages")
        pages = parent.common.properties.get(16)
        captions = [p.decode("gbk") for p in pages[0]] if pages else []
        if isinstance(unit.page, str):
            if unit.page not in captions:
                raise unit.place.error(f"{parent.name_text!r} has no page {unit.page!r}")
            return captions.index(unit.page)
        if not 0 <= unit.page < max(len(captions), 1):
            raise unit.place.error(f"{parent.name_text!r} has no page {unit.page}")
        return unit.page

    def child_list(self, owner: Optional[Unit]) -> List[int]:
        children = [u for u in self.window.entries if isinstance(u, Unit) and self.parent_of(u) is owner]
        if owner is None or owner.type_name not in PAGED_TYPES:
            return [u.common.id for u in children]
        pages = owner.common.properties.get(16)
        page_count = max(len(pages[0]) if pages else 0, 1)
        listed: List[int] = []
        for page in range(page_count):
            if page:
                listed.append(0)
            listed += [u.common.id for u in children if self.page_of(u, owner) == page]
        return listed

    def linked_id(self, unit: Unit) -> int:
        linked = unit.common.linked
        if isinstance(linked, str):
            target = self.units.get(linked)
            if target is None:
                raise unit.place.error(f"no unit named {linked!r} to link to")
            if target.type_ref != unit.type_ref:
                raise unit.place.error("a linked unit must be of the same type")
            return target.common.id
        return linked & 0xFFFFFFFF

    def window_linked_id(self) -> int:
        if isinstance(self.window.common.linked, str):
            raise self.window.place.error("a window links to another window's id, not to a unit name")
        return self.window.common.linked & 0xFFFFFFFF

    def unit_body(self, type_ref: int, common, parent_id: int, children: List[int], block: bytes, place,
                  linked: int) -> bytes:
        flags = ((FLAG_VISIBLE if common.visible else 0) | (FLAG_DISABLED if common.disabled else 0) |
                 (FLAG_TABSTOP if common.tabstop else 0))
        out = bytearray()
        out += u32(type_ref) + u32(linked) + bytes(16)
        out += zero_terminated(common.name, place, "the name") + zero_terminated(common.remark, place, "the remark")
        out += u32(0)
        out += i32(common.left) + i32(common.top) + i32(common.width) + i32(common.height)
        out += u32(0) + u32(parent_id)
        out += u32(len(children)) + b"".join(u32(c) for c in children)
        out += counted(common.cursor)
        out += zero_terminated(common.tag, place, "the tag")
        out += u32(0) + u32(flags) + u32(0)
        out += u32(len(common.events))
        for event, routine in common.events:
            out += i32(event) + i32(self.handler(routine, place))
        out += bytes(20)
        out += block
        return bytes(out)

    def menu_body(self, item: MenuItem) -> bytes:
        flags = ((MENU_HIDDEN if item.hidden else 0) | (MENU_DISABLED if item.disabled else 0) |
                 (MENU_CHECKED if item.checked else 0))
        place = item.place
        return (u32(MENU_ITEM_TYPE) + u32(item.linked) + bytes(16) +
                zero_terminated(item.name, place, "the name") + zero_terminated(item.remark, place, "the remark") +
                u32(item.shortcut) + u32(item.level) + u32(flags) +
                zero_terminated(item.caption, place, "the caption") +
                i32(self.handler(item.handler, place)) + bytes(16))

    def block_of(self, type_name: str, common, place) -> bytes:
        if common.raw_properties is not None:
            if common.properties or common.version is not None:
                raise place.error("'properties' replaces the whole block: give no other type property")
            return common.raw_properties
        layout = LAYOUTS.get(type_name)
        if layout is None:
            if common.version is not None:
                raise place.error("a type without a known layout takes only 'properties'")
            return b""
        return encode_block(layout, {n: v for n, (v, _) in common.properties.items()}, common.version, place)

    def record(self) -> bytes:
        self.assign_ids()
        self.check_names_and_menu_run()
        self.check_parents()
        window = self.window
        ids = [window.entry_id]
        bodies = [self.unit_body(WINDOW_TYPE, window.common, 0, self.child_list(None),
                                 self.block_of("window", window.common, window.place), window.place,
                                 self.window_linked_id())]
        for entry in window.entries:
            if isinstance(entry, Unit):
                parent = self.parent_of(entry)
                self.page_of(entry, parent)
                ids.append(entry.common.id)
                bodies.append(self.unit_body(entry.type_ref, entry.common, parent.common.id if parent else 0,
                                             self.child_list(entry),
                                             self.block_of(entry.type_name, entry.common, entry.place),
                                             entry.place, self.linked_id(entry)))
            else:
                ids.append(entry.id)
                bodies.append(self.menu_body(entry))
        offsets, area = [], bytearray()
        for body in bodies:
            offsets.append(len(area))
            area += u32(len(body)) + body
        table = b"".join(u32(i) for i in ids) + b"".join(u32(o) for o in offsets) + bytes(area)
        return (u32(window.value_a) + u32(window.value_b) + counted(window.text1) + counted(window.text2) +
                u32(len(ids)) + counted(table))


def build_stream(description: Description, pointer_size: int):
    """The template data and the routine table (names in slot order)."""
    if pointer_size not in (4, 8):
        raise DescriptionError("the pointer size is 4 or 8")
    routines = routine_table(description)
    slots = {name: index for index, name in enumerate(routines)}
    records = []
    for number, window in enumerate(description.windows, 1):
        records.append(WindowWriter(window, number, slots, pointer_size).record())
    window_ids = [w.id for w in description.windows]
    if len(set(window_ids)) != len(window_ids):
        raise DescriptionError(f"{description.path}: two windows have the same id")
    table = b"".join(u32(i) for i in window_ids) + bytes(4 * len(window_ids))
    return counted(table) + b"".join(records), routines
