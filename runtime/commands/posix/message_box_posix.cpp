#include <cstdio>

#include "runtime/commands/message_box.h"

namespace rt::commands {
namespace {

// Button ids of each box type (the low four style bits), left to right.
constexpr int32_t kButtons[][3] = {
    {1, 0, 0},  // OK
    {1, 2, 0},  // OK, Cancel
    {3, 4, 5},  // Abort, Retry, Ignore
    {6, 7, 2},  // Yes, No, Cancel
    {6, 7, 0},  // Yes, No
    {4, 2, 0},  // Retry, Cancel
};

}  // namespace

int32_t show_message_box(void*, const std::string& text, const std::string& caption, uint32_t style) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  const uint32_t type = style & 0xF;
  const uint32_t default_button = (style >> 8) & 0x3;  // MB_DEFBUTTON1..3
  if (type >= sizeof kButtons / sizeof kButtons[0]) return 1;
  const int32_t id = default_button < 3 ? kButtons[type][default_button] : 0;
  return id ? id : kButtons[type][0];
}

}  // namespace rt::commands
