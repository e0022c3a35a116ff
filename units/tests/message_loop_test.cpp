// The runtime's message loop and its idle callbacks, with the test window live.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/runtime_app.h"
#include "runtime/system_function.h"
#include "units/tests/window_test_support.h"

namespace units::testing {
namespace {

std::vector<int> g_idle_calls;

void RT_STDCALL first_idle(intptr_t argument) { g_idle_calls.push_back(static_cast<int>(argument)); }

void RT_STDCALL last_idle(intptr_t argument) {
  g_idle_calls.push_back(static_cast<int>(argument));
  // Ends the loop it runs in: mode 0 on the quit message, mode 1 when the
  // modal window is gone.
  if (rt::RuntimeApp::current()->modal_window())
    rt::RuntimeApp::current()->modal_window() = nullptr;
  else
    PostQuitMessage(0);
}

class MessageLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    load_test_window();
    g_idle_calls.clear();
  }
  void TearDown() override {
    rt::system_function(rt::sysfn::kRemoveIdleCallback, reinterpret_cast<intptr_t>(handle("按钮1")), 0);
    rt::system_function(rt::sysfn::kRemoveIdleCallback, reinterpret_cast<intptr_t>(handle("按钮2")), 0);
  }
  static void add(HWND window, rt::IdleProcedure procedure, int argument) {
    rt::IdleCallback entry{window, procedure, argument};
    rt::system_function(rt::sysfn::kAddIdleCallback, reinterpret_cast<intptr_t>(&entry), 0);
  }
};

TEST_F(MessageLoop, idle_callbacks_run_from_the_last_added_to_the_first_and_the_loop_ends_on_quit) {
  add(handle("按钮1"), last_idle, 1);
  add(handle("按钮2"), first_idle, 2);
  add(handle("按钮2"), first_idle, 3);  // a window already in the list is not added again
  rt::RuntimeApp::current()->run_message_loop(rt::LoopMode::UntilQuit);
  ASSERT_GE(g_idle_calls.size(), 2u);
  EXPECT_EQ(g_idle_calls[0], 2);
  EXPECT_EQ(g_idle_calls[1], 1);
}

TEST_F(MessageLoop, modal_loop_ends_when_the_modal_window_is_gone) {
  add(handle("按钮1"), last_idle, 1);
  rt::RuntimeApp::current()->modal_window() = handle("按钮1");
  rt::RuntimeApp::current()->run_message_loop(rt::LoopMode::Modal);
  EXPECT_EQ(rt::RuntimeApp::current()->modal_window(), nullptr);
  EXPECT_EQ(g_idle_calls, std::vector<int>{1});
}

TEST_F(MessageLoop, a_dead_window_is_dropped_from_the_idle_list) {
  HWND transient = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  add(transient, first_idle, 9);
  add(handle("按钮1"), last_idle, 1);
  DestroyWindow(transient);
  rt::RuntimeApp::current()->run_message_loop(rt::LoopMode::UntilQuit);
  for (int call : g_idle_calls) EXPECT_NE(call, 9);
}

}  // namespace
}  // namespace units::testing
