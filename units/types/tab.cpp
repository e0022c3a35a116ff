// 选择夹 (Tab): pages of units. The runtime's "_QW_Tab" window holds a system
// tab control for the page headers; units placed on the tab are children of
// the "_QW_Tab" window, above the headers.
#include <windows.h>

#include <commctrl.h>

#include "units/property_types.h"
#include "units/tab_pages.h"
#include "units/types/core_types.h"
#include "units/types/unit_type_builder.h"

namespace units {
namespace {

constexpr BlockField kFields[] = {
    {FieldForm::U32, 8, 1},  {FieldForm::U32, 9, 1},  {FieldForm::U32, 12, 1}, {FieldForm::U32, 13, 2},
    {FieldForm::U32, 14, 3}, {FieldForm::U32, 15, 3}, {FieldForm::Bytes, 10, 1}, {FieldForm::PageCaptions, 0, 1},
};
constexpr BlockLayout kLayout{3, kFields, std::size(kFields)};
constexpr uint32_t kOwnTypes[] = {1006, 1003, 1013, 1024, 1001, 1003, 1003, 1014};
constexpr auto kProperties = property_table(kOwnTypes);

constexpr int kFont = 2;

class Tab final : public UnitControl {
 public:
  Tab(uint32_t window_id, uint32_t unit_id) : UnitControl(window_id, unit_id, std::size(kOwnTypes)) {
    m_properties.set_number(7, kDefaultColour);
  }
  const BlockLayout& layout() const override { return kLayout; }
  uint32_t data_type(int index) const override {
    return index >= 0 && static_cast<size_t>(index) < std::size(kOwnTypes) ? kOwnTypes[index] : 0;
  }

  bool create(const CreateArguments& args) override {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_TAB_CLASSES};
    InitCommonControlsEx(&init);
    register_runtime_class("_QW_Tab", 11, false);
    if (!create_window(WS_EX_CONTROLPARENT, "_QW_Tab", nullptr,
                       args.style | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, args))
      return false;
    m_headers = CreateWindowExA(0, WC_TABCONTROLA, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                                args.width, args.height, handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!m_headers) return false;
    apply_font(kFont);
    SendMessageA(m_headers, WM_SETFONT, SendMessageA(handle(), WM_GETFONT, 0, 0), FALSE);
    int i = 0;
    for (const std::string& caption : m_properties.pages()) {
      TCITEMA item = {};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<char*>(caption.c_str());
      SendMessageA(m_headers, TCM_INSERTITEMA, i++, reinterpret_cast<LPARAM>(&item));
    }
    return true;
  }

  int32_t write_property(int index, const PropertyValue& value) override {
    UnitControl::write_property(index, value);
    if (index == kFont) {
      apply_font(kFont);
      SendMessageA(m_headers, WM_SETFONT, SendMessageA(handle(), WM_GETFONT, 0, 0), TRUE);
    }
    return 0;
  }

 protected:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message >= TCM_FIRST && message < TCM_FIRST + 0x100 && m_headers)
      return SendMessageA(m_headers, message, wparam, lparam);
    switch (message) {
      case WM_SIZE:
        if (m_headers) MoveWindow(m_headers, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
        break;
      case WM_NOTIFY: {
        LRESULT result = 0;
        if (notification(reinterpret_cast<const NMHDR*>(lparam)->code, result)) return result;
        break;
      }
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
        // Units on a page that do not paint their own background take the tab's.
        SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return default_procedure(message, wparam, lparam);
  }

  bool on_reflected(UINT message, WPARAM, LPARAM lparam, LRESULT& result) override {
    return message == WM_NOTIFY && notification(reinterpret_cast<const NMHDR*>(lparam)->code, result);
  }

 private:
  bool notification(UINT code, LRESULT& result) {
    switch (code) {
      case NM_CLICK: raise_event(0); result = 0; return true;
      case TCN_SELCHANGING: {
        rt::EventAnswer answer;
        const bool ran = raise_event(1, {}, &answer);
        result = ran && answer.given && answer.value == 0 ? TRUE : FALSE;  // "no" keeps the page
        return true;
      }
      case TCN_SELCHANGE: {
        const uint32_t window_id = this->window_id(), unit_id = this->unit_id();
        const HWND self = handle();
        raise_event(2);
        if (IsWindow(self) && from_handle(self) == this)
          show_selected_page(window_id, unit_id, static_cast<int>(SendMessageA(m_headers, TCM_GETCURSEL, 0, 0)));
        result = 0;
        return true;
      }
      default: return false;
    }
  }

  HWND m_headers = nullptr;
};

}  // namespace

rt::UnitType tab_type() {
  return {"选择夹", "Tab", "", 0, nullptr, 0x800101C0, 0, 0, nullptr,
          static_cast<int32_t>(std::size(kProperties.items)), kProperties.items, lookup<Tab>, 0, nullptr};
}

}  // namespace units
