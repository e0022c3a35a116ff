#include "runtime/runtime_error.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A window layer that knows the tags of a few windows and units, to pin down
// how the report quotes them. Loading and events are not involved here.
class TaggedWindows final : public rt::WindowLayer {
 public:
  struct Window {
    std::string tag;
    std::map<uint32_t, std::string> units;  // unit id -> tag; id 0 = the window's own unit
  };
  std::map<uint32_t, Window> windows;

  bool read_templates(const uint8_t*, uint32_t, uintptr_t) override { return true; }
  void release_templates() override {}
  void* registry() override { return nullptr; }
  int32_t template_count() override { return 0; }
  bool load_window(uint32_t, bool, void*) override { return false; }
  bool any_window_alive() override { return false; }
  void unit_destroyed(uint32_t, uint32_t) override {}
  void* live_control(uint32_t, uint32_t) override { return nullptr; }
  int32_t raise_event(void*) override { return 0; }
  int32_t raise_event_typed(void*) override { return 0; }
  uint64_t read_property(uint32_t, uint32_t, int32_t, int32_t) override { return 0; }
  void write_property(uint32_t, uint32_t, int32_t, int32_t, uint32_t, uint32_t) override {}
  rt::ErrorPlace locate(uint32_t window_id, uint32_t unit_id) override {
    rt::ErrorPlace place;
    auto w = windows.find(window_id);
    if (w == windows.end()) return place;
    place.window_loaded = true;
    place.window_tag = w->second.tag;
    auto u = w->second.units.find(unit_id);
    if (u != w->second.units.end()) {
      place.unit_found = true;
      place.unit_tag = u->second;
    }
    return place;
  }
};

const std::string kDetail =
    "\r\n运行时错误相关信息值(在IDE中打开对应源程序后执行\"运行->到运行时错误相关位置\"菜单功能查看): ";

TEST(RuntimeErrorText, composes_code_message_and_detail_lines) {
  TaggedWindows layer;
  layer.windows[0x52010001] = {"主窗口", {{0, "自身"}, {0x16010002, "按钮标记"}}};

  struct Case {
    const char* message;
    int32_t code, info1, info2;
    std::string expected;
  } cases[] = {
      {"", 0, 0, 0, "运行时出错!\r\n" + kDetail + "0, 0\r\n"},
      {nullptr, 6, 7, 8, "运行时出错!\r\n\r\n错误代码：6\r\n" + kDetail + "7, 8\r\n"},
      {"不能整除于零", 0, 0x04000010, 3,
       "运行时出错!\r\n\r\n错误信息：不能整除于零\r\n" + kDetail + std::to_string(0x04000010) + ", 3\r\n"},
      {"x", 0, 0x52020002, 0,
       "运行时出错!\r\n\r\n错误信息：x\r\n" + kDetail + std::to_string(0x52020002) + ", 0\r\n未找到所指定的窗口\r\n"},
      {"x", 0, 0x52010001, 0x16010002,
       "运行时出错!\r\n\r\n错误信息：x\r\n" + kDetail + std::to_string(0x52010001) + ", " +
           std::to_string(0x16010002) +
           "\r\n所访问窗口的\"标记\"属性值: \"主窗口\"\r\n所访问窗口组件的\"标记\"属性值: \"按钮标记\"\r\n"},
      {"x", 0, 0x52010001, 0x16019999,
       "运行时出错!\r\n\r\n错误信息：x\r\n" + kDetail + std::to_string(0x52010001) + ", " +
           std::to_string(0x16019999) + "\r\n所访问窗口的\"标记\"属性值: \"主窗口\"\r\n未找到所指定的窗口组件\r\n"},
  };
  int n = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(rt::compose_runtime_error(c.message, c.code, c.info1, c.info2, layer), c.expected) << "case " << n;
    ++n;
  }
}

TEST(RuntimeErrorText, numbered_messages_cover_codes_one_to_eleven) {
  EXPECT_STREQ(rt::runtime_error_message(1), "数组成员引用下标超出定义范围");
  EXPECT_STREQ(rt::runtime_error_message(6), "调用DLL命令后发现堆栈错误");
  EXPECT_STREQ(rt::runtime_error_message(11), "所提供参数的数据类型不符合要求");
  EXPECT_EQ(rt::runtime_error_message(0), nullptr);
  EXPECT_EQ(rt::runtime_error_message(12), nullptr);
}

}  // namespace
