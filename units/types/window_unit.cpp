// 窗口 (window): a top-level window; its own unit is the first of its units.
#include "runtime/system_function.h"
#include "units/property_types.h"
#include "units/types/core_types.h"
#include "units/types/icon_file.h"
#include "units/types/picture.h"
#include "units/types/unit_type_builder.h"
#include "units/window_events.h"

namespace units {
namespace {

constexpr BlockField kFields[] = {
    {FieldForm::U32, 9, 1},   {FieldForm::U32, 10, 1},  {FieldForm::U32, 12, 1},  {FieldForm::U32, 14, 1},
    {FieldForm::U32, 15, 1},  {FieldForm::U32, 16, 1},  {FieldForm::U32, 17, 1},  {FieldForm::U32, 18, 1},
    {FieldForm::U32, 19, 1},  {FieldForm::U32, 21, 1},  {FieldForm::U32, 22, 1},  {FieldForm::U32, 23, 1},
    {FieldForm::U32, 25, 1},  {FieldForm::U32, 26, 2},  {FieldForm::U32, 27, 3},  {FieldForm::U32, 28, 3},
    {FieldForm::U32, 29, 4},  {FieldForm::U32, 30, 5},  {FieldForm::Text, 31, 6}, {FieldForm::Bytes, 11, 1},
    {FieldForm::Bytes, 20, 1}, {FieldForm::Bytes, 13, 1}, {FieldForm::Text, 8, 1}, {FieldForm::Text, 24, 1},
};
constexpr BlockLayout kLayout{6, kFields, std::size(kFields)};
constexpr uint32_t kOwnTypes[] = {1005, 1006, 1014, 1009, 1006, 1009, 1006, 1003, 1003, 1003, 1006, 1003,
                                  1010, 1003, 1003, 1003, 1005, 1001, 1003, 1003, 1006, 1003, 1003, 1005};
constexpr auto kProperties = property_table(kOwnTypes);

constexpr int kCaption = 0, kBorder = 1, kBackground = 2, kPicture = 3, kPictureMode = 4, kControlBox = 7,
              kMaximiseBox = 8, kMinimiseBox = 9, kPosition = 10, kMovable = 11, kIcon = 12, kAlwaysOnTop = 21;

constexpr UINT kTrayMessage = 0x8064;

class Window final : public UnitControl {
 public:
  Window(uint32_t window_id, uint32_t unit_id) : UnitControl(window_id, unit_id, std::size(kOwnTypes)) {
    m_properties.set_number(kBorder, 2);
    m_properties.set_number(kBackground, kDefaultColour);
    m_properties.set_number(kControlBox, 1);
    m_properties.set_number(kMinimiseBox, 1);
    m_properties.set_number(kMovable, 1);
  }
  const BlockLayout& layout() const override { return kLayout; }
  uint32_t data_type(int index) const override {
    return index >= 0 && static_cast<size_t>(index) < std::size(kOwnTypes) ? kOwnTypes[index] : 0;
  }

  bool create(const CreateArguments& args) override {
    register_runtime_class("_QW_Window", CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, false);
    DWORD ex_style = 0;
    const DWORD style = frame_style(ex_style) | WS_CLIPCHILDREN | (args.style & (WS_DISABLED | WS_TABSTOP));
    CreateArguments top = args;
    top.control_id = 0;  // a top-level window has a menu, not an id
    if (!create_window(ex_style | WS_EX_CONTROLPARENT, "_QW_Window", m_properties.data(kCaption).c_str(), style, top))
      return false;
    apply_icon();
    if (m_properties.number(kAlwaysOnTop))
      SetWindowPos(handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
  }

  int32_t write_property(int index, const PropertyValue& value) override {
    UnitControl::write_property(index, value);
    switch (index) {
      case kCaption:
        SetWindowTextA(handle(), m_properties.data(kCaption).c_str());
        reapply_frame();
        break;
      case kBorder:
        m_properties.set_number(kBorder, clamp_choice(m_properties.number(kBorder), 6));
        reapply_frame();
        break;
      case kControlBox:
      case kMaximiseBox:
      case kMinimiseBox: reapply_frame(); break;
      case kBackground: repaint(); break;
      case kPicture:
        m_picture.reset();
        repaint();
        break;
      case kPosition:
        m_properties.set_number(kPosition, clamp_choice(m_properties.number(kPosition), 3));
        if (IsWindowVisible(handle())) apply_position();
        break;
      case kMovable: {
        HMENU menu = GetSystemMenu(handle(), TRUE);  // restores the system menu
        (void)menu;
        if (!m_properties.number(kMovable)) RemoveMenu(GetSystemMenu(handle(), FALSE), SC_MOVE, MF_BYCOMMAND);
        break;
      }
      case kIcon: apply_icon(); break;
      case kAlwaysOnTop:
        SetWindowPos(handle(), m_properties.number(kAlwaysOnTop) ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
    }
    return 0;
  }

  // Shows the window after loading: by its position property unless the
  // program was built in mode 0.
  void show_loaded(uint32_t build_mode) {
    if (build_mode == 0) {
      ShowWindow(handle(), SW_SHOW);
      return;
    }
    switch (m_properties.number(kPosition)) {
      case 3: ShowWindow(handle(), SW_SHOWMAXIMIZED); break;
      case 2: ShowWindow(handle(), SW_SHOWMINIMIZED); break;
      default: ShowWindow(handle(), SW_SHOW); break;
    }
  }

 protected:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_CLOSE:
        if (!close_allowed()) return 0;
        break;
      case WM_COMMAND:
        if (lparam == 0 && raise_menu_command(window_id(), LOWORD(wparam))) return 0;
        break;
      case WM_QUERYENDSESSION: {
        rt::EventAnswer answer;
        if (raise_event(1, {}, &answer) && answer.given && answer.value == 0) return FALSE;
        return TRUE;
      }
      case WM_DESTROY: raise_event(2); break;
      case WM_MOVE: raise_event(3); break;
      case WM_SIZE: raise_event(4); break;
      case WM_SHOWWINDOW: raise_event(wparam ? 10 : 11); break;
      case WM_SETFOCUS: raise_event(-7); break;
      case WM_KILLFOCUS: raise_event(-8); break;
      case kTrayMessage:
        switch (lparam) {
          case WM_LBUTTONUP: raise_event(9, {1}); break;
          case WM_LBUTTONDBLCLK: raise_event(9, {2}); break;
          case WM_RBUTTONUP:
          case WM_CONTEXTMENU: raise_event(9, {3}); break;
        }
        return 0;
      case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(handle(), &r);
        HDC dc = reinterpret_cast<HDC>(wparam);
        FillRect(dc, &r, background_brush(m_properties.number(kBackground)));
        if (!m_properties.data(kPicture).empty() &&
            (!m_picture.empty() || m_picture.decode(m_properties.data(kPicture))))
          m_picture.draw(dc, m_properties.number(kPictureMode) == 1 ? r : RECT{0, 0, m_picture.size().cx, m_picture.size().cy});
        return 1;
      }
    }
    return default_procedure(message, wparam, lparam);
  }

 public:
  // The program closes the window: its handlers are asked, but cannot refuse.
  void close_by_program() {
    m_closing_by_program = true;
    SendMessageA(handle(), WM_CLOSE, 0, 0);
  }

 private:
  // Event 12, then event 1: an answer "no" keeps the window open unless the
  // program itself is closing it. A handler may destroy the window (and this
  // object with it), so nothing of the object is used after that.
  bool close_allowed() {
    const HWND self = handle();
    const uint32_t id = window_id();
    const bool by_program = m_closing_by_program;
    for (int32_t event : {12, 1}) {
      rt::EventAnswer answer;
      const bool ran = raise_event(event, {}, &answer);
      if (!IsWindow(self) || from_handle(self) != this) return false;
      if (ran && answer.given && answer.value == 0 && !by_program) return false;
    }
    release_modal_windows(id);
    return true;
  }

  DWORD frame_style(DWORD& ex_style) const {
    const uint32_t border = clamp_choice(m_properties.number(kBorder), 6);
    const bool control_box = m_properties.number(kControlBox) != 0;
    DWORD style = WS_CLIPSIBLINGS;
    ex_style = 0;
    switch (border) {
      case 0: return style | WS_POPUP;
      case 1: style |= WS_THICKFRAME; break;
      case 2: style |= WS_DLGFRAME; break;
      case 3: style |= WS_THICKFRAME; ex_style |= WS_EX_TOOLWINDOW; break;
      case 4: style |= WS_DLGFRAME; ex_style |= WS_EX_TOOLWINDOW; break;
      case 5: style |= WS_THICKFRAME; ex_style |= WS_EX_CLIENTEDGE; break;
      case 6: style |= WS_DLGFRAME; ex_style |= WS_EX_CLIENTEDGE; break;
    }
    if (!m_properties.data(kCaption).empty() || control_box) style |= WS_CAPTION;
    if (control_box) style |= WS_SYSMENU;
    if (m_properties.number(kMaximiseBox)) style |= WS_MAXIMIZEBOX;
    if (m_properties.number(kMinimiseBox)) style |= WS_MINIMIZEBOX;
    return style;
  }

  void reapply_frame() {
    constexpr DWORD kFrameBits = WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_DLGFRAME | WS_BORDER | WS_SYSMENU |
                                 WS_MAXIMIZEBOX | WS_MINIMIZEBOX;
    DWORD ex_style = 0;
    const DWORD frame = frame_style(ex_style);
    const LONG style = (GetWindowLongA(handle(), GWL_STYLE) & ~kFrameBits) | (frame & kFrameBits);
    const LONG ex = (GetWindowLongA(handle(), GWL_EXSTYLE) & ~(WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE)) | ex_style;
    SetWindowLongA(handle(), GWL_STYLE, style);
    SetWindowLongA(handle(), GWL_EXSTYLE, ex);
    SetWindowPos(handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }

  void apply_position() {
    switch (m_properties.number(kPosition)) {
      case 0: ShowWindow(handle(), SW_SHOWNORMAL); break;
      case 1: {
        if (IsIconic(handle()) || IsZoomed(handle())) ShowWindow(handle(), SW_RESTORE);
        RECT r;
        GetWindowRect(handle(), &r);
        const int left = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
        const int top = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
        if (left != r.left || top != r.top)
          SetWindowPos(handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      }
      case 2: ShowWindow(handle(), SW_MINIMIZE); break;
      case 3: ShowWindow(handle(), SW_MAXIMIZE); break;
    }
  }

  void apply_icon() {
    HICON big = icon_from_file_bytes(m_properties.data(kIcon), GetSystemMetrics(SM_CXICON));
    HICON small = icon_from_file_bytes(m_properties.data(kIcon), GetSystemMetrics(SM_CXSMICON));
    if (!big) big = reinterpret_cast<HICON>(static_cast<intptr_t>(rt::system_function(rt::sysfn::kDefaultIcon, 0, 0)));
    if (!small) small = big;
    SendMessageA(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageA(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  }

  Picture m_picture;
  bool m_closing_by_program = false;
};

void* RT_STDCALL window_data(const uint8_t* data, uint32_t size) {
  Window values(0, 0);
  if (!values.properties().load(kLayout, data, size) || values.properties().data(kIcon).empty()) return nullptr;
  const std::string& icon = values.properties().data(kIcon);
  return global_block(std::vector<uint8_t>(icon.begin(), icon.end()));
}

void* RT_STDCALL window_lookup(int32_t code) {
  if (code == op::kWindowData) return reinterpret_cast<void*>(&window_data);
  return lookup<Window>(code);
}

}  // namespace

rt::UnitType window_type() {
  return {"窗口", "window", "", 0, nullptr, 0x800000D0, 0, 0, nullptr,
          static_cast<int32_t>(std::size(kProperties.items)), kProperties.items, window_lookup, 0, nullptr};
}

void show_loaded_window(void* control, uint32_t build_mode) { static_cast<Window*>(control)->show_loaded(build_mode); }

}  // namespace units
