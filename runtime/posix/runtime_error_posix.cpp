#include <unistd.h>

#include <cstdio>

#include "runtime/runtime_error_detail.h"

namespace rt::detail {

void show_error_box(const std::string& text) {
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}

void wait_for_process_end() {
  for (;;) pause();
}

}  // namespace rt::detail
