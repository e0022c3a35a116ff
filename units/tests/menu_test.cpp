// The window's menu, built from its menu items: bar, pop-ups, separators,
// hidden, checked, shortcuts; choosing an item raises its event 0.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "runtime/service_table.h"
#include "units/menu_builder.h"
#include "units/tests/window_test_support.h"

namespace units::testing {
namespace {

class Menus : public ::testing::Test {
 protected:
  void SetUp() override {
    close_test_window();
    load_test_window();
    clear_calls();
  }
  static HWND window() { return static_cast<HWND>(layer().live_control(kTestWindow, 0)); }
  static std::string item_text(HMENU menu, UINT position) {
    char text[64] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
  }
};

TEST_F(Menus, the_bar_holds_the_visible_top_items_with_their_pop_ups) {
  HMENU bar = GetMenu(window());
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 1);  // 帮助 is hidden, and 关于 with it
  EXPECT_EQ(item_text(bar, 0), "文件");
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(item_text(file, 0), "打开\tCtrl+O");
  EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(item_text(file, 2), "退出");
  EXPECT_TRUE(GetMenuState(file, 2, MF_BYPOSITION) & MF_CHECKED);
  // Command ids count from 20000 in the order of the menu items.
  EXPECT_EQ(GetMenuItemID(file, 0), 20001u);
  EXPECT_EQ(GetMenuItemID(file, 2), 20003u);
}

TEST_F(Menus, the_shortcut_is_an_accelerator_of_the_item) {
  const Shortcut ctrl_o = shortcut_key(15);
  EXPECT_EQ(ctrl_o.name, "Ctrl+O");
  EXPECT_EQ(ctrl_o.key, 'O');
  EXPECT_EQ(shortcut_key(27).name, "F1");
  EXPECT_EQ(shortcut_key(77).name, "Alt+BkSp");
  EXPECT_EQ(shortcut_key(0).name, "");
  HACCEL table = static_cast<HACCEL>(test_window().accelerators);
  ASSERT_NE(table, nullptr);
  ACCEL entries[4];
  ASSERT_EQ(CopyAcceleratorTableA(table, entries, 4), 1);
  EXPECT_EQ(entries[0].cmd, 20001);
  EXPECT_EQ(entries[0].key, 'O');
  EXPECT_EQ(entries[0].fVirt & (FVIRTKEY | FCONTROL), FVIRTKEY | FCONTROL);
}

TEST_F(Menus, choosing_an_item_raises_its_event_with_the_item_as_source) {
  SendMessageA(window(), WM_COMMAND, MAKEWPARAM(20003, 0), 0);
  pump();
  ASSERT_EQ(calls().size(), 1u);
  EXPECT_EQ(calls()[0].routine, "MenuChosen");
  EXPECT_EQ(calls()[0].unit_id, unit("菜单_退出").id);
}

TEST_F(Menus, writing_an_items_properties_rebuilds_the_menu) {
  const uint32_t exit_item = unit("菜单_退出").id, help = unit("菜单_帮助").id;
  rt::services().write_property(kTestWindow, exit_item, 1, -1, 0, 0);  // not checked
  rt::services().write_property(kTestWindow, help, 3, -1, 1, 0);       // visible
  EXPECT_EQ(rt::services().read_property(kTestWindow, exit_item, 1, -1), 0u);
  HMENU bar = GetMenu(window());
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(item_text(bar, 1), "帮助");
  EXPECT_FALSE(GetMenuState(GetSubMenu(bar, 0), 2, MF_BYPOSITION) & MF_CHECKED);
}

}  // namespace
}  // namespace units::testing
