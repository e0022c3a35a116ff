#include "units/tests/window_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "kTestWindows.h"
#include "runtime/constant_area.h"
#include "runtime/memory.h"
#include "runtime/program_header.h"
#include "runtime/runtime_app.h"
#include "runtime/service_table.h"
#include "runtime/system_function.h"
#include "units/core_library_units.h"
#include "units/extended/extended_library.h"

namespace units::testing {
namespace {

std::vector<HandlerCall> g_calls;

rt::EventAnswer record(const char* routine, const rt::EventArguments& arguments, int answer = -1) {
  uint32_t source[2] = {0, 0};
  rt::system_function(rt::sysfn::kEventSource, reinterpret_cast<intptr_t>(source), 0);
  g_calls.push_back({routine, source[0], source[1], arguments.count, arguments.count ? arguments.words[0] : 0});
  return answer < 0 ? rt::no_answer() : rt::answer(answer);
}

}  // namespace

int g_close_asked_answer = -1;
int g_close_confirmed_answer = -1;
int g_page_changing_answer = -1;

}  // namespace units::testing

// The program's routines, by the names the window description links.
using units::testing::record;
rt::EventAnswer OnCreated(const rt::EventArguments& a) { return record("OnCreated", a); }
rt::EventAnswer OnMoved(const rt::EventArguments& a) { return record("OnMoved", a); }
rt::EventAnswer OnSized(const rt::EventArguments& a) { return record("OnSized", a); }
rt::EventAnswer ButtonClicked(const rt::EventArguments& a) { return record("ButtonClicked", a); }
rt::EventAnswer EditChanged(const rt::EventArguments& a) { return record("EditChanged", a); }
rt::EventAnswer TimerTicked(const rt::EventArguments& a) { return record("TimerTicked", a); }
rt::EventAnswer PageChanging(const rt::EventArguments& a) {
  return record("PageChanging", a, units::testing::g_page_changing_answer);
}
rt::EventAnswer PageChanged(const rt::EventArguments& a) { return record("PageChanged", a); }
rt::EventAnswer CloseAsked(const rt::EventArguments& a) {
  return record("CloseAsked", a, units::testing::g_close_asked_answer);
}
rt::EventAnswer MenuChosen(const rt::EventArguments& a) { return record("MenuChosen", a); }
rt::EventAnswer CloseConfirmed(const rt::EventArguments& a) {
  return record("CloseConfirmed", a, units::testing::g_close_confirmed_answer);
}

namespace units::testing {
namespace {

#define UPDATER_ROUTINE(name) &::name,
const rt::EventRoutine kRoutines[] = {
#include "kTestWindows_routines.inc"
};
#undef UPDATER_ROUTINE

alignas(8) const uint8_t kConstants[] = {RT_CONSTANT_AREA_PREFIX};

const rt::SupportLibrary* g_libraries[7];

int32_t no_entry() { return 0; }

WindowUnits& the_layer() {
  static WindowUnits layer;
  return layer;
}

// Starts the runtime once for the whole test process.
class RunningProgram : public ::testing::Environment {
 public:
  void SetUp() override {
    // The libraries whose units the test window uses; the others stay out.
    const rt::SupportLibrary* libraries[7] = {&core_library_with_units(), nullptr, &extended::kExtendedLibrary,
                                              nullptr, nullptr, nullptr, nullptr};
    std::copy(std::begin(libraries), std::end(libraries), g_libraries);
    static const rt::ProgramHeader header = {
        3, 0, 116099, reinterpret_cast<uintptr_t>(kRoutines), kConstants, sizeof kConstants,
        kTestWindows, kTestWindowsSize, 7, g_libraries, 0, nullptr, nullptr,
    };
    static rt::RuntimeApp app(header, no_entry, the_layer());
    app.initialise();
  }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new RunningProgram);

}  // namespace

std::vector<HandlerCall>& calls() { return g_calls; }
void clear_calls() { g_calls.clear(); }
WindowUnits& layer() { return the_layer(); }

void pump(int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    rt::RuntimeApp::current()->process_pending_messages();
    if (milliseconds) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  } while (std::chrono::steady_clock::now() < end);
}

WindowTemplate& test_window() {
  WindowTemplate* window = static_cast<TemplateRegistry*>(layer().registry())->find(kTestWindow);
  if (!window) throw std::runtime_error("no test window in the templates");
  return *window;
}

UnitEntry& unit(const char* name) {
  WindowTemplate& window = test_window();
  auto& entries = window.live.empty() ? window.entries : window.live;
  for (UnitEntry& e : entries)
    if (e.name == name) return e;
  throw std::runtime_error(std::string("no unit ") + name);
}

HWND handle(const char* name) {
  void* control = layer().live_control(kTestWindow, unit(name).id);
  return static_cast<HWND>(control);
}

std::string class_of(HWND h) {
  char name[64] = {};
  GetClassNameA(h, name, sizeof name);
  return name;
}

std::string text_of(HWND h) {
  char text[512] = {};
  GetWindowTextA(h, text, sizeof text);
  return text;
}

void load_test_window() {
  if (!test_window().loaded) {
    ASSERT_TRUE(layer().load_window(kTestWindow, false, nullptr));
  }
  pump();
}

void close_test_window() {
  if (!test_window().loaded) return;
  const int asked = g_close_asked_answer, confirmed = g_close_confirmed_answer;
  g_close_asked_answer = g_close_confirmed_answer = -1;
  DestroyWindow(static_cast<HWND>(layer().live_control(kTestWindow, 0)));
  g_close_asked_answer = asked;
  g_close_confirmed_answer = confirmed;
  pump();
}

uint64_t read(const char* unit_name, int32_t number, int32_t element) {
  return rt::services().read_property(kTestWindow, unit(unit_name).id, number, element);
}

void write(const char* unit_name, int32_t number, uint64_t value, int32_t element) {
  rt::services().write_property(kTestWindow, unit(unit_name).id, number, element, static_cast<uint32_t>(value),
                                static_cast<uint32_t>(value >> 32));
}

std::string read_text(const char* unit_name, int32_t number) {
  auto* text = reinterpret_cast<char*>(static_cast<uintptr_t>(read(unit_name, number)));
  std::string copy = text ? text : "";
  rt::release(text);
  return copy;
}

}  // namespace units::testing
