#include "units/controls/unit_control.h"

#include <cstring>

#include "runtime/event_record.h"
#include "runtime/system_function.h"
#include "units/property_types.h"
#include "units/window_events.h"

namespace units {
namespace {

constexpr char kObjectProperty[] = "UnitControl";

bool is_reflected(UINT message) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_HSCROLL:
    case WM_VSCROLL:
      return true;
    default:
      return false;
  }
}

// The child a notification came from.
HWND notifying_child(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NOTIFY) return reinterpret_cast<const NMHDR*>(lparam)->hwndFrom;
  return reinterpret_cast<HWND>(lparam);
}

}  // namespace

bool UnitControl::s_recreating = false;

UnitControl::UnitControl(uint32_t window_id, uint32_t unit_id, size_t own_property_count)
    : m_properties(own_property_count), m_window_id(window_id), m_unit_id(unit_id) {}

UnitControl* UnitControl::from_handle(HWND handle) {
  return handle ? static_cast<UnitControl*>(GetPropA(handle, kObjectProperty)) : nullptr;
}

bool UnitControl::create_window(DWORD ex_style, const char* class_name, const char* text, DWORD style,
                                const CreateArguments& args) {
  m_handle = CreateWindowExA(ex_style, class_name, text, style, args.left, args.top, args.width, args.height,
                             args.parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(args.control_id)),
                             GetModuleHandleA(nullptr), nullptr);
  if (!m_handle) return false;
  SetPropA(m_handle, kObjectProperty, this);
  m_original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(m_handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UnitControl::procedure)));
  return true;
}

LRESULT CALLBACK UnitControl::procedure(HWND handle, UINT message, WPARAM wparam, LPARAM lparam) {
  UnitControl* self = from_handle(handle);
  if (!self) return DefWindowProcA(handle, message, wparam, lparam);

  if (is_reflected(message) && lparam) {
    if (UnitControl* child = from_handle(notifying_child(message, wparam, lparam)); child && child != self) {
      LRESULT result = 0;
      if (child->on_reflected(message, wparam, lparam, result)) return result;
    }
  }
  if (message == WM_SETCURSOR && reinterpret_cast<HWND>(wparam) == handle && LOWORD(lparam) == HTCLIENT) {
    if (void* cursor = unit_cursor(self->m_window_id, self->m_unit_id)) {
      SetCursor(static_cast<HCURSOR>(cursor));
      return TRUE;
    }
  }
  if (message == WM_NCDESTROY) {
    const WNDPROC original = self->m_original;
    RemovePropA(handle, kObjectProperty);
    SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    self->destroyed();
    delete self;
    return CallWindowProcA(original, handle, message, wparam, lparam);
  }
  return self->on_message(message, wparam, lparam);
}

void UnitControl::destroyed() {
  if (!s_recreating)
    rt::system_function(rt::sysfn::kUnitDestroyed, static_cast<intptr_t>(m_window_id),
                        static_cast<intptr_t>(m_unit_id));
  if (m_font) DeleteObject(m_font);
  if (m_brush) DeleteObject(m_brush);
  m_handle = nullptr;
}

LRESULT UnitControl::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
  return default_procedure(message, wparam, lparam);
}

LRESULT UnitControl::default_procedure(UINT message, WPARAM wparam, LPARAM lparam) {
  return CallWindowProcA(m_original, m_handle, message, wparam, lparam);
}

int32_t UnitControl::write_property(int index, const PropertyValue& value) {
  switch (data_class(data_type(index))) {
    case DataClass::Text: {
      const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(value.value));
      m_properties.set_data(index, text ? text : "");
      break;
    }
    case DataClass::Bytes:
    case DataClass::Font:
    case DataClass::Cursor: {
      const char* data = reinterpret_cast<const char*>(static_cast<uintptr_t>(value.value));
      m_properties.set_data(index, data ? std::string(data, value.length) : std::string());
      break;
    }
    default:
      m_properties.set_number(index, static_cast<uint32_t>(value.value));
      break;
  }
  return 0;
}

bool UnitControl::read_property(int index, PropertyValue& out) {
  if (index < 0 || static_cast<size_t>(index) >= m_properties.size()) return false;
  switch (data_class(data_type(index))) {
    case DataClass::Text:
      out.value = reinterpret_cast<uintptr_t>(m_properties.data(index).c_str());
      break;
    case DataClass::Bytes:
    case DataClass::Font:
    case DataClass::Cursor: {
      const std::string& data = m_properties.data(index);
      out.value = data.empty() ? 0 : reinterpret_cast<uintptr_t>(data.data());
      out.length = static_cast<uint32_t>(data.size());
      break;
    }
    default:
      out.value = m_properties.number(index);
      break;
  }
  return true;
}

bool UnitControl::raise_event(int32_t event, std::initializer_list<uint32_t> args, rt::EventAnswer* answer) {
  rt::EventRecord record = {};
  record.window_id = m_window_id;
  record.unit_id = m_unit_id;
  record.event = event;
  for (uint32_t a : args)
    if (record.count < 5) record.args[record.count++] = a;
  const bool ran = rt::system_function(rt::sysfn::kRaiseEvent, reinterpret_cast<intptr_t>(&record), 0) != 0;
  if (answer) *answer = {record.has_result != 0, record.result};
  return ran;
}

void UnitControl::apply_font(int font_index) {
  const LOGFONTA font = font_or_default(m_properties.data(font_index));
  HFONT created = CreateFontIndirectA(&font);
  if (!created) return;
  SendMessageA(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(created), TRUE);
  if (m_font) DeleteObject(m_font);
  m_font = created;
}

HBRUSH UnitControl::background_brush(uint32_t colour) {
  if (!m_brush || m_brush_colour != colour) {
    if (m_brush) DeleteObject(m_brush);
    m_brush = CreateSolidBrush(paint_colour(colour));
    m_brush_colour = colour;
  }
  return m_brush;
}

bool register_runtime_class(const char* name, UINT class_style, bool null_brush) {
  WNDCLASSA window_class = {};
  if (GetClassInfoA(GetModuleHandleA(nullptr), name, &window_class)) return true;
  window_class.style = class_style;
  window_class.lpfnWndProc = DefWindowProcA;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  window_class.hbrBackground = null_brush ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                                          : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = name;
  return RegisterClassA(&window_class) != 0;
}

LOGFONTA font_or_default(const std::string& font_bytes) {
  LOGFONTA font = {};
  if (font_bytes.size() == sizeof font) {
    std::memcpy(&font, font_bytes.data(), sizeof font);
  } else {
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  }
  return font;
}

COLORREF paint_colour(uint32_t colour) {
  return colour == kDefaultColour ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour & 0xFFFFFF);
}

}  // namespace units
