// 按钮 (Button): a push button; a click raises event 0.
#include "units/types/core_types.h"
#include "units/types/unit_type_builder.h"

namespace units {
namespace {

constexpr BlockField kFields[] = {
    {FieldForm::U32, 9, 1},    // kind: 0 normal, 1 default button
    {FieldForm::U32, 11, 1},   // horizontal alignment
    {FieldForm::U32, 12, 1},   // vertical alignment
    {FieldForm::Bytes, 8, 1},  // picture
    {FieldForm::Bytes, 13, 1}, // font
    {FieldForm::Text, 10, 1},  // caption
};
constexpr BlockLayout kLayout{1, kFields, std::size(kFields)};
constexpr uint32_t kOwnTypes[] = {1009, 1006, 1005, 1006, 1006, 1013};
constexpr auto kProperties = property_table(kOwnTypes);

constexpr int kPicture = 0, kKind = 1, kCaption = 2, kHAlign = 3, kVAlign = 4, kFont = 5;

class Button final : public UnitControl {
 public:
  Button(uint32_t window_id, uint32_t unit_id) : UnitControl(window_id, unit_id, std::size(kOwnTypes)) {
    m_properties.set_number(kHAlign, 1);
    m_properties.set_number(kVAlign, 1);
  }
  const BlockLayout& layout() const override { return kLayout; }
  uint32_t data_type(int index) const override { return index >= 0 && index < 6 ? kOwnTypes[index] : 0; }

  bool create(const CreateArguments& args) override {
    if (!create_window(0, "BUTTON", m_properties.data(kCaption).c_str(), button_style(args.style), args))
      return false;
    apply_font(kFont);
    return true;
  }

  int32_t write_property(int index, const PropertyValue& value) override {
    UnitControl::write_property(index, value);
    switch (index) {
      case kPicture: return 1;  // a new picture needs a new control
      case kKind:
      case kHAlign:
      case kVAlign: {
        m_properties.set_number(index, clamp_choice(m_properties.number(index), index == kKind ? 1 : 2));
        const LONG keep = GetWindowLongA(handle(), GWL_STYLE) & ~0xFFFF;
        SetWindowLongA(handle(), GWL_STYLE, keep | (button_style(0) & 0xFFFF));
        repaint();
        break;
      }
      case kCaption: SetWindowTextA(handle(), m_properties.data(kCaption).c_str()); break;
      case kFont: apply_font(kFont); break;
    }
    return 0;
  }

  bool is_default_button() override { return (GetWindowLongA(handle(), GWL_STYLE) & 0x1F) == BS_DEFPUSHBUTTON; }

 protected:
  bool on_reflected(UINT message, WPARAM wparam, LPARAM, LRESULT& result) override {
    if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
      raise_event(0);
      result = 0;
      return true;
    }
    return false;
  }
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    const LRESULT result = default_procedure(message, wparam, lparam);
    if (message == WM_SETFOCUS) raise_event(-7);
    if (message == WM_KILLFOCUS) raise_event(-8);
    return result;
  }

 private:
  DWORD button_style(uint32_t template_style) const {
    static constexpr DWORD kH[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
    static constexpr DWORD kV[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};
    DWORD style = template_style | WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE;
    style |= m_properties.number(kKind) == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    style |= kH[clamp_choice(m_properties.number(kHAlign), 2)] | kV[clamp_choice(m_properties.number(kVAlign), 2)];
    return style;
  }
};

}  // namespace

rt::UnitType button_type() {
  return {"按钮", "Button", "", 0, nullptr, 0x80000840, 0, 0, nullptr,
          static_cast<int32_t>(std::size(kProperties.items)), kProperties.items,
          lookup<Button, false, true>, 0, nullptr};
}

}  // namespace units
