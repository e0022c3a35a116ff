// The template written at build time from data/round_trip.window, read back.

#include <gtest/gtest.h>

#include <cstring>

#include "kRoundTripTemplate.h"
#include "runtime/event_routine.h"
#include "units/template/property_block.h"
#include "units/template/template_registry.h"

namespace {

rt::EventAnswer OnCreated(const rt::EventArguments&) { return rt::answer(1); }
rt::EventAnswer CheckForUpdates(const rt::EventArguments&) { return rt::answer(2); }
rt::EventAnswer SaveSettings(const rt::EventArguments&) { return rt::answer(3); }
rt::EventAnswer OnTick(const rt::EventArguments&) { return rt::answer(4); }
rt::EventAnswer OnQuit(const rt::EventArguments&) { return rt::answer(5); }

#define UPDATER_ROUTINE(name) &name,
const rt::EventRoutine kRoutines[] = {
#include "kRoundTripTemplate_routines.inc"
};
#undef UPDATER_ROUTINE

const uintptr_t kCodeBase = reinterpret_cast<uintptr_t>(kRoutines);
uintptr_t slot(size_t index) { return reinterpret_cast<uintptr_t>(&kRoutines[index]); }

const units::UnitEntry& named(const units::WindowTemplate& window, const std::string& name) {
  for (const units::UnitEntry& entry : window.entries)
    if (entry.name == name) return entry;
  ADD_FAILURE() << "no entry named " << name;
  static const units::UnitEntry none;
  return none;
}

std::string logfont(const char* face, int32_t height, int32_t weight) {
  uint8_t font[60] = {};
  std::memcpy(font, &height, 4);
  std::memcpy(font + 16, &weight, 4);
  font[23] = 134;  // GB2312_CHARSET
  std::memcpy(font + 28, face, std::strlen(face));
  return std::string(reinterpret_cast<const char*>(font), sizeof font);
}

class RoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    units::TemplateReadError error{};
    m_registry = units::TemplateRegistry::read(test_templates::kRoundTripTemplate,
                                               test_templates::kRoundTripTemplateSize, kCodeBase, &error);
    ASSERT_TRUE(m_registry) << error.what << " at " << error.offset;
    m_main = m_registry->find(0x52010001);
    ASSERT_NE(m_main, nullptr);
  }
  std::optional<units::TemplateRegistry> m_registry;
  units::WindowTemplate* m_main = nullptr;
};

TEST_F(RoundTrip, the_routine_table_follows_the_routines_line_then_first_use) {
  ASSERT_EQ(std::size(kRoutines), 5u);
  EXPECT_EQ(kRoutines[0], &OnCreated);
  EXPECT_EQ(kRoutines[1], &CheckForUpdates);
  EXPECT_EQ(kRoutines[2], &SaveSettings);
  EXPECT_EQ(kRoutines[3], &OnTick);
  EXPECT_EQ(kRoutines[4], &OnQuit);
}

TEST_F(RoundTrip, entries_keep_description_order_ids_names_geometry_and_flags) {
  struct Expected {
    const char* name;
    uint32_t id;
    uint32_t type;
    int32_t left, top, width, height;
    uint32_t flags;
  };
  const Expected expected[] = {
      {"", 0x06010000, 0x00010001, 50, 50, 681, 433, 1},
      {"选择夹1", 0x16010002, 0x00010015, 5, 9, 664, 368, 1},
      {"分组框1", 0x16010003, 0x00010009, 11, 31, 200, 192, 1},
      {"按钮_检查更新", 0x16010004, 0x0001000B, 24, 136, 56, 24, 7},
      {"分组框4", 0x16010005, 0x00010009, 19, 39, 232, 56, 1},
      {"选择框_检查更新", 0x16010006, 0x0001000C, 16, 24, 128, 16, 5},
      {"编辑框1", 0x16010007, 0x00010005, 144, 19, 32, 23, 1},
      {"时钟1", 0x16010008, 0x00010020, 0, 0, 0, 0, 1},
      {"进度条1", 0x16010009, 0x00010013, 118, 382, 200, 18, 0},
      {"透明标签1", 0x1601000A, 0x00030005, 469, 345, 184, 14, 1},
      {"ZIP压缩1", 0x1601000B, 0x00070001, 0, 0, 0, 0, 1},
      {"菜单_文件", 0x2601000C, 0x00010003, 0, 0, 0, 0, 0},
      {"菜单_退出", 0x2601000D, 0x00010003, 0, 0, 0, 0, 0},
  };
  ASSERT_EQ(m_main->entries.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const units::UnitEntry& got = m_main->entries[i];
    const Expected& want = expected[i];
    EXPECT_EQ(got.name, want.name) << "entry " << i;
    EXPECT_EQ(got.id, want.id) << "entry " << i << " " << want.name;
    EXPECT_EQ(got.type, want.type) << want.name;
    EXPECT_EQ(got.left, want.left) << want.name;
    EXPECT_EQ(got.top, want.top) << want.name;
    EXPECT_EQ(got.width, want.width) << want.name;
    EXPECT_EQ(got.height, want.height) << want.name;
    EXPECT_EQ(got.flags, want.flags) << want.name;
  }
}

TEST_F(RoundTrip, parents_child_lists_and_tab_pages) {
  EXPECT_EQ(named(*m_main, "").children, (std::vector<uint32_t>{0x16010002, 0x16010009}));
  EXPECT_EQ(named(*m_main, "选择夹1").children,
            (std::vector<uint32_t>{0x16010003, 0x16010008, 0x1601000A, 0x1601000B, 0, 0x16010005}));
  EXPECT_EQ(named(*m_main, "分组框1").children, (std::vector<uint32_t>{0x16010004}));
  EXPECT_EQ(named(*m_main, "分组框4").children, (std::vector<uint32_t>{0x16010006, 0x16010007}));
  EXPECT_EQ(named(*m_main, "按钮_检查更新").parent, 0x16010003u);
  EXPECT_EQ(named(*m_main, "编辑框1").parent, 0x16010005u);
  EXPECT_EQ(named(*m_main, "进度条1").parent, 0u);
}

TEST_F(RoundTrip, event_links_point_at_the_routine_slots) {
  const auto& own = named(*m_main, "");
  ASSERT_EQ(own.events.size(), 1u);
  EXPECT_EQ(own.events[0].event, 0);
  EXPECT_EQ(own.events[0].handler, slot(0));
  EXPECT_EQ(rt::routine_at(own.events[0].handler)({}).value, 1);

  const auto& button = named(*m_main, "按钮_检查更新");
  ASSERT_EQ(button.events.size(), 2u);
  EXPECT_EQ(button.events[0].event, 0);
  EXPECT_EQ(button.events[0].handler, slot(1));
  EXPECT_EQ(button.events[1].event, -7);
  EXPECT_EQ(button.events[1].handler, 0u) << "-> none";

  EXPECT_EQ(named(*m_main, "选择框_检查更新").events[0].handler, slot(2));
  EXPECT_EQ(named(*m_main, "编辑框1").events[0].event, -8);
  EXPECT_EQ(named(*m_main, "编辑框1").events[0].handler, slot(2));
  EXPECT_EQ(named(*m_main, "时钟1").events[0].handler, slot(3));
  EXPECT_EQ(rt::routine_at(named(*m_main, "时钟1").events[0].handler)({}).value, 4);
}

TEST_F(RoundTrip, texts_cursor_and_menu_items) {
  EXPECT_EQ(named(*m_main, "").tag, "主窗口");
  const auto& button = named(*m_main, "按钮_检查更新");
  EXPECT_EQ(button.remark, "备注");
  EXPECT_EQ(button.cursor_data, (std::vector<uint8_t>{3, 0, 0, 0}));
  EXPECT_EQ(named(*m_main, "分组框1").cursor_data, (std::vector<uint8_t>{0, 0, 0, 0}));

  const auto& file = named(*m_main, "菜单_文件");
  EXPECT_TRUE(file.is_menu_item());
  EXPECT_EQ(file.caption, "文件");
  EXPECT_EQ(file.level, 0u);
  EXPECT_EQ(file.menu_handler, 0u);
  const auto& quit = named(*m_main, "菜单_退出");
  EXPECT_EQ(quit.caption, "退出");
  EXPECT_EQ(quit.level, 1u);
  EXPECT_EQ(quit.shortcut, 3u);
  EXPECT_EQ(quit.menu_flags, units::kMenuChecked);
  EXPECT_EQ(quit.menu_handler, slot(4));
}

TEST_F(RoundTrip, property_blocks_hold_given_values_and_defaults) {
  const char kIcon[] = "\x00\x00\x01\x00\x01\x00\x10\x10\x00\x00\x01\x00\x20\x00\x04\x00\x00\x00\x16\x00\x00\x00ICON";
  units::PropertyBlockWriter window;
  window.u32(6);
  for (uint32_t v : {2u, 0xFF000000u, 0u, 0u, 1u, 0u, 1u, 0u, 1u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u}) window.u32(v);
  window.text("");
  window.bytes("");
  window.bytes(std::string(kIcon, sizeof kIcon - 1));
  window.bytes("");
  window.text("下载器 1.2");
  window.text("");

  units::PropertyBlockWriter tab;
  for (uint32_t v : {3u, 0u, 0u, 0u, 0u, 0u, 0xFF000000u}) tab.u32(v);
  tab.bytes("");
  tab.u16(2);
  tab.text("下载");
  tab.text("设置");

  units::PropertyBlockWriter button;
  for (uint32_t v : {1u, 0u, 0u, 0u}) button.u32(v);
  button.bytes("");
  button.bytes("");
  button.text("检查更新");

  units::PropertyBlockWriter check;
  for (uint32_t v : {2u, 0u, 0u, 0u, 0u, 0u, 0u, 0xFF000000u, 1u}) check.u32(v);
  check.bytes("");
  check.bytes("");
  check.text("定时检查更新 每隔");
  check.text("");
  check.text("");

  units::PropertyBlockWriter edit;
  for (uint32_t v : {2u, 0u, 0u, 0xFF000000u, 0u, 0u, 1u, 0u, 0u, 0u}) edit.u32(v);
  edit.u16('*');
  for (int i = 0; i < 6; ++i) edit.u32(0);
  edit.bytes(logfont("宋体", -12, 700));
  edit.text("24");
  edit.text("");
  edit.text("");

  units::PropertyBlockWriter timer;
  timer.u32(1);
  timer.u32(1000);

  units::PropertyBlockWriter trans;
  for (uint32_t v : {1u, 0u, 0x0000FFu, 0u, 0u, 1u}) trans.u32(v);
  trans.bytes("");
  trans.text("");

  struct Case {
    const char* name;
    std::vector<uint8_t> block;
  };
  const Case cases[] = {
      {"", window.take()},
      {"选择夹1", tab.take()},
      {"按钮_检查更新", button.take()},
      {"选择框_检查更新", check.take()},
      {"编辑框1", edit.take()},
      {"时钟1", timer.take()},
      {"进度条1", {}},
      {"透明标签1", trans.take()},
      {"ZIP压缩1", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(named(*m_main, c.name).properties, c.block) << "entry \"" << c.name << "\"";
}

TEST_F(RoundTrip, explicit_ids_and_the_second_window) {
  units::WindowTemplate* second = m_registry->find(0x52000123);
  ASSERT_NE(second, nullptr);
  ASSERT_EQ(second->entries.size(), 2u);
  EXPECT_EQ(second->entries[0].id, 0x06000123u);
  EXPECT_EQ(second->entries[0].flags, 0u) << "hidden";
  EXPECT_EQ(second->entries[0].children, (std::vector<uint32_t>{0x16000200}));
  EXPECT_EQ(second->entries[1].id, 0x16000200u);

  units::PropertyBlockWriter label;
  for (uint32_t v : {2u, 0u, 0u, 5u, 0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFFu, 0xFF000000u, 0u, 0u, 0xFF000000u,
                     0xFF000000u, 0xFF000000u, 0u, 0u, 0u})
    label.u32(v);
  label.bytes("");
  label.bytes("");
  label.text("小时");
  label.text("");
  label.text("");
  EXPECT_EQ(second->entries[1].properties, label.take());
}

}  // namespace
