// Unit properties read and written by the program: the common properties
// from the live control or the stored entry, the type's own through its
// operations, converted by their data types.
#include <cstring>

#include "runtime/blocks.h"
#include "runtime/memory.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_error.h"
#include "runtime/system_function.h"
#include "units/controls/unit_control.h"
#include "units/cursor_data.h"
#include "units/font_record.h"
#include "units/property_types.h"
#include "units/types/type_operations.h"
#include "units/window_units.h"

namespace units {
namespace {

constexpr int32_t kLeft = 0, kTop = 1, kWidth = 2, kHeight = 3, kTag = 4, kVisible = 5, kDisabled = 6,
                  kMousePointer = 7;
constexpr int32_t kPositionLimit = 32627;

int32_t clamp(int32_t v, int32_t low, int32_t high) { return v < low ? low : (v > high ? high : v); }

uint64_t as_ref(const void* p) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)); }

template <class T>
T* ref(uint64_t v) {
  return reinterpret_cast<T*>(static_cast<uintptr_t>(v));
}

// Cursor data with its first word (when it has one) mapped: the program sees
// a standard cursor by its table number, the stored data by its cursor id.
std::string map_cursor_number(std::string data, int32_t (*map)(int32_t)) {
  if (data.size() >= 4) {
    int32_t word;
    std::memcpy(&word, data.data(), 4);
    word = map(word);
    std::memcpy(data.data(), &word, 4);
  }
  return data;
}

std::string cursor_data_for_program(std::string data) { return map_cursor_number(std::move(data), cursor_id_to_number); }
std::string cursor_data_from_program(std::string data) { return map_cursor_number(std::move(data), cursor_number_to_id); }

const rt::UnitProperty* property_record(const rt::UnitType* type, int32_t number) {
  if (!type || number < 0 || number >= type->property_count || !type->properties) return nullptr;
  return &type->properties[number];
}

LOGFONTA current_font(UnitControl& control, const rt::UnitType* type, int32_t own) {
  PropertyValue value;
  auto read = reinterpret_cast<ReadPropertyOperation>(type->lookup(op::kReadProperty));
  std::string bytes;
  if (read && read(&control, own, &value) && value.value)
    bytes.assign(ref<const char>(value.value), value.length);
  return font_or_default(bytes);
}

constexpr UINT kReadMessage = WM_APP + 0x31;
constexpr UINT kWriteMessage = WM_APP + 0x32;

struct Access {
  uint32_t window_id, unit_id;
  int32_t number, element;
  uint64_t value;
};

LRESULT CALLBACK marshal_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace

uint64_t WindowUnits::read_property(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element) {
  rt::RuntimeApp* app = rt::RuntimeApp::current();
  if (app && !app->on_window_thread() && m_marshal_window) {
    if (app->ending()) return 0;
    Access access{window_id, unit_id, number, element, 0};
    SendMessageA(m_marshal_window, kReadMessage, 0, reinterpret_cast<LPARAM>(&access));
    return access.value;
  }
  // While the program ends the templates are gone: nothing to read, no error.
  if (app && app->ending()) return 0;
  return read_on_window_thread(window_id, unit_id, number, element);
}

void WindowUnits::write_property(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element,
                                 uint32_t value, uint32_t value_high) {
  const uint64_t both = (uint64_t{value_high} << 32) | value;
  rt::RuntimeApp* app = rt::RuntimeApp::current();
  if (app && !app->on_window_thread() && m_marshal_window) {
    // A write that arrives while the program ends finds no window: dropped.
    if (app->ending()) return;
    Access access{window_id, unit_id, number, element, both};
    SendMessageA(m_marshal_window, kWriteMessage, 0, reinterpret_cast<LPARAM>(&access));
    return;
  }
  if (app && app->ending()) return;
  write_on_window_thread(window_id, unit_id, number, element, both);
}

UnitEntry* WindowUnits::accessed_unit(uint32_t window_id, uint32_t unit_id, WindowTemplate*& window) {
  window = loaded_window(window_id);
  UnitEntry* unit = window && !window->live.empty() ? TemplateRegistry::find_entry(*window, unit_id) : nullptr;
  if (!unit)
    rt::report_runtime_error("未载入欲访问窗口组件所在的窗口", 0, static_cast<int32_t>(window_id),
                             static_cast<int32_t>(unit_id));
  return unit;
}

// Position of a control in its parent's client area (a pop-up keeps screen coordinates).
static RECT rect_in_parent(HWND handle) {
  RECT r;
  GetWindowRect(handle, &r);
  const HWND parent = GetParent(handle);
  if (parent && !(GetWindowLongA(handle, GWL_STYLE) & WS_POPUP))
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

uint64_t WindowUnits::read_on_window_thread(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element) {
  WindowTemplate* window = nullptr;
  UnitEntry* unit = accessed_unit(window_id, unit_id, window);
  if (unit->is_menu_item()) {
    switch (number) {
      case 0: return as_ref(rt::make_text(unit->caption));
      case 1: return (unit->menu_flags & kMenuChecked) ? 1 : 0;
      case 2: return (unit->menu_flags & kMenuDisabled) ? 1 : 0;
      case 3: return (unit->menu_flags & kMenuHidden) ? 0 : 1;
      default: return 0;
    }
  }
  auto* control = static_cast<UnitControl*>(unit->object);
  const HWND handle = control && IsWindow(control->handle()) ? control->handle() : nullptr;
  if (number <= kMousePointer) {
    const RECT r = handle && number <= kHeight ? rect_in_parent(handle) : RECT{};
    switch (number) {
      case kLeft: return static_cast<uint32_t>(handle ? r.left : unit->left);
      case kTop: return static_cast<uint32_t>(handle ? r.top : unit->top);
      case kWidth: return static_cast<uint32_t>(handle ? r.right - r.left : unit->width);
      case kHeight: return static_cast<uint32_t>(handle ? r.bottom - r.top : unit->height);
      case kTag: return as_ref(rt::make_text(unit->tag));
      case kVisible: return handle ? (IsWindowVisible(handle) ? 1 : 0) : ((unit->flags & kFlagVisible) ? 1 : 0);
      case kDisabled: return handle ? (IsWindowEnabled(handle) ? 0 : 1) : ((unit->flags & kFlagDisabled) ? 1 : 0);
      default: {
        const std::string data = cursor_data_for_program({unit->cursor_data.begin(), unit->cursor_data.end()});
        return as_ref(rt::make_bytes(data.data(), static_cast<uint32_t>(data.size())));
      }
    }
  }

  if (!handle)
    rt::report_runtime_error("读取组件属性时发现指定窗口尚未载入", 0, static_cast<int32_t>(window_id),
                             static_cast<int32_t>(unit_id));
  const rt::UnitType* type = type_of(*unit);
  auto read = type ? reinterpret_cast<ReadPropertyOperation>(type->lookup(op::kReadProperty)) : nullptr;
  const rt::UnitProperty* record = property_record(type, number);
  PropertyValue value;
  if (!read || !record || !read(control, number - 8, &value)) return 0;
  switch (data_class(record->type_word)) {
    case DataClass::Wide: return value.value;
    case DataClass::Text: return as_ref(rt::make_text(rt::text_of(ref<const char>(value.value))));
    case DataClass::Bytes: return as_ref(rt::make_bytes(ref<const void>(value.value), value.length));
    case DataClass::Cursor: {
      const std::string data =
          cursor_data_for_program(value.value ? std::string(ref<const char>(value.value), value.length) : "");
      return as_ref(rt::make_bytes(data.data(), static_cast<uint32_t>(data.size())));
    }
    case DataClass::Font: {
      const LOGFONTA font =
          font_or_default(value.value ? std::string(ref<const char>(value.value), value.length) : std::string());
      if (element >= 0 && element <= 6) {
        if (element == static_cast<int32_t>(FontField::FaceName)) return as_ref(rt::make_text(font.lfFaceName));
        return static_cast<uint32_t>(font_field(font, static_cast<FontField>(element)));
      }
      FontRecord whole = font_record_of(font);
      whole.face_name = rt::make_text(font.lfFaceName);
      auto* block = static_cast<FontRecord*>(rt::allocate(sizeof(FontRecord)));
      std::memcpy(block, &whole, sizeof whole);
      return as_ref(block);
    }
    default: return static_cast<uint32_t>(value.value);
  }
}

void WindowUnits::write_on_window_thread(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element,
                                         uint64_t value) {
  WindowTemplate* window = nullptr;
  UnitEntry* unit = accessed_unit(window_id, unit_id, window);
  const auto low = static_cast<int32_t>(value);

  if (unit->is_menu_item()) {
    const uint32_t before = unit->menu_flags;
    const std::string caption_before = unit->caption;
    auto set = [&](uint32_t bit, bool on) { unit->menu_flags = on ? (unit->menu_flags | bit) : (unit->menu_flags & ~bit); };
    switch (number) {
      case 0: unit->caption = rt::text_of(ref<const char>(value)); break;
      case 1: set(kMenuChecked, low != 0); break;
      case 2: set(kMenuDisabled, low != 0); break;
      case 3: set(kMenuHidden, low == 0); break;
    }
    if (unit->menu_flags != before || unit->caption != caption_before) rebuild_menu(*window);
    return;
  }

  auto* control = static_cast<UnitControl*>(unit->object);
  const HWND handle = control && IsWindow(control->handle()) ? control->handle() : nullptr;
  const rt::UnitType* type = type_of(*unit);
  switch (number) {
    case kLeft:
    case kTop: {
      const int32_t v = clamp(low, -kPositionLimit, kPositionLimit);
      (number == kLeft ? unit->left : unit->top) = v;
      if (handle) {
        const RECT r = rect_in_parent(handle);
        const int x = number == kLeft ? v : r.left, y = number == kTop ? v : r.top;
        SetWindowPos(handle, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(handle, nullptr, TRUE);
      }
      return;
    }
    case kWidth:
    case kHeight: {
      const int32_t v = clamp(low, 0, kPositionLimit);
      (number == kWidth ? unit->width : unit->height) = v;
      if (handle) {
        RECT r;
        GetWindowRect(handle, &r);
        const int w = number == kWidth ? v : r.right - r.left, h = number == kHeight ? v : r.bottom - r.top;
        SetWindowPos(handle, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return;
    }
    case kTag: unit->tag = rt::text_of(ref<const char>(value)); return;
    case kVisible: {
      unit->flags = low ? (unit->flags | kFlagVisible) : (unit->flags & ~kFlagVisible);
      if (!handle) return;
      if (!low) {
        ShowWindow(handle, SW_HIDE);
      } else if (unit == &window->live[0]) {
        ShowWindow(handle, SW_SHOW);
      } else if (!(type && (type->state_flags & rt::unit_flag::kNeverShown)) && !on_hidden_tab_page(*window, *unit)) {
        ShowWindow(handle, SW_SHOW);
      }
      return;
    }
    case kDisabled:
      unit->flags = low ? (unit->flags | kFlagDisabled) : (unit->flags & ~kFlagDisabled);
      if (handle) EnableWindow(handle, low ? FALSE : TRUE);
      return;
    case kMousePointer: {
      if (unit->cursor) DestroyCursor(static_cast<HCURSOR>(unit->cursor));
      const rt::BytesView bytes = rt::bytes_of(ref<const void>(value));
      const std::string data = cursor_data_from_program(bytes.size ? std::string(bytes.as_text_view()) : std::string());
      unit->cursor_data.assign(data.begin(), data.end());
      unit->cursor = cursor_from_data(data);
      if (handle) {
        POINT at;
        GetCursorPos(&at);
        SetCursorPos(at.x, at.y);
      }
      return;
    }
    default: break;
  }

  if (!handle)
    rt::report_runtime_error("修改组件属性时发现指定窗口尚未载入", 0, static_cast<int32_t>(window_id),
                             static_cast<int32_t>(unit_id));
  auto write = type ? reinterpret_cast<WritePropertyOperation>(type->lookup(op::kWriteProperty)) : nullptr;
  const rt::UnitProperty* record = property_record(type, number);
  if (!write || !record) return;
  const int32_t own = number - 8;
  PropertyValue converted;
  std::string keep;  // data that must live through the write
  LOGFONTA font;
  switch (data_class(record->type_word)) {
    case DataClass::Logical: converted.value = low != 0 ? 1 : 0; break;
    case DataClass::Choice: converted.value = static_cast<uint32_t>(low < 0 ? 0 : low); break;
    case DataClass::Wide: converted.value = value; break;
    case DataClass::Text: converted.value = as_ref(ref<const char>(value) ? ref<const char>(value) : ""); break;
    case DataClass::Bytes:
    case DataClass::Cursor: {
      const rt::BytesView bytes = rt::bytes_of(ref<const void>(value));
      keep = std::string(bytes.as_text_view());
      if (data_class(record->type_word) == DataClass::Cursor) keep = cursor_data_from_program(keep);
      converted.value = keep.empty() ? 0 : as_ref(keep.data());
      converted.length = static_cast<uint32_t>(keep.size());
      break;
    }
    case DataClass::Font: {
      font = current_font(*control, type, own);
      if (element >= 0 && element <= 6) {
        set_font_field(font, static_cast<FontField>(element), low,
                       element == static_cast<int32_t>(FontField::FaceName) ? ref<const char>(value) : nullptr);
      } else if (const auto* whole = ref<const FontRecord>(value)) {
        apply_font_record(font, *whole);
      }
      converted.value = as_ref(&font);
      converted.length = sizeof font;
      break;
    }
    default: converted.value = static_cast<uint32_t>(low); break;
  }
  uint32_t out = 0;
  if (write(control, own, &converted, &out) == 1 && IsWindow(handle)) recreate(*window, *unit);
}

void WindowUnits::recreate(WindowTemplate& window, UnitEntry& unit) {
  const rt::UnitType* type = type_of(unit);
  if (!type || (type->state_flags & rt::unit_flag::kNeverRecreated)) return;
  auto* old_control = static_cast<UnitControl*>(unit.object);
  const HWND old_handle = old_control->handle();
  auto create = reinterpret_cast<CreateOperation>(type->lookup(op::kCreate));
  auto save = reinterpret_cast<SaveOperation>(type->lookup(op::kSave));
  if (!create || !save) return;

  rt::RuntimeApp* app = rt::RuntimeApp::current();
  if (app) app->process_pending_messages();
  if (app) app->raise_error_depth();
  const bool had_focus = GetFocus() == old_handle;
  const HWND focus = GetFocus();
  HGLOBAL saved = static_cast<HGLOBAL>(save(old_control));
  if (saved) {
    RECT r;
    GetWindowRect(old_handle, &r);
    const HWND parent = GetParent(old_handle);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    DWORD style = GetWindowLongA(old_handle, GWL_STYLE) & (WS_DISABLED | WS_TABSTOP);
    if (IsWindowVisible(old_handle)) style |= WS_VISIBLE;
    const UINT id = static_cast<UINT>(GetDlgCtrlID(old_handle));
    const auto* data = static_cast<const uint8_t*>(GlobalLock(saved));
    const auto size = static_cast<uint32_t>(GlobalSize(saved));
    void* fresh = create(data, size, style, parent, id, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         window.id, unit.id, nullptr, 0);
    GlobalUnlock(saved);
    if (fresh) {
      auto* fresh_control = static_cast<UnitControl*>(fresh);
      const HWND new_handle = fresh_control->handle();
      SetWindowPos(new_handle, old_handle, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      if (type->state_flags & rt::unit_flag::kContainer) {
        std::vector<HWND> children;
        for (HWND c = GetWindow(old_handle, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
        for (auto it = children.rbegin(); it != children.rend(); ++it)
          if (UnitControl::from_handle(*it)) SetParent(*it, new_handle);
      }
      unit.object = fresh;
      SendMessageA(new_handle, 0x806F, 0, 0);
      SendMessageA(new_handle, 0x8076, 0, 0);
      if (type->state_flags & rt::unit_flag::kNotifyParentAfterRecreate) SendMessageA(parent, 0x8004, 0, 0);
      if (type->state_flags & rt::unit_flag::kKeepsPage)
        SendMessageA(new_handle, 0x130C /* TCM_SETCURSEL */, SendMessageA(old_handle, 0x130B, 0, 0), 0);
      UnitControl::s_recreating = true;
      DestroyWindow(old_handle);
      UnitControl::s_recreating = false;
      if (had_focus)
        SetFocus(new_handle);
      else if (focus && IsWindow(focus))
        SetFocus(focus);
    }
    GlobalFree(saved);
  }
  if (app) app->process_pending_messages();
  if (app) app->lower_error_depth();
}

namespace {

LRESULT CALLBACK marshal_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  WindowUnits* layer = WindowUnits::current();
  if (layer && (message == kReadMessage || message == kWriteMessage)) {
    auto* access = reinterpret_cast<Access*>(lparam);
    if (message == kReadMessage)
      access->value = layer->read_property(access->window_id, access->unit_id, access->number, access->element);
    else
      layer->write_property(access->window_id, access->unit_id, access->number, access->element,
                            static_cast<uint32_t>(access->value), static_cast<uint32_t>(access->value >> 32));
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

HWND create_marshal_window() {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = marshal_procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "_QW_PropertyRelay";
  RegisterClassA(&window_class);
  return CreateWindowExA(0, "_QW_PropertyRelay", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

}  // namespace units
