// Reading the template data into the registry.
//
// The data is one stream: a window table (counted bytes, 8 bytes per window:
// the ids, then as many ignored slots), then one record per window in table
// order. A window record is two words, two counted texts, the entry count M
// and the entry table as counted bytes. The entry table holds M ids, M
// offsets and the record area; each offset points at an entry's length word
// in the record area, and the body that follows is either a unit body (the
// window's own entry has the same form) or a menu item body, told apart by the
// entry's id. Every length and count is checked against what remains of the
// stretch it lies in before it is used, so a stream cut anywhere, or one whose
// lengths lie, fails instead of reading past its end.

#include <new>

#include "units/template/byte_cursor.h"
#include "units/template/template_registry.h"

namespace units {
namespace {

constexpr int32_t kNoHandler = -1;
constexpr size_t kEntryReservedWords = 4;
constexpr size_t kUnitTailReserved = 20;
constexpr size_t kMenuHandleBytes = 16;

uintptr_t relocate(int32_t stored, uintptr_t code_base) {
  return stored == kNoHandler ? 0 : code_base + static_cast<uint32_t>(stored);
}

// Reads the fields of one stretch of the stream and records the first failure
// with its place in the whole stream and the name of the field.
class FieldReader {
 public:
  FieldReader(const uint8_t* data, size_t size, size_t base, TemplateReadError& error)
      : m_cursor(data, size), m_base(base), m_error(error) {}

  bool u32(uint32_t& out, const char* field) { return m_cursor.u32(out) || fail(field); }
  bool i32(int32_t& out, const char* field) { return m_cursor.i32(out) || fail(field); }
  bool skip(size_t count, const char* field) { return m_cursor.skip(count) || fail(field); }
  bool zero_terminated(std::string& out, const char* field) { return m_cursor.zero_terminated(out) || fail(field); }
  template <class Container>
  bool counted(Container& out, const char* field) {
    return m_cursor.counted(out) || fail(field);
  }

  // A u32 count, then that many u32 words.
  bool word_list(std::vector<uint32_t>& out, const char* field) {
    uint32_t count = 0;
    if (!u32(count, field)) return false;
    if (count > m_cursor.remaining() / 4) return fail(field);
    out.resize(count);
    for (uint32_t& word : out) m_cursor.u32(word);
    return true;
  }

  // A length that the caller takes as a sub-stretch starting here.
  bool stretch(uint32_t length, const char* field) { return length <= m_cursor.remaining() || fail(field); }

  bool fail(const char* what) {
    m_error = {m_base + m_cursor.position(), what};
    return false;
  }

  size_t remaining() const { return m_cursor.remaining(); }
  size_t position() const { return m_base + m_cursor.position(); }
  const uint8_t* here() const { return m_cursor.here(); }

 private:
  ByteCursor m_cursor;
  size_t m_base;
  TemplateReadError& m_error;
};

bool read_event_links(FieldReader& in, std::vector<EventLink>& links, uintptr_t code_base) {
  uint32_t count = 0;
  if (!in.u32(count, "event link count")) return false;
  if (count > in.remaining() / 8) return in.fail("event links longer than the entry");
  links.resize(count);
  for (EventLink& link : links) {
    int32_t handler = 0;
    in.i32(link.event, "event number");
    in.i32(handler, "event handler");
    link.handler = relocate(handler, code_base);
  }
  return true;
}

bool read_unit_body(FieldReader& in, UnitEntry& entry, uintptr_t code_base) {
  if (!(in.u32(entry.linked, "linked unit") && in.skip(kEntryReservedWords * 4, "reserved words") &&
        in.zero_terminated(entry.name, "unit name") && in.zero_terminated(entry.remark, "unit remark") &&
        in.skip(4, "object slot") && in.i32(entry.left, "left") && in.i32(entry.top, "top") &&
        in.i32(entry.width, "width") && in.i32(entry.height, "height") && in.skip(4, "cursor slot") &&
        in.u32(entry.parent, "parent") && in.word_list(entry.children, "child list") &&
        in.counted(entry.cursor_data, "cursor data") && in.zero_terminated(entry.tag, "tag") &&
        in.skip(4, "reserved word") && in.u32(entry.flags, "common flags") && in.skip(4, "reserved word") &&
        read_event_links(in, entry.events, code_base) && in.skip(kUnitTailReserved, "reserved bytes")))
    return false;
  // The property block is the rest of the body, handed whole to the unit type.
  entry.properties.assign(in.here(), in.here() + in.remaining());
  return true;
}

bool read_menu_body(FieldReader& in, UnitEntry& entry, uintptr_t code_base) {
  int32_t handler = 0;
  if (!(in.u32(entry.linked, "linked unit") && in.skip(kEntryReservedWords * 4, "reserved words") &&
        in.zero_terminated(entry.name, "menu item name") && in.zero_terminated(entry.remark, "menu item remark") &&
        in.u32(entry.shortcut, "shortcut key") && in.u32(entry.level, "menu level") &&
        in.u32(entry.menu_flags, "menu flags") && in.zero_terminated(entry.caption, "menu caption") &&
        in.i32(handler, "menu handler") && in.skip(kMenuHandleBytes, "menu handles")))
    return false;
  entry.menu_handler = relocate(handler, code_base);
  return true;
}

bool read_entry_body(FieldReader& in, UnitEntry& entry, uintptr_t code_base) {
  if (!in.u32(entry.type, "type reference")) return false;
  // The id says what the entry is; a type that says otherwise would have the
  // loader treat a menu body as a unit or the other way round.
  if (is_menu_item_id(entry.id) != entry.is_menu_item()) return in.fail("entry id and type reference disagree");
  return entry.is_menu_item() ? read_menu_body(in, entry, code_base) : read_unit_body(in, entry, code_base);
}

bool read_entry_table(FieldReader& in, WindowTemplate& window, uint32_t count, uintptr_t code_base,
                      TemplateReadError& error) {
  uint32_t length = 0;
  if (!in.u32(length, "entry table length") || !in.stretch(length, "entry table longer than the data")) return false;
  FieldReader table(in.here(), length, in.position(), error);
  if (count > length / 8) return table.fail("entry table shorter than its ids and offsets");

  std::vector<uint32_t> offsets(count);
  window.entries.resize(count);
  for (UnitEntry& entry : window.entries) table.u32(entry.id, "entry id");
  for (uint32_t& offset : offsets) table.u32(offset, "entry offset");

  const uint8_t* area = table.here();
  const size_t area_size = table.remaining();
  const size_t area_base = table.position();
  for (uint32_t i = 0; i < count; ++i) {
    FieldReader at(area, area_size, area_base, error);
    uint32_t body_length = 0;
    if (!at.skip(offsets[i], "entry offset outside the record area") || !at.u32(body_length, "entry length") ||
        !at.stretch(body_length, "entry longer than the record area"))
      return false;
    FieldReader body(at.here(), body_length, at.position(), error);
    if (!read_entry_body(body, window.entries[i], code_base)) return false;
  }
  return in.skip(length, "entry table");
}

bool read_window(FieldReader& in, WindowTemplate& window, uintptr_t code_base, TemplateReadError& error) {
  uint32_t count = 0;
  if (!(in.u32(window.value_a, "window value A") && in.u32(window.value_b, "window value B") &&
        in.counted(window.text1, "window text 1") && in.counted(window.text2, "window text 2") &&
        in.u32(count, "entry count")))
    return false;
  // Entry 0 is the window's own unit; a window without it cannot be loaded.
  if (count == 0) return in.fail("window without entries");
  return read_entry_table(in, window, count, code_base, error);
}

std::nullopt_t report(const TemplateReadError& failure, TemplateReadError* error) {
  if (error) *error = failure;
  return std::nullopt;
}

}  // namespace

std::optional<TemplateRegistry> TemplateRegistry::read(const uint8_t* data, uint32_t size, uintptr_t code_base,
                                                       TemplateReadError* error) {
  TemplateReadError failure{0, {}};
  try {
    FieldReader in(data, size, 0, failure);
    uint32_t table_length = 0;
    if (!in.u32(table_length, "window table length")) return report(failure, error);
    if (table_length % 8 != 0) return report({0, "window table length not a multiple of 8"}, error);
    if (!in.stretch(table_length, "window table longer than the data")) return report(failure, error);

    TemplateRegistry registry;
    const uint32_t window_count = table_length / 8;
    registry.m_windows.reserve(window_count);
    for (uint32_t i = 0; i < window_count; ++i) {
      auto window = std::make_unique<WindowTemplate>();
      in.u32(window->id, "window id");
      registry.m_windows.push_back(std::move(window));
    }
    in.skip(window_count * 4, "window slots");
    for (auto& window : registry.m_windows)
      if (!read_window(in, *window, code_base, failure)) return report(failure, error);
    return registry;
  } catch (const std::bad_alloc&) {
    failure.what = "memory exhausted";
    return report(failure, error);
  }
}

}  // namespace units
