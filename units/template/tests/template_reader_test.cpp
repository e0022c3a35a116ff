#include <gtest/gtest.h>

#include <functional>

#include "units/template/template_registry.h"
#include "units/template/tests/template_stream_builder.h"

namespace {

using template_test::Bytes;
using template_test::EntrySpec;
using template_test::MenuSpec;
using template_test::UnitSpec;
using units::TemplateReadError;
using units::TemplateRegistry;

constexpr uint32_t kWindowId = 0x52010001;
constexpr uint32_t kSecondWindowId = 0x52020001;
constexpr uint32_t kOwnEntry = 0x06010000;
constexpr uint32_t kButton = 0x16010002;
constexpr uint32_t kTab = 0x16010003;
constexpr uint32_t kOnPage1 = 0x16010004;
constexpr uint32_t kOnPage2 = 0x16010005;
constexpr uint32_t kMenu = 0x26010006;
constexpr uintptr_t kCodeBase = 0x400000;

UnitSpec window_unit() {
  UnitSpec w;
  w.id = kOwnEntry;
  w.type = 0x00010001;
  w.name = "";
  w.left = 50, w.top = 60, w.width = 681, w.height = 433;
  w.children = {kButton, kTab};
  w.events = {{0, 0}};
  w.properties = {6, 0, 0, 0};
  return w;
}

UnitSpec button_unit() {
  UnitSpec b;
  b.id = kButton;
  b.name = "按钮_检查更新";
  b.remark = "note";
  b.left = -5, b.top = 136, b.width = 56, b.height = 24;
  b.cursor = {0xFF, 0xFF, 0xFF, 0xFF, 'c', 'u', 'r'};
  b.tag = "tag text";
  b.flags = 0x7;
  b.linked = 0x16010099;
  b.events = {{0, 8}, {-8, -1}};
  b.properties = {1, 0, 0, 0, 9, 9};
  return b;
}

UnitSpec tab_unit() {
  UnitSpec t;
  t.id = kTab;
  t.type = 0x00010015;
  t.name = "tab";
  t.children = {kOnPage1, 0, kOnPage2};
  return t;
}

UnitSpec child_unit(uint32_t id) {
  UnitSpec c;
  c.id = id;
  c.name = "child" + std::to_string(id & 0xFF);
  c.parent = kTab;
  c.flags = 0;
  return c;
}

std::vector<uint8_t> valid_stream() {
  MenuSpec menu;
  menu.id = kMenu;
  menu.shortcut = 5, menu.level = 1, menu.flags = 0x6, menu.handler = 16;
  const auto first = template_test::window_record({{kOwnEntry, unit_body(window_unit())},
                                                   {kButton, unit_body(button_unit())},
                                                   {kTab, unit_body(tab_unit())},
                                                   {kOnPage1, unit_body(child_unit(kOnPage1))},
                                                   {kOnPage2, unit_body(child_unit(kOnPage2))},
                                                   {kMenu, menu_body(menu)}},
                                                  11, 22, "one", "two");
  UnitSpec lone = window_unit();
  lone.id = 0x06020000;
  lone.children = {};
  lone.events = {};
  const auto second = template_test::window_record({{0x06020000, unit_body(lone)}});
  return template_test::template_data({{kWindowId, first}, {kSecondWindowId, second}});
}

TEST(TemplateReader, reads_every_field_of_windows_units_and_menu_items) {
  const auto data = valid_stream();
  TemplateReadError error{};
  auto registry = TemplateRegistry::read(data.data(), static_cast<uint32_t>(data.size()), kCodeBase, &error);
  ASSERT_TRUE(registry) << error.what << " at " << error.offset;
  ASSERT_EQ(registry->size(), 2u);

  units::WindowTemplate* window = registry->find(kWindowId);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->value_a, 11u);
  EXPECT_EQ(window->value_b, 22u);
  EXPECT_EQ(window->text1, "one");
  EXPECT_EQ(window->text2, "two");
  ASSERT_EQ(window->entries.size(), 6u);

  const units::UnitEntry& own = window->entries[0];
  EXPECT_EQ(own.id, kOwnEntry);
  EXPECT_EQ(own.type, 0x00010001u);
  EXPECT_EQ(own.name, "");
  EXPECT_EQ(own.width, 681);
  EXPECT_EQ(own.children, (std::vector<uint32_t>{kButton, kTab}));
  EXPECT_EQ(own.properties, (std::vector<uint8_t>{6, 0, 0, 0}));

  const units::UnitEntry& button = window->entries[1];
  EXPECT_EQ(button.name, "按钮_检查更新");
  EXPECT_EQ(button.remark, "note");
  EXPECT_EQ(button.linked, 0x16010099u);
  EXPECT_EQ(button.left, -5);
  EXPECT_EQ(button.top, 136);
  EXPECT_EQ(button.height, 24);
  EXPECT_EQ(button.parent, 0u);
  EXPECT_TRUE(button.children.empty());
  EXPECT_EQ(button.cursor_data, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 'c', 'u', 'r'}));
  EXPECT_EQ(button.tag, "tag text");
  EXPECT_EQ(button.flags, units::kFlagVisible | units::kFlagDisabled | units::kFlagTabStop);
  ASSERT_EQ(button.events.size(), 2u);
  EXPECT_EQ(button.events[0].event, 0);
  EXPECT_EQ(button.events[0].handler, kCodeBase + 8);
  EXPECT_EQ(button.events[1].event, -8);
  EXPECT_EQ(button.events[1].handler, 0u);
  EXPECT_EQ(button.properties, (std::vector<uint8_t>{1, 0, 0, 0, 9, 9}));
  EXPECT_FALSE(button.is_menu_item());

  EXPECT_EQ(window->entries[2].children, (std::vector<uint32_t>{kOnPage1, 0, kOnPage2}));
  EXPECT_EQ(window->entries[3].parent, kTab);
  EXPECT_EQ(window->entries[3].flags, 0u);

  const units::UnitEntry& menu = window->entries[5];
  EXPECT_TRUE(menu.is_menu_item());
  EXPECT_EQ(menu.name, "menu");
  EXPECT_EQ(menu.shortcut, 5u);
  EXPECT_EQ(menu.level, 1u);
  EXPECT_EQ(menu.menu_flags, units::kMenuDisabled | units::kMenuChecked);
  EXPECT_EQ(menu.caption, "File");
  EXPECT_EQ(menu.menu_handler, kCodeBase + 16);

  units::WindowTemplate* second = registry->find(kSecondWindowId);
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(second->entries.size(), 1u);
  EXPECT_EQ(second->entries[0].id, 0x06020000u);
  EXPECT_EQ(registry->find(0x52030001), nullptr);
}

// Each prefix is copied into a block of exactly its size, so that a read past
// the end is caught by the address sanitizer, not only by the result.
TEST(TemplateReader, every_prefix_of_a_valid_stream_fails_cleanly) {
  const auto data = valid_stream();
  for (size_t length = 0; length < data.size(); ++length) {
    std::vector<uint8_t> prefix(data.begin(), data.begin() + length);
    TemplateReadError error{};
    auto registry = TemplateRegistry::read(prefix.empty() ? nullptr : prefix.data(), static_cast<uint32_t>(length),
                                           kCodeBase, &error);
    EXPECT_FALSE(registry) << "prefix of " << length << " of " << data.size() << " bytes was accepted";
    EXPECT_FALSE(error.what.empty()) << "prefix " << length;
    EXPECT_LE(error.offset, length) << "prefix " << length << ": " << error.what;
  }
}

TEST(TemplateReader, a_window_with_only_its_own_entry_and_an_empty_window_table_read) {
  UnitSpec lone = window_unit();
  lone.children = {};
  const auto data =
      template_test::template_data({{kWindowId, template_test::window_record({{kOwnEntry, unit_body(lone)}})}});
  auto registry = TemplateRegistry::read(data.data(), static_cast<uint32_t>(data.size()), 0);
  ASSERT_TRUE(registry);
  EXPECT_EQ(registry->find(kWindowId)->entries.size(), 1u);

  const auto empty = template_test::template_data({});
  auto none = TemplateRegistry::read(empty.data(), static_cast<uint32_t>(empty.size()), 0);
  ASSERT_TRUE(none);
  EXPECT_EQ(none->size(), 0u);
}

// Offsets say where each body lies; the bodies here are stored in reverse
// order with padding between them.
TEST(TemplateReader, entry_offsets_locate_the_bodies) {
  const auto own = unit_body(window_unit());
  const auto button = unit_body(button_unit());
  Bytes area;
  area.zeros(3).counted(button).zeros(5);
  const uint32_t own_offset = static_cast<uint32_t>(area.data().size());
  area.counted(own);
  Bytes table;
  table.u32(kOwnEntry).u32(kButton).u32(own_offset).u32(3).raw(area.data());
  Bytes record;
  record.u32(0).u32(0).counted("").counted("").u32(2).counted(table.data());
  const auto data = template_test::template_data({{kWindowId, record.data()}});

  auto registry = TemplateRegistry::read(data.data(), static_cast<uint32_t>(data.size()), 0);
  ASSERT_TRUE(registry);
  const auto& entries = registry->find(kWindowId)->entries;
  EXPECT_EQ(entries[0].type, 0x00010001u);
  EXPECT_EQ(entries[0].width, 681);
  EXPECT_EQ(entries[1].name, "按钮_检查更新");
  EXPECT_EQ(entries[1].tag, "tag text");
}

TEST(TemplateReader, handlers_are_relocated_against_the_code_base) {
  struct Case {
    int32_t stored;
    uintptr_t expected;
  };
  const Case cases[] = {
      {-1, 0}, {0, kCodeBase}, {8, kCodeBase + 8}, {0x7FFFFFFF, kCodeBase + 0x7FFFFFFFu}, {-2, kCodeBase + 0xFFFFFFFEu},
  };
  for (const Case& c : cases) {
    UnitSpec own = window_unit();
    own.children = {};
    own.events = {{3, c.stored}};
    MenuSpec menu;
    menu.id = kMenu;
    menu.handler = c.stored;
    const auto data = template_test::template_data(
        {{kWindowId, template_test::window_record({{kOwnEntry, unit_body(own)}, {kMenu, menu_body(menu)}})}});
    auto registry = TemplateRegistry::read(data.data(), static_cast<uint32_t>(data.size()), kCodeBase);
    ASSERT_TRUE(registry) << "stored " << c.stored;
    const auto& entries = registry->find(kWindowId)->entries;
    EXPECT_EQ(entries[0].events[0].handler, c.expected) << "event handler stored as " << c.stored;
    EXPECT_EQ(entries[1].menu_handler, c.expected) << "menu handler stored as " << c.stored;
  }
}

// One record with one entry whose body the case may replace, inside a table
// the case may rewrite.
std::vector<uint8_t> one_entry_stream(uint32_t id, const std::vector<uint8_t>& body) {
  return template_test::template_data({{kWindowId, template_test::window_record({{id, body}})}});
}

std::vector<uint8_t> cut(std::vector<uint8_t> body, size_t drop) {
  body.resize(body.size() - drop);
  return body;
}

TEST(TemplateReader, malformed_streams_fail_at_the_field_that_does_not_fit) {
  const auto own = unit_body(window_unit());
  struct Case {
    const char* name;
    std::function<std::vector<uint8_t>()> make;
    const char* expected;  // part of the error text
  };
  const Case cases[] = {
      {"window table of 7 bytes", [] { return Bytes().u32(7).zeros(7).data(); }, "multiple of 8"},
      {"window table longer than the data", [] { return Bytes().u32(16).u32(kWindowId).u32(0).data(); },
       "window table"},
      {"no window record after the table", [] { return Bytes().u32(8).u32(kWindowId).u32(0).data(); },
       "window value A"},
      {"entry count 0",
       [] {
         return Bytes().u32(8).u32(kWindowId).u32(0).u32(0).u32(0).counted("").counted("").u32(0).counted("").data();
       },
       "without entries"},
      {"text 1 longer than the data",
       [] { return Bytes().u32(8).u32(kWindowId).u32(0).u32(0).u32(0).u32(100).zeros(20).data(); }, "text 1"},
      {"entry count larger than the table",
       [&] {
         Bytes table;
         table.u32(kOwnEntry).u32(0).counted(own);
         return Bytes()
             .u32(8)
             .u32(kWindowId)
             .u32(0)
             .u32(0)
             .u32(0)
             .counted("")
             .counted("")
             .u32(1000)
             .counted(table.data())
             .data();
       },
       "ids and offsets"},
      {"entry count 0xFFFFFFFF",
       [&] {
         Bytes table;
         table.u32(kOwnEntry).u32(0).counted(own);
         return Bytes()
             .u32(8)
             .u32(kWindowId)
             .u32(0)
             .u32(0)
             .u32(0)
             .counted("")
             .counted("")
             .u32(0xFFFFFFFF)
             .counted(table.data())
             .data();
       },
       "ids and offsets"},
      {"entry table longer than the data",
       [&] {
         return Bytes()
             .u32(8)
             .u32(kWindowId)
             .u32(0)
             .u32(0)
             .u32(0)
             .counted("")
             .counted("")
             .u32(1)
             .u32(1000)
             .zeros(40)
             .data();
       },
       "entry table"},
      {"entry offset past the record area",
       [&] {
         Bytes table;
         table.u32(kOwnEntry).u32(static_cast<uint32_t>(own.size()) + 5).counted(own);
         return Bytes()
             .u32(8)
             .u32(kWindowId)
             .u32(0)
             .u32(0)
             .u32(0)
             .counted("")
             .counted("")
             .u32(1)
             .counted(table.data())
             .data();
       },
       "entry offset"},
      {"entry length word cut by the end of the area",
       [&] {
         Bytes table;
         table.u32(kOwnEntry).u32(2).u32(0);
         return Bytes()
             .u32(8)
             .u32(kWindowId)
             .u32(0)
             .u32(0)
             .u32(0)
             .counted("")
             .counted("")
             .u32(1)
             .counted(table.data())
             .data();
       },
       "entry length"},
      {"entry length past the record area",
       [&] {
         Bytes table;
         table.u32(kOwnEntry).u32(0).u32(static_cast<uint32_t>(own.size()) + 1).raw(own);
         return Bytes()
             .u32(8)
             .u32(kWindowId)
             .u32(0)
             .u32(0)
             .u32(0)
             .counted("")
             .counted("")
             .u32(1)
             .counted(table.data())
             .data();
       },
       "longer than the record area"},
      {"name whose 0 lies only after the body",
       [] {
         // The body ends inside the name; the following bytes hold zeros.
         Bytes area;
         area.counted(Bytes().u32(0x00010001).zeros(20).raw("abc").data()).zeros(64);
         Bytes table;
         table.u32(kOwnEntry).u32(0).raw(area.data());
         return Bytes()
             .u32(8)
             .u32(kWindowId)
             .u32(0)
             .u32(0)
             .u32(0)
             .counted("")
             .counted("")
             .u32(1)
             .counted(table.data())
             .data();
       },
       "unit name"},
      {"child count larger than the body",
       [] {
         UnitSpec u = window_unit();
         u.children = {};
         auto body = unit_body(u);
         // The child count follows name, remark and the nine words before it.
         const size_t at = 4 + 4 + 16 + 1 + 1 + 4 * 7;
         body[at] = 0xFF, body[at + 1] = 0xFF, body[at + 2] = 0xFF, body[at + 3] = 0x3F;
         return one_entry_stream(kOwnEntry, body);
       },
       "child list"},
      {"cursor data longer than the body",
       [] {
         UnitSpec u = window_unit();
         u.children = {};
         auto body = unit_body(u);
         const size_t at = 4 + 4 + 16 + 1 + 1 + 4 * 7 + 4;
         body[at] = 0xF0;
         return one_entry_stream(kOwnEntry, body);
       },
       "cursor data"},
      {"event count larger than the body",
       [] {
         UnitSpec u = window_unit();
         u.children = {};
         u.events = {};
         u.properties = {};
         auto body = cut(unit_body(u), 20);
         body[body.size() - 4] = 3;
         return one_entry_stream(kOwnEntry, Bytes().raw(body).zeros(20).data());
       },
       "event links"},
      {"reserved tail missing",
       [] {
         UnitSpec u = window_unit();
         u.properties = {};
         return one_entry_stream(kOwnEntry, cut(unit_body(u), 1));
       },
       "reserved bytes"},
      {"menu item without its handles", [] { return one_entry_stream(kMenu, cut(menu_body(MenuSpec()), 1)); },
       "menu handles"},
      {"menu item id on a unit body",
       [] {
         UnitSpec u = window_unit();
         u.id = kMenu;
         return one_entry_stream(kMenu, unit_body(u));
       },
       "disagree"},
      {"unit id on a menu item body", [] { return one_entry_stream(kButton, menu_body(MenuSpec())); }, "disagree"},
      {"caption of a menu item without its 0",
       [] {
         auto body = menu_body(MenuSpec());
         body.resize(body.size() - 4 - 16 - 1);
         return one_entry_stream(kMenu, body);
       },
       "menu caption"},
  };
  for (const Case& c : cases) {
    const auto data = c.make();
    TemplateReadError error{};
    auto registry = TemplateRegistry::read(data.data(), static_cast<uint32_t>(data.size()), kCodeBase, &error);
    EXPECT_FALSE(registry) << c.name << ": accepted";
    EXPECT_NE(error.what.find(c.expected), std::string::npos)
        << c.name << ": got \"" << error.what << "\", expected a failure naming \"" << c.expected << "\"";
    EXPECT_LE(error.offset, data.size()) << c.name;
  }
}

}  // namespace
