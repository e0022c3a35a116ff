#pragma once

#include <cstdint>
#include <string>

#include "runtime/window_layer.h"

// The runtime error report: a fatal error shows "运行时出错!" with the error's
// code, message and place in a message box captioned "错误", then the program
// ends with exit code -1 without running its exit routines.
namespace rt {

// Message of a numbered runtime error (1-11); null for any other code.
const char* runtime_error_message(int32_t code);

// The composed text of the report. The window and unit tags are described
// when information value 1 is a window id.
std::string compose_runtime_error(const char* message, int32_t code, int32_t info1, int32_t info2,
                                  WindowLayer& windows);

[[noreturn]] void report_runtime_error(const char* message, int32_t code, int32_t info1, int32_t info2);

// Where the report's text goes instead of the message box: a program run
// from a script or a scheduled task has nobody to close a box, and would
// wait for ever. Null (the start) gives the box again.
using ErrorReportSink = void (*)(const std::string& text);
void set_error_report_sink(ErrorReportSink sink);
[[noreturn]] void report_runtime_error_by_code(int32_t code, int32_t info1, int32_t info2);

// Identifier kinds (bits 24-27).
inline constexpr uint32_t kKindMask = 0x0F000000;
inline constexpr uint32_t kWindowKind = 0x02000000;
inline constexpr uint32_t kUnitKind = 0x06000000;
inline constexpr uint32_t kPlaceKind = 0x04000000;
constexpr bool is_window_id(uint32_t id) { return (id & kKindMask) == kWindowKind; }

}  // namespace rt
