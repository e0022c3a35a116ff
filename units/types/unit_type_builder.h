#pragma once

#include <windows.h>

#include <cstddef>

#include "runtime/unit_type.h"
#include "units/controls/unit_control.h"

// Builds a unit type's record and its interface operations from a control
// class: the class provides its layout, property data types and behaviour,
// and the same few operations serve every type.
namespace units {

// Property records: the eight common properties, then the type's own.
template <size_t N>
struct PropertyTable {
  rt::UnitProperty items[8 + N];
};

inline constexpr uint32_t kCommonTypes[8] = {1001, 1001, 1001, 1001, 1005, 1003, 1003, 1011};

template <size_t N>
constexpr PropertyTable<N> property_table(const uint32_t (&own)[N]) {
  PropertyTable<N> table{};
  for (size_t i = 0; i < 8; ++i) table.items[i] = {"", "", "", 0xE0000000 | kCommonTypes[i], 0};
  for (size_t i = 0; i < N; ++i) table.items[8 + i] = {"", "", "", 0x80000000 | own[i], 0};
  return table;
}

// A movable global memory block holding `bytes`, as the save operation answers.
void* global_block(const std::vector<uint8_t>& bytes);

template <class Control>
struct Operations {
  static void* RT_STDCALL create(const uint8_t* data, uint32_t size, uint32_t style, void* parent,
                                 uint32_t control_id, void*, int32_t left, int32_t top, int32_t width,
                                 int32_t height, uint32_t window_id, uint32_t unit_id, void*, int32_t extra) {
    auto* control = new Control(window_id, unit_id);
    if (!control->properties().load(control->layout(), data, size)) {
      delete control;  // a block of a version this type does not know
      return nullptr;
    }
    const CreateArguments args{style, static_cast<HWND>(parent), control_id, left, top, width, height, extra};
    if (!control->create(args)) {
      if (HWND handle = control->handle()) {
        UnitControl::s_recreating = true;  // not a unit's end: it never began
        DestroyWindow(handle);
        UnitControl::s_recreating = false;
      } else {
        delete control;
      }
      return nullptr;
    }
    return control;
  }
  static int32_t RT_STDCALL write(void* control, int32_t index, const PropertyValue* value, uint32_t* out) {
    if (out) *out = 0;
    return static_cast<UnitControl*>(control)->write_property(index, *value);
  }
  static int32_t RT_STDCALL read(void* control, int32_t index, PropertyValue* out) {
    return static_cast<UnitControl*>(control)->read_property(index, *out) ? 1 : 0;
  }
  static void* RT_STDCALL save(void* control) { return global_block(static_cast<UnitControl*>(control)->save()); }
  static int32_t RT_STDCALL wants_key(void* control, int32_t key) {
    return static_cast<UnitControl*>(control)->wants_key(key) ? 1 : 0;
  }
  static int32_t RT_STDCALL is_default_button(void* control) {
    return static_cast<UnitControl*>(control)->is_default_button() ? 1 : 0;
  }
  static void* RT_STDCALL enumerate_texts(const uint8_t* data, uint32_t size, TextCallback callback, intptr_t user) {
    Control values(0, 0);
    if (!values.properties().load(values.layout(), data, size)) return nullptr;
    enumerate_texts_of(values, callback, user);
    return global_block(values.save());
  }
};

// Calls back with every text of a unit: text properties and font face names.
void enumerate_texts_of(UnitControl& control, TextCallback callback, intptr_t user);

template <class Control, bool kWantsKey = false, bool kDefaultButton = false, bool kTexts = true>
void* RT_STDCALL lookup(int32_t code) {
  using Ops = Operations<Control>;
  switch (code) {
    case op::kCreate: return reinterpret_cast<void*>(&Ops::create);
    case op::kWriteProperty: return reinterpret_cast<void*>(&Ops::write);
    case op::kSave: return reinterpret_cast<void*>(&Ops::save);
    case op::kReadProperty: return reinterpret_cast<void*>(&Ops::read);
    case op::kWantsKey: return kWantsKey ? reinterpret_cast<void*>(&Ops::wants_key) : nullptr;
    case op::kEnumerateTexts: return kTexts ? reinterpret_cast<void*>(&Ops::enumerate_texts) : nullptr;
    case op::kIsDefaultButton:
      return kDefaultButton ? reinterpret_cast<void*>(&Ops::is_default_button) : nullptr;
    default: return nullptr;
  }
}

}  // namespace units
