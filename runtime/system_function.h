#pragma once

#include <cstdint>

#include "runtime/calling_convention.h"

namespace rt {

// The services a library asks of the runtime, by code. Unknown codes answer 0.
int64_t RT_STDCALL system_function(int32_t code, intptr_t value1, intptr_t value2);

// Record behind value1 of code 2005.
struct LoadWindowRequest {
  uint32_t window_id;
  void* owner;
  int32_t modal;
};

namespace sysfn {
inline constexpr int32_t kDefaultIcon = 1000;
inline constexpr int32_t kTemplateRegistry = 1001;
inline constexpr int32_t kUnitType = 1002;
inline constexpr int32_t kRuntimeVersion = 1005;
inline constexpr int32_t kAddIdleCallback = 1012;
inline constexpr int32_t kRemoveIdleCallback = 1013;
inline constexpr int32_t kUnitDestroyed = 2000;
inline constexpr int32_t kProgramDirectory = 2003;
inline constexpr int32_t kProgramFileName = 2004;
inline constexpr int32_t kLoadWindow = 2005;
inline constexpr int32_t kLiveControl = 2006;  // the control's window handle
inline constexpr int32_t kLiveControlOrError = 2007;
inline constexpr int32_t kRaiseEvent = 2008;
inline constexpr int32_t kEnterQuiet = 2009;
inline constexpr int32_t kLeaveQuiet = 2010;
inline constexpr int32_t kEventSource = 2017;
inline constexpr int32_t kProcessMessages = 2018;
inline constexpr int32_t kReleaseArray = 2023;
inline constexpr int32_t kAllocate = 2024;
inline constexpr int32_t kRelease = 2025;
inline constexpr int32_t kResize = 2026;
inline constexpr int32_t kRuntimeError = 2027;
inline constexpr int32_t kEndProgram = 2028;
inline constexpr int32_t kClassifyUnitType = 2029;
inline constexpr int32_t kBuildMode = 2030;
inline constexpr int32_t kRaiseEventTyped = 2031;
inline constexpr int32_t kTemplateCount = 2032;
inline constexpr int32_t kInterfaceId = 2036;
}  // namespace sysfn

inline constexpr int64_t kRuntimeVersion = 0x00070005;

}  // namespace rt
