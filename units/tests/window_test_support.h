#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/event_routine.h"
#include "units/template/window_template.h"
#include "units/window_units.h"

// A running program inside the test process: the runtime object, the window
// layer with the test windows, and handler routines that record their calls.
namespace units::testing {

inline constexpr uint32_t kTestWindow = 0x52010001;

struct HandlerCall {
  std::string routine;
  uint32_t window_id;
  uint32_t unit_id;
  int32_t count;
  uint64_t first_argument;
};

std::vector<HandlerCall>& calls();
void clear_calls();
// What CloseAsked / CloseConfirmed / PageChanging answer; -1 gives no answer.
extern int g_close_asked_answer;
extern int g_close_confirmed_answer;
extern int g_page_changing_answer;

WindowUnits& layer();
// Processes pending window messages for a while (timers need real time).
void pump(int milliseconds = 0);

WindowTemplate& test_window();
UnitEntry& unit(const char* name);
HWND handle(const char* name);
std::string class_of(HWND handle);
std::string text_of(HWND handle);
// Loads the test window if it is not loaded; closes it for a fresh start.
void load_test_window();
void close_test_window();

// Unit properties through the runtime's service entries 4 and 5.
uint64_t read(const char* unit_name, int32_t number, int32_t element = -1);
void write(const char* unit_name, int32_t number, uint64_t value, int32_t element = -1);
std::string read_text(const char* unit_name, int32_t number);

}  // namespace units::testing
