#include "threads/start_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/thread.h"
#include "runtime/command_call.h"
#include "threads/critical_section_list.h"
#include "threads/thread_library.h"

namespace {

using rt::ArgValue;

std::atomic<int64_t> g_received{-1};
std::atomic<bool> g_gate_open{false};
std::atomic<int> g_gated_finished{0};

uint32_t PLATFORM_STDCALL record_parameter(uint32_t parameter) {
  g_received = parameter;
  return parameter;
}

// Spins rather than sleeps: the sleep of the MinGW thread library gives a
// thread it did not create a handle of its own, which would blur the count.
uint32_t PLATFORM_STDCALL wait_at_gate(uint32_t) {
  while (!g_gate_open) {
  }
  ++g_gated_finished;
  return 0;
}

ArgValue entry(platform::ThreadRoutine routine) {
  return ArgValue::of_ref(reinterpret_cast<const void*>(routine), rt::tag::kSubroutine);
}
ArgValue variable(int32_t* handle) { return ArgValue::of_ref(handle, rt::tag::kInt); }

template <class Condition>
bool eventually(Condition condition) {
  for (int i = 0; i < 10000 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return condition();
}

TEST(StartThread, routine_receives_zero_unless_a_parameter_is_given) {
  int32_t handle = 0;
  struct Case {
    const char* name;
    std::initializer_list<ArgValue> args;
  };
  const Case cases[] = {
      {"entry only", {entry(record_parameter)}},
      {"parameter omitted", {entry(record_parameter), ArgValue()}},
      {"parameter omitted, handle variable given", {entry(record_parameter), ArgValue(), variable(&handle)}},
  };
  for (const Case& c : cases) {
    g_received = -1;
    handle = 0;
    const ArgValue result = rt::call_command(threads::StartThread, c.args);
    EXPECT_EQ(result.tag, rt::tag::kBool) << c.name;
    EXPECT_TRUE(result.as_bool()) << c.name;
    EXPECT_TRUE(eventually([] { return g_received != -1; })) << c.name << ": routine never ran";
    EXPECT_EQ(g_received, 0) << c.name;
    if (handle) {
      EXPECT_EQ(platform::wait_for_thread(handle, 10000), platform::WaitResult::Ended) << c.name;
      platform::close_thread_handle(handle);
    }
  }
}

TEST(StartThread, parameter_and_handle_reach_the_caller_unchanged) {
  const uint32_t baseline = platform::open_handle_count();
  for (uint32_t value : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xDEADBEEFu, 0xFFFFFFFFu}) {
    g_received = -1;
    int32_t handle = 0;
    const ArgValue result = rt::call_command(
        threads::StartThread, {entry(record_parameter), ArgValue::of_int(int32_t(value)), variable(&handle)});
    ASSERT_TRUE(result.as_bool()) << "parameter " << value;
    ASSERT_NE(handle, 0) << "parameter " << value;
    EXPECT_EQ(platform::open_handle_count(), baseline + 1) << "parameter " << value << ": the handle stays open";

    // The variable holds a handle that can be waited on; the routine's result
    // comes back as the thread's exit code.
    uint32_t exit_code = 0;
    EXPECT_EQ(platform::wait_for_thread(handle, 10000, &exit_code), platform::WaitResult::Ended)
        << "parameter " << value;
    EXPECT_EQ(exit_code, value) << "exit code";
    EXPECT_EQ(g_received, int64_t{value}) << "received by the routine";
    platform::close_thread_handle(handle);
    EXPECT_EQ(platform::open_handle_count(), baseline) << "parameter " << value;
  }
}

TEST(StartThread, without_a_handle_variable_the_handle_is_closed_and_the_thread_runs_on) {
  const uint32_t baseline = platform::open_handle_count();
  g_gate_open = false;
  g_gated_finished = 0;
  const ArgValue result = rt::call_command(threads::StartThread, {entry(wait_at_gate), ArgValue::of_int(5)});
  ASSERT_TRUE(result.as_bool());
  const ArgValue omitted_variable =
      rt::call_command(threads::StartThread, {entry(wait_at_gate), ArgValue::of_int(5), ArgValue()});
  ASSERT_TRUE(omitted_variable.as_bool());

  // Both threads are still waiting at the gate, yet no handle is left open.
  EXPECT_EQ(platform::open_handle_count(), baseline);
  EXPECT_EQ(g_gated_finished, 0);
  g_gate_open = true;
  EXPECT_TRUE(eventually([] { return g_gated_finished == 2; })) << "finished: " << g_gated_finished;
}

TEST(StartThread, missing_entry_fails_and_stores_the_null_handle) {
  int32_t handle = -1;
  const ArgValue result = rt::call_command(
      threads::StartThread, {ArgValue::of_ref(nullptr, rt::tag::kSubroutine), ArgValue::of_int(1), variable(&handle)});
  EXPECT_EQ(result.tag, rt::tag::kBool);
  EXPECT_FALSE(result.as_bool());
  EXPECT_EQ(handle, 0);
  EXPECT_FALSE(rt::call_command(threads::StartThread, {}).as_bool()) << "no argument at all";
}

TEST(ThreadLibrary, record_and_notify_entry) {
  const rt::SupportLibrary& library = threads::kThreadLibrary;
  ASSERT_EQ(library.command_count, 1);
  EXPECT_EQ(library.commands[0], &threads::StartThread);

  EXPECT_EQ(library.notify(rt::kNotifyStart, 0, 0), 0);
  for (int i = 0; i < 3; ++i) {
    platform::CriticalSection& section = threads::add_critical_section();
    platform::enter_critical_section(section);
    platform::enter_critical_section(section);  // the owner may enter again
    platform::leave_critical_section(section);
    platform::leave_critical_section(section);
  }
  ASSERT_EQ(threads::critical_section_count(), 3u);

  // The end of the program releases the whole list; a second end finds it empty.
  EXPECT_EQ(library.notify(rt::kNotifyEnd, 0, 0), 0);
  EXPECT_EQ(threads::critical_section_count(), 0u);
  EXPECT_EQ(library.notify(rt::kNotifyEnd, 0, 0), 0);

  for (int32_t code : {0, 2, 8, 10}) EXPECT_EQ(library.notify(code, 0, 0), rt::kNotifyUnhandled) << "code " << code;
}

}  // namespace
