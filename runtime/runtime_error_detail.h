#pragma once

#include <cstdint>
#include <string>

// Platform halves of the error report.
namespace rt::detail {

// A message box without owner, captioned "错误", with the error icon;
// natively the text goes to standard error.
void show_error_box(const std::string& text);

// Parks a worker thread whose end request the window thread has taken over;
// the process ends around it.
[[noreturn]] void wait_for_process_end();

}  // namespace rt::detail
