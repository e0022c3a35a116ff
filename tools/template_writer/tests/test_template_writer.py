"""The writer's output compared with template data built by hand, field by field."""

import os
import re
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import template_writer  # noqa: E402
from description import parse_description  # noqa: E402
from stream import build_stream  # noqa: E402
from values import DescriptionError  # noqa: E402

DEFAULT = 0xFF000000


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def counted(b):
    return u32(len(b)) + b


def gbk(s):
    return s.encode("gbk")


def unit_body(type_ref, name=b"", geometry=(0, 0, 0, 0), parent=0, children=(), cursor=b"\0\0\0\0", tag=b"",
              flags=1, events=(), block=b"", remark=b"", linked=0):
    return (struct.pack("<II16x", type_ref, linked) + name + b"\0" + remark + b"\0" + u32(0) +
            struct.pack("<4i", *geometry) + u32(0) + u32(parent) +
            u32(len(children)) + b"".join(u32(c) for c in children) + counted(cursor) + tag + b"\0" +
            struct.pack("<III", 0, flags, 0) + u32(len(events)) +
            b"".join(struct.pack("<ii", e, h) for e, h in events) + bytes(20) + block)


def menu_body(name, caption, level=0, shortcut=0, flags=0, handler=-1):
    return (struct.pack("<II16x", 0x00010003, 0) + name + b"\0" + b"\0" + struct.pack("<III", shortcut, level, flags) +
            caption + b"\0" + struct.pack("<i", handler) + bytes(16))


def record(entries, value_a=0, value_b=0):
    """entries: (id, body) in table order, bodies laid out one after another."""
    offsets, area, at = [], b"", 0
    for _, body in entries:
        offsets.append(at)
        area += counted(body)
        at += 4 + len(body)
    table = b"".join(u32(i) for i, _ in entries) + b"".join(u32(o) for o in offsets) + area
    return u32(value_a) + u32(value_b) + counted(b"") + counted(b"") + u32(len(entries)) + counted(table)


def template(windows):
    """windows: (window id, record)."""
    table = b"".join(u32(i) for i, _ in windows) + bytes(4 * len(windows))
    return counted(table) + b"".join(r for _, r in windows)


def window_block(caption=b"", border=0, icon=b""):
    # 13 words, then one each of versions 2, 3 (two), 4 and 5, then the texts and byte sets.
    words = [border, DEFAULT, 0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0] + [0] + [0, 0] + [0] + [0]
    return (u32(6) + b"".join(u32(w) for w in words) + counted(b"") + counted(b"") + counted(icon) +
            counted(b"") + counted(caption) + counted(b""))


WINDOW, OWN = 0x52010001, 0x06010000
WINDOW_TYPE = 0x00010001


def unit_id(serial):
    return 0x16010000 | serial


def write(text, pointer_size=8, path="test.window"):
    return build_stream(parse_description(text, path), pointer_size)


class TemplateStream(unittest.TestCase):
    def assert_bytes(self, got, expected):
        if got != expected:
            at = next((i for i, (a, b) in enumerate(zip(got, expected)) if a != b), min(len(got), len(expected)))
            self.fail(f"first difference at byte {at} (got {len(got)} bytes, expected {len(expected)}):\n"
                      f"got      {got[max(0, at - 8):at + 16].hex(' ')}\n"
                      f"expected {expected[max(0, at - 8):at + 16].hex(' ')}")

    def test_a_window_without_units_with_a_gbk_caption(self):
        data, routines = write('window\n  geometry 1 2 3 4\n  caption "下载器 1.2"\n  tag "主"\n')
        body = unit_body(WINDOW_TYPE, geometry=(1, 2, 3, 4), tag=gbk("主"), block=window_block(gbk("下载器 1.2")))
        self.assert_bytes(data, template([(WINDOW, record([(OWN, body)]))]))
        self.assertEqual(routines, [])

    def test_escapes_comments_and_unquoted_texts(self):
        data, _ = write('window  # the window\n  tag "q\\"b\\\\s\\x41 # kept"\n  remark 备注\n')
        body = unit_body(WINDOW_TYPE, tag=b'q"b\\sA # kept', remark=gbk("备注"), block=window_block())
        self.assert_bytes(data, template([(WINDOW, record([(OWN, body)]))]))

    def test_tab_children_are_listed_by_page_with_zero_separators(self):
        data, _ = write("""
window
  unit tab Tab
    pages "下载" "设置"
  unit a Button
    parent tab
  unit b Button
    parent tab
    page 设置
    hidden
  unit c Button
    parent tab
    page 0
    disabled
    tabstop
""")
        tab_block = (u32(3) + u32(0) + u32(0) + u32(0) + u32(0) + u32(0) + u32(DEFAULT) + counted(b"") +
                     struct.pack("<H", 2) + counted(gbk("下载")) + counted(gbk("设置")))
        button_block = u32(1) + u32(0) + u32(0) + u32(0) + counted(b"") + counted(b"") + counted(b"")
        tab, a, b, c = unit_id(2), unit_id(3), unit_id(4), unit_id(5)
        expected = template([(WINDOW, record([
            (OWN, unit_body(WINDOW_TYPE, children=[tab], block=window_block())),
            (tab, unit_body(0x00010015, b"tab", children=[a, c, 0, b], block=tab_block)),
            (a, unit_body(0x0001000B, b"a", parent=tab, block=button_block)),
            (b, unit_body(0x0001000B, b"b", parent=tab, flags=0, block=button_block)),
            (c, unit_body(0x0001000B, b"c", parent=tab, flags=7, block=button_block)),
        ]))])
        self.assert_bytes(data, expected)

    def test_handlers_are_routine_slot_offsets_for_the_pointer_size(self):
        text = """
routines First
window
  event 0 -> Second
  event 3 -> none
  unit t Timer
    event 0 -> First
    event -7 -> Third
  menu m
    caption "文件"
    level 1
    shortcut 4
    checked
    disabled
    event 0 -> Second
"""
        for size in (4, 8):
            data, routines = write(text, size)
            self.assertEqual(routines, ["First", "Second", "Third"])
            expected = template([(WINDOW, record([
                (OWN, unit_body(WINDOW_TYPE, children=[unit_id(2)], events=[(0, size), (3, -1)],
                                block=window_block())),
                (unit_id(2), unit_body(0x00010020, b"t", events=[(0, 0), (-7, 2 * size)])),
                (0x26010003, menu_body(b"m", gbk("文件"), level=1, shortcut=4, flags=0x6, handler=size)),
            ]))])
            with self.subTest(pointer_size=size):
                self.assert_bytes(data, expected)

    def test_explicit_ids_values_and_several_windows(self):
        data, _ = write("""
window
  value_a 7
  value_b 8
window
  id 0x52000077
  entry 0x06000077
  unit x ZIP
    id 0x16000100
    cursor 3
    remark "r"
    linked 0x16000101
""")
        first = record([(OWN, unit_body(WINDOW_TYPE, block=window_block()))], 7, 8)
        second = record([(0x06000077, unit_body(WINDOW_TYPE, children=[0x16000100], block=window_block())),
                         (0x16000100, unit_body(0x00070001, b"x", cursor=u32(3), remark=b"r", linked=0x16000101))])
        self.assert_bytes(data, template([(WINDOW, first), (0x52000077, second)]))

    def test_second_window_ids_default_to_its_own_number(self):
        data, _ = write("window\nwindow\n  unit x Timer\n")
        second = record([(0x06020000, unit_body(WINDOW_TYPE, children=[0x16020002], block=window_block())),
                         (0x16020002, unit_body(0x00010020, b"x"))])
        first = record([(OWN, unit_body(WINDOW_TYPE, block=window_block()))])
        self.assert_bytes(data, template([(WINDOW, first), (0x52020001, second)]))


class PropertyBlocks(unittest.TestCase):
    """Each type's block, given properties and defaults, as the unit types read it."""

    def block_of(self, type_line, keys, files=None):
        with tempfile.TemporaryDirectory() as folder:
            for name, content in (files or {}).items():
                with open(os.path.join(folder, name), "wb") as f:
                    f.write(content)
            text = "window\n  unit u " + type_line + "\n" + "".join(f"    {k}\n" for k in keys)
            path = os.path.join(folder, "d.window")
            data, _ = write(text, 8, path)
        return data

    def check(self, type_line, keys, type_ref, block, files=None):
        data = self.block_of(type_line, keys, files)
        body = unit_body(type_ref, b"u", block=block)
        expected = template([(WINDOW, record([
            (OWN, unit_body(WINDOW_TYPE, children=[unit_id(2)], block=window_block())),
            (unit_id(2), body)]))])
        if data != expected:
            self.fail(f"{type_line} {keys}:\ngot block      {data[-len(block) - 8:].hex(' ')}\n"
                      f"expected block {expected[-len(block) - 8:].hex(' ')}")

    def test_edit_box(self):
        font = (struct.pack("<5i", -12, 0, 0, 0, 700) + bytes([1, 0, 0, 134, 0, 0, 0, 0]) +
                gbk("宋体").ljust(32, b"\0"))
        block = (u32(2) + u32(1) + u32(0xFF) + u32(DEFAULT) + u32(0) + u32(10) + u32(1) + u32(3) + u32(0) + u32(2) +
                 struct.pack("<H", ord("#")) + u32(0) * 4 + u32(0xFFFFFFFF) + u32(0) +
                 counted(font) + counted(gbk("D:\\Mirserver")) + counted(b"") + counted(b""))
        self.check("EditBox", ['content "D:\\\\Mirserver"', "border 1", "text_colour rgb 255 0 0", "max_length 10",
                               "multiline", "scroll_bars 3", "input_mode 2", 'password_char "#"',
                               "selection_start -1", 'font "宋体" 9 bold italic'], 0x00010005, block)

    def test_group_box_label_button(self):
        self.check("GroupBox", ['caption "霁川下载"', "h_align centre"], 0x00010009,
                   u32(1) + u32(1) + u32(0) + u32(DEFAULT) + counted(b"") + counted(gbk("霁川下载")))
        label = (u32(2) + u32(0) + u32(0) + u32(5) + u32(DEFAULT) * 3 + u32(0x00FF00) + u32(DEFAULT) + u32(0) +
                 u32(0) + u32(DEFAULT) * 3 + u32(2) + u32(1) + u32(0) +
                 counted(b"") + counted(b"") + counted(gbk("最新版")) + counted(b"") + counted(b""))
        self.check("Label", ['caption "最新版"', "text_colour 0x00FF00", "h_align right", "word_wrap"],
                   0x0001000A, label)
        self.check("Button", ['caption "下载"', "default_button 1"], 0x0001000B,
                   u32(1) + u32(1) + u32(0) + u32(0) + counted(b"") + counted(b"") + counted(gbk("下载")))

    def test_check_box_and_radio_box(self):
        common = u32(0) * 6 + u32(DEFAULT) + u32(1) + counted(b"") + counted(b"") + counted(gbk("免费版"))
        self.check("CheckBox", ['caption "免费版"', "checked"], 0x0001000C,
                   u32(2) + common + counted(b"") + counted(b""))
        self.check("RadioBox", ['caption "免费版"', "checked yes"], 0x0001000D, u32(1) + common)

    def test_progress_bar_and_timer_are_empty_unless_given(self):
        self.check("ProcessBar", [], 0x00010013, b"")
        self.check("ProcessBar", ["position 5"], 0x00010013,
                   u32(1) + u32(0) + u32(0) + u32(0) + u32(0) + u32(100) + u32(5))
        self.check("Timer", [], 0x00010020, b"")
        self.check("Timer", ["interval 0"], 0x00010020, u32(1) + u32(0))

    def test_transparent_label_zip_and_raw_blocks(self):
        self.check("TransLabel", ["text_colour 0xFF", "word_wrap", "v_align top"], 0x00030005,
                   u32(1) + u32(0) + u32(0xFF) + u32(0) + u32(0) + u32(1) + counted(b"") + counted(b""))
        self.check("TransLabel", [], 0x00030005,
                   u32(1) + u32(0) + u32(0) + u32(0) + u32(1) + u32(0) + counted(b"") + counted(b""))
        self.check("ZIP", [], 0x00070001, b"")
        self.check("3:7", ["properties hex 01 0203"], 0x00040008, b"\x01\x02\x03")

    def test_window_icon_and_older_format_versions(self):
        icon = b"\0\0\1\0icon-bytes"
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "a.ico"), "wb") as f:
                f.write(icon)
            path = os.path.join(folder, "d.window")
            got, _ = write('window\n  icon a.ico\n  border 2\n  caption "x"\n', 8, path)
            old, _ = write("window\n  version 1\n", 8, path)
            tab, _ = write('window\n  unit t Tab\n    version 1\n    pages "p"\n', 8, path)
        self.assertEqual(got, template([(WINDOW, record([
            (OWN, unit_body(WINDOW_TYPE, block=window_block(b"x", 2, icon)))]))]))
        version_1 = (u32(1) + b"".join(u32(w) for w in [0, DEFAULT, 0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0]) +
                     counted(b"") * 5)
        self.assertEqual(old, template([(WINDOW, record([(OWN, unit_body(WINDOW_TYPE, block=version_1))]))]))
        tab_v1 = u32(1) + u32(0) * 3 + counted(b"") + struct.pack("<H", 1) + counted(b"p")
        self.assertTrue(tab.endswith(tab_v1), tab[-len(tab_v1):].hex(" "))


class Mistakes(unittest.TestCase):
    def test_descriptions_that_cannot_be_written_name_the_line_and_the_fault(self):
        cases = [
            ("unit a Button\n", "before any 'window'"),
            ("window\n  unit a Button\n  unit a Label\n", "used twice"),
            ("window\n  unit a Button\n    parent nowhere\n", "no unit named 'nowhere'"),
            ("window\n  unit a Button\n    parent b\n  unit b Button\n    parent a\n", "inside itself"),
            ("window\n  unit g GroupBox\n  unit a Button\n    parent g\n    page 1\n", "has no pages"),
            ('window\n  unit t Tab\n    pages "x"\n  unit a Button\n    parent t\n    page 1\n', "has no page 1"),
            ('window\n  unit t Tab\n    pages "x"\n  unit a Button\n    parent t\n    page "y"\n', "has no page 'y'"),
            ("window\n  unit a Button\n    colour 3\n", "no property 'colour'"),
            ("window\n  unit a Button\n    event 0 -> 9lives\n", "not a routine name"),
            ("window\n  unit a Button\n    event 0 -> A\n    event 0 -> B\n", "linked twice"),
            ("window\n  unit a Frobnicator\n", "unknown unit type"),
            ('window\n  caption "€"\n', "no GBK form"),
            ('window\n  tag "a\\0b"\n', "0 byte"),
            ("window\n  menu m\n  unit a Button\n  menu n\n", "follow each other"),
            ("window\n  unit a Button\n    id 0x16010005\n  unit b Button\n    id 0x16010005\n", "used twice"),
            ("window\n  unit z ZIP\n    caption \"x\"\n", "no property 'caption'"),
            ("window\n  unit t Timer\n    interval ten\n", "not a number"),
            ("window\n  unit a Label\n    caption \"x\n", "closing quote"),
            ("window\n  icon missing.ico\n", "cannot read missing.ico"),
            ("window\n  version 1\n  always_on_top\n", "not stored in format version 1"),
            ("", "no window"),
        ]
        for text, expected in cases:
            with self.subTest(text=text):
                with self.assertRaises(DescriptionError) as caught:
                    write(text)
                self.assertIn(expected, str(caught.exception))
                if text:
                    self.assertRegex(str(caught.exception), r"^test\.window(:\d+)?: ")


class GeneratedFiles(unittest.TestCase):
    def test_source_header_routines_and_depfile(self):
        with tempfile.TemporaryDirectory() as folder:
            description = os.path.join(folder, "main.window")
            with open(description, "w", encoding="utf-8") as f:
                f.write('window\n  caption "主"\n  event 0 -> OnMainWindowCreated\n'
                        '  unit b Button\n    event 0 -> CheckForUpdates\n')
            out = os.path.join(folder, "out")
            status = template_writer.main([description, "--output-dir", out, "--symbol", "kMainWindow",
                                           "--namespace", "updater::templates", "--pointer-size", "4",
                                           "--depfile", os.path.join(out, "main.d")])
            self.assertEqual(status, 0)
            with open(os.path.join(out, "kMainWindow.cpp")) as f:
                source = f.read()
            with open(os.path.join(out, "kMainWindow.h")) as f:
                header = f.read()
            with open(os.path.join(out, "kMainWindow_routines.inc")) as f:
                routines = f.read()
            with open(os.path.join(out, "main.d")) as f:
                depfile = f.read()
            with open(description, encoding="utf-8") as f:
                expected, _ = build_stream(parse_description(f.read(), description), 4)

        body = source[source.index("{") + 1:source.index("};")]
        self.assertEqual(bytes(int(b, 16) for b in re.findall(r"0x([0-9a-f]{2})", body)), expected)
        self.assertIn(f"extern const uint32_t kMainWindowSize = {len(expected)};", source)
        self.assertIn("namespace updater::templates {", source)
        self.assertIn("extern const uint8_t kMainWindow[];", header)
        self.assertIn("extern const uint32_t kMainWindowSize;", header)
        self.assertEqual(re.findall(r"^UPDATER_ROUTINE\((\w+)\)$", routines, re.M),
                         ["OnMainWindowCreated", "CheckForUpdates"])
        self.assertTrue(depfile.startswith(os.path.join(out, "kMainWindow.cpp") + ":"))
        self.assertIn("main.window", depfile)

    def test_a_faulty_description_fails_the_build_step(self):
        with tempfile.TemporaryDirectory() as folder:
            description = os.path.join(folder, "bad.window")
            with open(description, "w", encoding="utf-8") as f:
                f.write("window\n  unit a Nothing\n")
            out = os.path.join(folder, "out")
            stderr = sys.stderr
            try:
                sys.stderr = open(os.devnull, "w")
                status = template_writer.main([description, "--output-dir", out, "--symbol", "kX"])
            finally:
                sys.stderr.close()
                sys.stderr = stderr
            self.assertEqual(status, 1)
            self.assertFalse(os.path.exists(os.path.join(out, "kX.cpp")))


class ReadmeExample(unittest.TestCase):
    def test_the_example_of_the_readme_is_a_valid_description(self):
        readme = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "README.md")
        with open(readme, encoding="utf-8") as f:
            text = f.read()
        example = text[text.index("## Example"):]
        example = example[example.index("```\n") + 4:]
        example = example[:example.index("```")]
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "main.ico"), "wb") as f:
                f.write(b"\0\0\1\0")
            data, routines = write(example, 4, os.path.join(folder, "example.window"))
        self.assertEqual(routines, ["OnMainWindowCreated", "CheckForUpdates", "OnCheckTimer"])
        self.assertIn(gbk("编辑框_霁川目录") + b"\0", data)
        self.assertIn(counted(gbk("D:\\Mirserver")), data)


if __name__ == "__main__":
    unittest.main()
