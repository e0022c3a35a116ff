// The ZIP object unit on a live window under Wine: its control, its
// operations, and UnpackArchive raising the progress event on it.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "archive/tests/unpack_test_support.h"
#include "archive/tests/zip_builder.h"
#include "archive/zip/unpack_archive.h"
#include "archive/zip_library.h"
#include "kZipWindows.h"
#include "platform/path.h"
#include "platform/testing/child_program.h"
#include "runtime/command_call.h"
#include "runtime/constant_area.h"
#include "runtime/program_header.h"
#include "runtime/runtime_app.h"
#include "units/controls/unit_control.h"
#include "units/core_library_units.h"
#include "units/tests/window_pixels.h"
#include "units/window_units.h"

namespace zip_test {
namespace {

constexpr uint32_t kWindow = 0x52010001;
constexpr uint32_t kHandled = 0x16010002;    // ZIP压缩1, with a handler for event 1
constexpr uint32_t kUnhandled = 0x16010003;  // ZIP压缩2
const rt::TypeTag kZipUnit = rt::tag::unit(6, 0);

// What the progress handler saw and will answer: -1 nothing, 0 false, 1 true.
std::vector<uint64_t> g_percents;
int g_answer = -1;
std::function<void()> g_on_report;

}  // namespace
}  // namespace zip_test

rt::EventAnswer ProgressReported(const rt::EventArguments& arguments) {
  using namespace zip_test;
  g_percents.push_back(arguments.count == 1 ? arguments.words[0] : 0xDEAD);
  if (g_on_report) g_on_report();
  return g_answer < 0 ? rt::no_answer() : rt::answer(g_answer);
}

// What the window pixel reader calls to let paints happen (the units tests
// have their own).
namespace units::testing {
void pump(int) { rt::RuntimeApp::current()->process_pending_messages(); }
}  // namespace units::testing

namespace zip_test {
namespace {

#define UPDATER_ROUTINE(name) &::name,
const rt::EventRoutine kRoutines[] = {
#include "kZipWindows_routines.inc"
};
#undef UPDATER_ROUTINE

alignas(8) const uint8_t kConstants[] = {RT_CONSTANT_AREA_PREFIX};
const rt::SupportLibrary* g_libraries[7];

int32_t no_entry() { return 0; }

units::WindowUnits& layer() {
  static units::WindowUnits windows;
  return windows;
}

class RunningProgram : public ::testing::Environment {
 public:
  void SetUp() override {
    g_libraries[0] = &units::core_library_with_units();
    g_libraries[6] = &archive::zip_library();
    static const rt::ProgramHeader header = {
        3,           0,
        116099,      reinterpret_cast<uintptr_t>(kRoutines),
        kConstants,  sizeof kConstants,
        kZipWindows, kZipWindowsSize,
        7,           g_libraries,
        0,           nullptr,
        nullptr,
    };
    static rt::RuntimeApp app(header, no_entry, layer());
    app.initialise();
  }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new RunningProgram);

HWND control_of(uint32_t unit_id) { return static_cast<HWND>(layer().live_control(kWindow, unit_id)); }

class ZipUnit : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!control_of(0)) {
      ASSERT_TRUE(layer().load_window(kWindow, false, nullptr));
    }
    g_percents.clear();
    g_answer = -1;
    g_on_report = nullptr;
  }
  void TearDown() override {
    g_on_report = nullptr;
    if (HWND window = control_of(0)) DestroyWindow(window);
    rt::RuntimeApp::current()->process_pending_messages();
  }

  static int32_t unpack(uint32_t unit_id, const std::string& archive, const std::string& target) {
    return rt::call_command(archive::UnpackArchive,
                            {rt::ArgValue::of_unit(kWindow, unit_id, kZipUnit), rt::ArgValue::of_text(archive.c_str()),
                             rt::ArgValue::of_text(target.c_str())})
        .as_int();
  }
  static std::vector<uint64_t> percents(std::initializer_list<uint64_t> values) { return values; }
};

TEST_F(ZipUnit, its_control_is_an_invisible_bordered_child_that_knows_its_unit) {
  const HWND control = control_of(kHandled);
  ASSERT_TRUE(IsWindow(control));
  EXPECT_EQ(GetParent(control), control_of(0));
  EXPECT_FALSE(IsWindowVisible(control));
  const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
  EXPECT_EQ(style & (WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER | WS_VISIBLE), WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER);
  EXPECT_EQ(GetClassLongPtrA(control, GCL_STYLE) & CS_DBLCLKS, static_cast<ULONG_PTR>(CS_DBLCLKS));
  const units::UnitControl* unit = units::UnitControl::from_handle(control);
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(unit->window_id(), kWindow);
  EXPECT_EQ(unit->unit_id(), kHandled);

  // Destroying the control ends its unit: the runtime no longer has it.
  DestroyWindow(control);
  EXPECT_EQ(control_of(kHandled), nullptr);
  EXPECT_NE(control_of(kUnhandled), nullptr);
}

TEST_F(ZipUnit, its_control_shown_paints_its_picture_on_the_button_face) {
  const HWND control = control_of(kHandled);
  ShowWindow(control, SW_SHOWNA);
  const units::testing::WindowPixels pixels(control_of(0));
  RECT area;
  GetWindowRect(control, &area);
  MapWindowPoints(nullptr, control_of(0), reinterpret_cast<POINT*>(&area), 2);
  InflateRect(&area, -1, -1);  // inside the border
  const int inside = (area.right - area.left) * (area.bottom - area.top);
  const units::testing::PixelBox face = units::testing::find_colour(pixels, area, RGB(0xD4, 0xD0, 0xC8));
  EXPECT_GT(face.count, inside / 2);
  EXPECT_LT(face.count, inside) << "the picture stands on the face";
}

TEST_F(ZipUnit, the_type_record_and_its_operations) {
  const rt::SupportLibrary& library = archive::zip_library();
  ASSERT_EQ(library.unit_type_count, 1);
  const rt::UnitType& type = library.unit_types[0];
  EXPECT_STREQ(type.name, "ZIP压缩");
  EXPECT_STREQ(type.english_name, "ZIP");
  EXPECT_EQ(type.state_flags, 0x8040u);

  using Write = int32_t(RT_STDCALL*)(void*, int32_t, const void*, uint32_t*);
  using Save = void*(RT_STDCALL*)(void*);
  using Read = int32_t(RT_STDCALL*)(void*, int32_t, void*);
  void* control = units::UnitControl::from_handle(control_of(kHandled));
  uint32_t out = 0xFFFFFFFF;
  uint32_t value[2] = {1, 0};
  EXPECT_EQ(reinterpret_cast<Write>(type.lookup(4))(control, 0, value, &out), 0);
  EXPECT_EQ(out, 0u);
  EXPECT_EQ(reinterpret_cast<Save>(type.lookup(5))(control), nullptr);
  EXPECT_EQ(reinterpret_cast<Read>(type.lookup(6))(control, 0, value), 0);
  EXPECT_NE(type.lookup(1), nullptr);
  for (int32_t code : {2, 3, 7, 8, 9, 10}) EXPECT_EQ(type.lookup(code), nullptr) << code;
}

TEST_F(ZipUnit, each_entry_and_the_end_raise_the_progress_event_with_the_percentage) {
  ScratchDirectory scratch("进度事件");
  write_file(scratch / "包.zip", build_zip({{"a.txt", "a"}, {"b/c.txt", "c"}, {"d.txt", "d"}}));
  EXPECT_EQ(unpack(kHandled, scratch / "包.zip", scratch / "out"), 1);
  EXPECT_EQ(g_percents, percents({0, 33, 66, 100}));
  EXPECT_EQ(tree(scratch / "out"), (std::vector<std::string>{"a.txt", "b\\", "b\\c.txt", "d.txt"}));
}

TEST_F(ZipUnit, a_handler_answering_false_after_the_first_entry_stops_the_unpacking) {
  ScratchDirectory scratch("回答否");
  write_file(scratch / "包.zip", build_zip({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}}));
  g_answer = 0;
  EXPECT_EQ(unpack(kHandled, scratch / "包.zip", scratch / "out"), 1);
  EXPECT_EQ(g_percents, percents({0}));
  EXPECT_EQ(tree(scratch / "out"), std::vector<std::string>{"a.txt"});
}

TEST_F(ZipUnit, a_true_answer_no_answer_or_no_handler_lets_every_entry_out) {
  struct Case {
    const char* what;
    uint32_t unit;
    int answer;
    std::vector<uint64_t> seen;
  };
  const Case cases[] = {
      {"true", kHandled, 1, {0, 50, 100}},
      {"no answer", kHandled, -1, {0, 50, 100}},
      {"no handler", kUnhandled, 0, {}},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch("回答是");
    write_file(scratch / "包.zip", build_zip({{"a.txt", "a"}, {"b.txt", "b"}}));
    g_percents.clear();
    g_answer = c.answer;
    EXPECT_EQ(unpack(c.unit, scratch / "包.zip", scratch / "out"), 1) << c.what;
    EXPECT_EQ(g_percents, c.seen) << c.what;
    EXPECT_EQ(tree(scratch / "out"), (std::vector<std::string>{"a.txt", "b.txt"})) << c.what;
  }
}

TEST_F(ZipUnit, a_handler_that_destroys_the_unit_has_no_say_and_hears_no_more) {
  ScratchDirectory scratch("销毁");
  write_file(scratch / "包.zip", build_zip({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}}));
  g_answer = 0;
  g_on_report = [] { DestroyWindow(control_of(kHandled)); };
  EXPECT_EQ(unpack(kHandled, scratch / "包.zip", scratch / "out"), 1);
  EXPECT_EQ(g_percents, percents({0}));
  EXPECT_EQ(tree(scratch / "out"), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
}

TEST_F(ZipUnit, results_of_the_command_with_the_final_report_on_failures) {
  ScratchDirectory scratch("结果");
  write_file(scratch / "not.zip", "This file is not an archive at all, really not.");
  const std::string target = scratch / "out";
  struct Case {
    const char* what;
    rt::ArgValue archive;
    rt::ArgValue target;
    int32_t expected;
    std::vector<uint64_t> seen;
  };
  const std::string missing = scratch / "无.zip";
  const std::string foreign = scratch / "not.zip";
  const Case cases[] = {
      {"no archive path", rt::ArgValue::of_text(nullptr), rt::ArgValue::of_text(target.c_str()), -1, {}},
      {"no target", rt::ArgValue::of_text(foreign.c_str()), rt::ArgValue::of_text(nullptr), -1, {}},
      {"an empty target", rt::ArgValue::of_text(foreign.c_str()), rt::ArgValue::of_text(""), -1, {}},
      {"no archive file", rt::ArgValue::of_text(missing.c_str()), rt::ArgValue::of_text(target.c_str()), -1, {100}},
      {"not an archive", rt::ArgValue::of_text(foreign.c_str()), rt::ArgValue::of_text(target.c_str()), 0, {100}},
  };
  for (const Case& c : cases) {
    g_percents.clear();
    rt::ArgValue args[3] = {rt::ArgValue::of_unit(kWindow, kHandled, kZipUnit), c.archive, c.target};
    rt::ArgValue result;
    archive::zip_library().commands[0](&result, 3, args);
    EXPECT_EQ(result.tag, rt::tag::kInt) << c.what;
    EXPECT_EQ(result.as_int(), c.expected) << c.what;
    EXPECT_EQ(g_percents, c.seen) << c.what;
  }
}

TEST_F(ZipUnit, files_are_replaced_and_end_normal_with_their_times_under_wine) {
  ScratchDirectory scratch("属性时间");
  const std::string target = scratch / "目标";
  CreateDirectoryW(platform::wide_path(target).c_str(), nullptr);
  const std::string old_file = target + "\\霁川.txt";
  write_file(old_file, "old");
  SetFileAttributesW(platform::wide_path(old_file).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  TestEntry replaced{"霁川.txt", "new", 8, false, kUnixReadOnlyFile | 0x02};
  replaced.local_extra = ut_block(1600000000, 1610000000, 1500000000);
  write_file(scratch / "包.zip", build_zip({replaced}));

  EXPECT_EQ(unpack(kHandled, scratch / "包.zip", target), 1);
  // Wine keeps the archive bit on every file where Windows reads back FILE_ATTRIBUTE_NORMAL.
  const DWORD attributes = GetFileAttributesW(platform::wide_path(old_file).c_str());
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u)
      << std::hex << attributes;
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExW(platform::wide_path(old_file).c_str(), GetFileExInfoStandard, &data));
  auto unix_of = [](const FILETIME& t) {
    return static_cast<int64_t>(((uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime) - 116444736000000000ull) /
                                10000000ull);
  };
  EXPECT_EQ(unix_of(data.ftLastWriteTime), 1600000000);
  EXPECT_EQ(unix_of(data.ftLastAccessTime), 1610000000);
  EXPECT_EQ(read_file(old_file), "new");  // last: reading moves the access time
}

}  // namespace
}  // namespace zip_test

namespace zip_test {
namespace {

const std::string kDetail =
    "\r\n运行时错误相关信息值(在IDE中打开对应源程序后执行\"运行->到运行时错误相关位置\"菜单功能查看): ";

TEST(ZipUnitErrors, unpacking_with_a_unit_that_does_not_exist_is_a_runtime_error) {
  struct Case {
    const char* scenario;
    const char* missing;
  };
  const Case cases[] = {
      {"unknown-unit", "\r\n所访问窗口的\"标记\"属性值: \"压缩窗口\"\r\n未找到所指定的窗口组件\r\n"},
      {"window-not-loaded", "\r\n未找到所指定的窗口\r\n"},
  };
  for (const Case& c : cases) {
    const test_support::ChildRun run = test_support::run_child_program("zip_errors_program", c.scenario);
    EXPECT_EQ(run.exit_code, -1) << c.scenario;
    EXPECT_EQ(run.log, std::vector<std::string>{"error box"}) << c.scenario;
    EXPECT_EQ(run.box, "运行时出错!\r\n\r\n错误信息：指定窗口或窗口组件不存在或尚未载入\r\n" + kDetail +
                           std::to_string(0x52010001) + ", " + std::to_string(0x16019999) + c.missing)
        << c.scenario;
  }
}

}  // namespace
}  // namespace zip_test
