// The services a library asks of the runtime, answered by a runtime object
// started inside the test process.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "platform/process.h"
#include "runtime/blocks.h"
#include "runtime/constant_area.h"
#include "runtime/library_record.h"
#include "runtime/memory.h"
#include "runtime/runtime_app.h"
#include "runtime/service_table.h"
#include "runtime/system_function.h"
#include "runtime/unit_type.h"

#ifdef _WIN32
#include <direct.h>
#define make_dir(p) _mkdir(p)
#else
#include <sys/stat.h>
#define make_dir(p) mkdir(p, 0755)
#endif

namespace {

int32_t g_interface_requests = 0;

int32_t RT_STDCALL library_notify(int32_t code, intptr_t value1, intptr_t value2) {
  if (code != rt::kNotifyInterfaceId) return code == 1 || code == 6 ? 0 : rt::kNotifyUnhandled;
  ++g_interface_requests;
  std::memset(reinterpret_cast<void*>(value2), static_cast<int>(value1), 16);
  return 7;
}

const rt::UnitType kTypes[3] = {
    {"窗口单元", "WindowUnit", "", 0, nullptr, 0x80000040, 0, 0, nullptr, 0, nullptr, nullptr, 0, nullptr},
    {},  // an empty slot
    {"源", "Source", "", 0, nullptr, 0x80000004, 0, 0, nullptr, 0, nullptr, nullptr, 0, nullptr},
};

const rt::SupportLibrary kLibrary = rt::library_record(
    {"11111111111111111111111111111111", "测试库", 1, 0, 0, 1, 0, 1, 0, 0, 3, kTypes, 0, nullptr, library_notify});
const rt::SupportLibrary* const kLibraries[] = {nullptr, &kLibrary};
alignas(8) const uint8_t kConstants[] = {RT_CONSTANT_AREA_PREFIX};
const rt::ProgramHeader kHeader = {3, 0, 116099, 0, kConstants, sizeof kConstants, nullptr, 0, 2, kLibraries, 0, nullptr, nullptr};

int32_t no_entry() { return 0; }

class RunningRuntime : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static rt::RuntimeApp app(kHeader, no_entry, rt::empty_window_layer());
    app.initialise();
  }
  static int64_t call(int32_t code, intptr_t v1 = 0, intptr_t v2 = 0) { return rt::system_function(code, v1, v2); }
};

TEST_F(RunningRuntime, answers_version_build_mode_and_program_names) {
  EXPECT_EQ(call(rt::sysfn::kRuntimeVersion), 0x00070005);
  EXPECT_EQ(call(rt::sysfn::kBuildMode), 3);
  EXPECT_EQ(call(rt::sysfn::kTemplateCount), 0);
  const std::string module = platform::module_path();
  const std::string directory(reinterpret_cast<const char*>(call(rt::sysfn::kProgramDirectory)));
  const std::string file(reinterpret_cast<const char*>(call(rt::sysfn::kProgramFileName)));
  EXPECT_EQ(directory + platform::kPathSeparator + file, module);
  EXPECT_EQ(rt::RuntimeApp::current()->build_stamp(), 116100u);
}

TEST_F(RunningRuntime, looks_up_unit_types_and_classifies_them_by_their_flags) {
  struct Case {
    rt::TypeTag type;
    const rt::UnitType* found;
    int64_t kind;
  } cases[] = {
      {rt::tag::unit(1, 0), &kTypes[0], 1}, {rt::tag::unit(1, 2), &kTypes[2], 2},
      {rt::tag::unit(1, 1), nullptr, 0},    {rt::tag::unit(1, 3), nullptr, 0},
      {rt::tag::unit(0, 0), nullptr, 0},    {rt::tag::kInt, nullptr, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(reinterpret_cast<const rt::UnitType*>(call(rt::sysfn::kUnitType, c.type)), c.found) << std::hex << c.type;
    EXPECT_EQ(call(rt::sysfn::kClassifyUnitType, c.type), c.kind) << std::hex << c.type;
  }
}

TEST_F(RunningRuntime, interface_ids_come_from_the_runtime_for_core_type_47_and_from_the_library_otherwise) {
  uint8_t id[16] = {};
  EXPECT_EQ(call(rt::sysfn::kInterfaceId, rt::tag::unit(0, 47), reinterpret_cast<intptr_t>(id)), 1);
  const uint8_t iunknown[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  EXPECT_EQ(std::memcmp(id, iunknown, 16), 0);
  EXPECT_EQ(call(rt::sysfn::kInterfaceId, rt::tag::unit(1, 2), reinterpret_cast<intptr_t>(id)), 7);
  EXPECT_EQ(id[0], 2);
  EXPECT_EQ(g_interface_requests, 1);
}

TEST_F(RunningRuntime, memory_services_and_the_event_source_outside_a_handler) {
  auto* block = reinterpret_cast<char*>(call(rt::sysfn::kAllocate, 8));
  std::strcpy(block, "abc");
  block = reinterpret_cast<char*>(call(rt::sysfn::kResize, reinterpret_cast<intptr_t>(block), 4000));
  EXPECT_STREQ(block, "abc");
  call(rt::sysfn::kRelease, reinterpret_cast<intptr_t>(block));
  uint32_t source[2] = {9, 9};
  EXPECT_EQ(call(rt::sysfn::kEventSource, reinterpret_cast<intptr_t>(source)), 0);
  EXPECT_EQ(source[0], 9u);
}

std::set<std::string> search(const std::string& pattern, uint32_t mask, bool files_only) {
  std::set<std::string> names;
  void* handle = nullptr;
  const rt::RuntimeServiceTable& services = rt::services();
  auto* name = reinterpret_cast<char*>(services.call_routine(rt::routine::kFindFileStep,
                                                             reinterpret_cast<intptr_t>(pattern.c_str()), mask,
                                                             files_only, reinterpret_cast<intptr_t>(&handle), 0));
  while (name) {
    names.insert(name);
    rt::release(name);
    name = reinterpret_cast<char*>(services.call_routine(rt::routine::kFindFileStep,
                                                         reinterpret_cast<intptr_t>(rt::constant_empty_text()), mask,
                                                         files_only, reinterpret_cast<intptr_t>(&handle), 0));
  }
  EXPECT_EQ(handle, nullptr);  // closed and cleared at the end
  return names;
}

TEST_F(RunningRuntime, file_search_steps_through_files_or_directories) {
  const std::string directory = rt::RuntimeApp::current()->directory() + platform::kPathSeparator + "search_test";
  make_dir(directory.c_str());
  make_dir((directory + platform::kPathSeparator + "子目录").c_str());
  for (const char* name : {"a.txt", "文件.zip"}) {
    FILE* f = std::fopen((directory + platform::kPathSeparator + name).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  // The program's own form of the pattern: GBK, with "\".
  std::string pattern = directory + "\\*.*";
#ifndef _WIN32
  pattern = "search_test\\*.*";  // relative to the program directory, the current directory
#endif
  EXPECT_EQ(search(pattern, 0, true), (std::set<std::string>{"a.txt", "文件.zip"}));
  EXPECT_EQ(search(pattern, 0x10, false), (std::set<std::string>{".", "..", "子目录"}));
  EXPECT_TRUE(search(directory + "\\nothing*.none", 0, true).empty());
}

TEST_F(RunningRuntime, constant_arrays_are_copied_before_they_are_written) {
  alignas(8) static const int32_t kArray[] = {1, 3, 10, 20, 30};
  rt::set_constant_area(kArray, sizeof kArray);
  void* array = const_cast<int32_t*>(kArray);
  rt::services().call_routine(rt::routine::kMakeArrayWritable, 4, reinterpret_cast<intptr_t>(&array), 0, 0, 0);
  EXPECT_NE(array, static_cast<const void*>(kArray));
  EXPECT_EQ(std::memcmp(array, kArray, sizeof kArray), 0);
  rt::release(array);
  rt::set_constant_area(kConstants, sizeof kConstants);
}

}  // namespace
