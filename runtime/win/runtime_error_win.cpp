#include <windows.h>

#include "runtime/runtime_error_detail.h"

namespace rt::detail {

void show_error_box(const std::string& text) { MessageBoxA(nullptr, text.c_str(), "错误", MB_ICONERROR); }

void wait_for_process_end() {
  for (;;) Sleep(INFINITE);
}

}  // namespace rt::detail
