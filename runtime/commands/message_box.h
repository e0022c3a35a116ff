#pragma once

#include <cstdint>
#include <string>

// The platform half of ShowMessage.
namespace rt::commands {

// Win32 style bits that ShowMessage looks at.
inline constexpr uint32_t kSystemModal = 0x1000;  // MB_SYSTEMMODAL
inline constexpr uint32_t kTaskModal = 0x2000;    // MB_TASKMODAL

// Shows a message box and gives the Win32 id of the button pressed (IDOK 1 ...
// IDNO 7). Natively the text goes to standard error and the box's default
// button counts as pressed.
int32_t show_message_box(void* parent, const std::string& text, const std::string& caption, uint32_t style);

}  // namespace rt::commands
