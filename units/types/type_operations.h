#pragma once

#include <cstdint>

#include "runtime/calling_convention.h"

// The operations a unit type offers through its interface lookup. The runtime
// never knows a control's class: it creates, reads, writes and re-creates
// controls only through these.
namespace units {

// A property value crossing the type operations: the value or the data
// address, and for byte sets the length. A 64-bit value fills `value`.
struct PropertyValue {
  uint64_t value = 0;
  uint32_t length = 0;
};

namespace op {
inline constexpr int32_t kCreate = 1;
inline constexpr int32_t kWriteProperty = 4;
inline constexpr int32_t kSave = 5;
inline constexpr int32_t kReadProperty = 6;
inline constexpr int32_t kWindowData = 7;
inline constexpr int32_t kWantsKey = 8;
inline constexpr int32_t kEnumerateTexts = 9;
inline constexpr int32_t kIsDefaultButton = 10;
}  // namespace op

// 1: (unit data, size, style, parent window, control id, reserved, left, top,
// width, height, window id, unit id, reserved, extra) -> control object or null.
using CreateOperation = void*(RT_STDCALL*)(const uint8_t* data, uint32_t size, uint32_t style, void* parent,
                                           uint32_t control_id, void* reserved, int32_t left, int32_t top,
                                           int32_t width, int32_t height, uint32_t window_id, uint32_t unit_id,
                                           void* reserved2, int32_t extra);
// 4: (control, own index, value, out word) -> 1 when the control must be re-created.
using WritePropertyOperation = int32_t(RT_STDCALL*)(void* control, int32_t index, const PropertyValue* value,
                                                    uint32_t* out);
// 5: (control) -> movable global memory block with the unit's current data.
using SaveOperation = void*(RT_STDCALL*)(void* control);
// 6: (control, own index, out value) -> 1 when the index is known.
using ReadPropertyOperation = int32_t(RT_STDCALL*)(void* control, int32_t index, PropertyValue* out);
// 7: (window data, size) -> the window's icon data as a movable global memory block, or null.
using WindowDataOperation = void*(RT_STDCALL*)(const uint8_t* data, uint32_t size);
// 8: (control, key) -> true when the control takes the key itself.
using WantsKeyOperation = int32_t(RT_STDCALL*)(void* control, int32_t key);
// 9: (unit data, size, callback, user word) -> the data saved again.
using TextCallback = void(RT_STDCALL*)(const char* text, intptr_t user);
using EnumerateTextsOperation = void*(RT_STDCALL*)(const uint8_t* data, uint32_t size, TextCallback callback,
                                                   intptr_t user);
// 10: (control) -> true for a default button.
using IsDefaultButtonOperation = int32_t(RT_STDCALL*)(void* control);

}  // namespace units
