// 编辑框 (EditBox): an edit control; content changes raise event 0.
#include <windows.h>

#include <commctrl.h>

#include "units/property_types.h"
#include "units/types/border_style.h"
#include "units/types/core_types.h"
#include "units/types/unit_type_builder.h"

namespace units {
namespace {

constexpr BlockField kFields[] = {
    {FieldForm::U32, 9, 1},   {FieldForm::U32, 10, 1},  {FieldForm::U32, 11, 1},  {FieldForm::U32, 13, 1},
    {FieldForm::U32, 14, 1},  {FieldForm::U32, 15, 1},  {FieldForm::U32, 16, 1},  {FieldForm::U32, 17, 1},
    {FieldForm::U32, 18, 1},  {FieldForm::U16, 19, 1},  {FieldForm::U32, 20, 1},  {FieldForm::U32, 21, 1},
    {FieldForm::U32, 22, 1},  {FieldForm::U32, 23, 1},  {FieldForm::U32, 24, 1},  {FieldForm::U32, 25, 1},
    {FieldForm::Bytes, 12, 1}, {FieldForm::Text, 8, 1}, {FieldForm::Text, 27, 2}, {FieldForm::Text, 28, 2},
};
constexpr BlockLayout kLayout{2, kFields, std::size(kFields)};
constexpr uint32_t kOwnTypes[] = {1005, 1006, 1014, 1014, 1013, 1003, 1001, 1003, 1006, 1006, 1006,
                                  1005, 1006, 1006, 1001, 1001, 1001, 1001, 1005, 1005, 1005};
constexpr auto kProperties = property_table(kOwnTypes);

// Own indexes (property number - 8).
constexpr int kContent = 0, kBorder = 1, kTextColour = 2, kBackground = 3, kFont = 4, kHideSelection = 5,
              kMaxLength = 6, kMultiLine = 7, kScrollBars = 8, kAlignment = 9, kInputMode = 10,
              kPasswordChar = 11, kLetterCase = 12, kUpDown = 13, kSelectionStart = 16, kSelectionLength = 17,
              kSelectedText = 18;

class EditBox final : public UnitControl {
 public:
  EditBox(uint32_t window_id, uint32_t unit_id) : UnitControl(window_id, unit_id, std::size(kOwnTypes)) {
    m_properties.set_number(kBorder, 1);
    m_properties.set_number(kBackground, kDefaultColour);
    m_properties.set_number(kPasswordChar, '*');
  }
  const BlockLayout& layout() const override { return kLayout; }
  uint32_t data_type(int index) const override {
    return index >= 0 && static_cast<size_t>(index) < std::size(kOwnTypes) ? kOwnTypes[index] : 0;
  }

  bool create(const CreateArguments& args) override {
    static constexpr DWORD kAlign[] = {ES_LEFT, ES_CENTER, ES_RIGHT};
    static constexpr DWORD kScroll[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
    static constexpr DWORD kCase[] = {0, ES_UPPERCASE, ES_LOWERCASE};
    DWORD style = args.style | WS_CHILD | WS_CLIPSIBLINGS | kAlign[clamp_choice(m_properties.number(kAlignment), 2)] |
                  kScroll[clamp_choice(m_properties.number(kScrollBars), 3)] |
                  kCase[clamp_choice(m_properties.number(kLetterCase), 2)];
    if (m_properties.number(kMultiLine))
      style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    else
      style |= ES_AUTOHSCROLL;
    if (!m_properties.number(kHideSelection)) style |= ES_NOHIDESEL;
    if (!create_window(0, "EDIT", "", style, args)) return false;
    apply_border_style(handle(), clamp_choice(m_properties.number(kBorder), 5));
    apply_font(kFont);
    apply_input_mode();
    apply_max_length();
    m_quiet = true;  // the stored content is not a change
    SetWindowTextA(handle(), m_properties.data(kContent).c_str());
    m_quiet = false;
    if (m_properties.number(kUpDown)) create_up_down(args);
    return true;
  }

  int32_t write_property(int index, const PropertyValue& value) override {
    UnitControl::write_property(index, value);
    switch (index) {
      case kContent:
        // The program's write is a change like a typed one: event 0 follows once.
        m_quiet = true;
        SetWindowTextA(handle(), m_properties.data(kContent).c_str());
        m_quiet = false;
        SendMessageA(GetParent(handle()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(handle()), EN_CHANGE),
                     reinterpret_cast<LPARAM>(handle()));
        break;
      case kBorder:
        m_properties.set_number(kBorder, clamp_choice(m_properties.number(kBorder), 5));
        apply_border_style(handle(), m_properties.number(kBorder));
        break;
      case kTextColour:
      case kBackground: repaint(); break;
      case kFont: apply_font(kFont); break;
      case kMultiLine:
      case kHideSelection:
      case kScrollBars:
      case kAlignment:
      case kLetterCase:
      case kUpDown: return 1;
      case kMaxLength: apply_max_length(); break;
      case kInputMode:
        m_properties.set_number(kInputMode, clamp_choice(m_properties.number(kInputMode), 11));
        apply_input_mode();
        break;
      case kPasswordChar:
        m_properties.set_number(kPasswordChar,
                                static_cast<uint8_t>(m_properties.data(kPasswordChar).empty()
                                                         ? 0
                                                         : m_properties.data(kPasswordChar)[0]));
        apply_input_mode();
        break;
      case kSelectionStart:
      case kSelectionLength: apply_selection(); break;
      case kSelectedText:
        SendMessageA(handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(m_properties.data(kSelectedText).c_str()));
        break;
    }
    return 0;
  }

  bool read_property(int index, PropertyValue& out) override {
    if (handle()) {
      if (index == kContent) m_properties.set_data(kContent, window_text());
      if (index == kPasswordChar) m_properties.set_data(kPasswordChar, std::string(1, static_cast<char>(m_properties.number(kPasswordChar))));
      if (index == kSelectionStart || index == kSelectionLength || index == kSelectedText) {
        DWORD start = 0, end = 0;
        SendMessageA(handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        m_properties.set_number(kSelectionStart, start);
        m_properties.set_number(kSelectionLength, end - start);
        m_properties.set_data(kSelectedText, window_text().substr(start, end - start));
      }
    }
    return UnitControl::read_property(index, out);
  }

  bool wants_key(int32_t key) override {
    return key == VK_RETURN && (GetWindowLongA(handle(), GWL_STYLE) & ES_WANTRETURN) != 0;
  }

 protected:
  bool on_reflected(UINT message, WPARAM wparam, LPARAM, LRESULT& result) override {
    if (message == WM_COMMAND) {
      switch (HIWORD(wparam)) {
        case EN_CHANGE:
          if (!m_quiet) raise_event(0);
          break;
        case EN_SETFOCUS: raise_event(-7); break;
        case EN_KILLFOCUS: raise_event(-8); break;
      }
      return false;
    }
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) {
      const uint32_t background = m_properties.number(kBackground);
      if (background == kDefaultColour && m_properties.number(kTextColour) == 0) return false;
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, paint_colour(m_properties.number(kTextColour)));
      const COLORREF back = background == kDefaultColour ? GetSysColor(COLOR_WINDOW) : paint_colour(background);
      SetBkColor(dc, back);
      result = reinterpret_cast<LRESULT>(background_brush(background == kDefaultColour ? GetSysColor(COLOR_WINDOW) : background));
      return true;
    }
    return false;
  }

 private:
  std::string window_text() const {
    const int n = GetWindowTextLengthA(handle());
    std::string text(static_cast<size_t>(n) + 1, '\0');
    GetWindowTextA(handle(), text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
  }
  void apply_input_mode() {
    const uint32_t mode = m_properties.number(kInputMode);
    SendMessageA(handle(), EM_SETREADONLY, mode == 1, 0);
    SendMessageA(handle(), EM_SETPASSWORDCHAR, mode == 2 ? m_properties.number(kPasswordChar) : 0, 0);
    InvalidateRect(handle(), nullptr, TRUE);
  }
  void apply_max_length() {
    const auto length = static_cast<int32_t>(m_properties.number(kMaxLength));
    m_properties.set_number(kMaxLength, static_cast<uint32_t>(length < 0 ? 0 : length));
    SendMessageA(handle(), EM_LIMITTEXT, m_properties.number(kMaxLength), 0);
  }
  void apply_selection() {
    auto start = static_cast<int32_t>(m_properties.number(kSelectionStart));
    auto length = static_cast<int32_t>(m_properties.number(kSelectionLength));
    const int32_t text_length = GetWindowTextLengthA(handle());
    if (start < -1) start = 0;
    if (length < -1) length = 0;
    m_properties.set_number(kSelectionStart, static_cast<uint32_t>(start));
    m_properties.set_number(kSelectionLength, static_cast<uint32_t>(length));
    if (start == -1) start = text_length;
    const int32_t end = length == -1 ? text_length : start + length;
    SendMessageA(handle(), EM_SETSEL, static_cast<WPARAM>(length == -1 ? 0 : start), end);
  }
  void create_up_down(const CreateArguments& args) {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&init);
    CreateWindowExA(0, UPDOWN_CLASSA, nullptr,
                    WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS, 0, 0, 0, 0,
                    args.parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(args.control_id + 4)),
                    GetModuleHandleA(nullptr), nullptr);
  }

  bool m_quiet = false;
};

}  // namespace

rt::UnitType edit_box_type() {
  return {"编辑框", "EditBox", "", 0, nullptr, 0x80000040, 0, 0, nullptr,
          static_cast<int32_t>(std::size(kProperties.items)), kProperties.items, lookup<EditBox, true>, 0, nullptr};
}

}  // namespace units
