// 选择框 (CheckBox) and 单选框 (RadioBox): buttons with a check mark; a click
// raises event 0.
#include "units/property_types.h"
#include "units/types/core_types.h"
#include "units/types/unit_type_builder.h"

namespace units {
namespace {

constexpr BlockField kCheckFields[] = {
    {FieldForm::U32, 9, 1},   {FieldForm::U32, 10, 1},  {FieldForm::U32, 12, 1}, {FieldForm::U32, 13, 1},
    {FieldForm::U32, 14, 1},  {FieldForm::U32, 15, 1},  {FieldForm::U32, 16, 1}, {FieldForm::U32, 18, 1},
    {FieldForm::Bytes, 8, 1}, {FieldForm::Bytes, 17, 1}, {FieldForm::Text, 11, 1}, {FieldForm::Text, 19, 2},
    {FieldForm::Text, 20, 2},
};
constexpr BlockLayout kCheckLayout{2, kCheckFields, std::size(kCheckFields)};
constexpr BlockLayout kRadioLayout{1, kCheckFields, std::size(kCheckFields) - 2};

constexpr uint32_t kCheckTypes[] = {1009, 1003, 1003, 1005, 1003, 1006, 1006,
                                    1014, 1014, 1013, 1003, 1005, 1005};
constexpr uint32_t kRadioTypes[] = {1009, 1003, 1003, 1005, 1003, 1006, 1006, 1014, 1014, 1013, 1003};
constexpr auto kCheckProperties = property_table(kCheckTypes);
constexpr auto kRadioProperties = property_table(kRadioTypes);

constexpr int kPicture = 0, kCaption = 3, kHAlign = 5, kVAlign = 6, kTextColour = 7, kBackground = 8, kFont = 9,
              kChecked = 10;

template <bool kRadio>
class CheckControl final : public UnitControl {
 public:
  CheckControl(uint32_t window_id, uint32_t unit_id)
      : UnitControl(window_id, unit_id, kRadio ? std::size(kRadioTypes) : std::size(kCheckTypes)) {
    m_properties.set_number(kBackground, kDefaultColour);
    m_properties.set_number(kVAlign, 1);
  }
  const BlockLayout& layout() const override { return kRadio ? kRadioLayout : kCheckLayout; }
  uint32_t data_type(int index) const override {
    if (index < 0 || static_cast<size_t>(index) >= m_properties.size()) return 0;
    return kRadio ? kRadioTypes[index] : kCheckTypes[index];
  }

  bool create(const CreateArguments& args) override {
    static constexpr DWORD kH[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
    static constexpr DWORD kV[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};
    const DWORD style = args.style | WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE |
                        (kRadio ? BS_AUTORADIOBUTTON : BS_AUTOCHECKBOX) |
                        kH[clamp_choice(m_properties.number(kHAlign), 2)] |
                        kV[clamp_choice(m_properties.number(kVAlign), 2)];
    if (!create_window(0, "BUTTON", m_properties.data(kCaption).c_str(), style, args)) return false;
    apply_font(kFont);
    SendMessageA(handle(), BM_SETCHECK, m_properties.number(kChecked) == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    return true;
  }

  int32_t write_property(int index, const PropertyValue& value) override {
    UnitControl::write_property(index, value);
    switch (index) {
      case kPicture: return 1;
      case kCaption: SetWindowTextA(handle(), m_properties.data(kCaption).c_str()); break;
      case kChecked:
        SendMessageA(handle(), BM_SETCHECK, m_properties.number(kChecked) == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case kFont: apply_font(kFont); break;
      case kHAlign:
      case kVAlign: m_properties.set_number(index, clamp_choice(m_properties.number(index), 2)); break;
      case kTextColour:
      case kBackground: repaint(); break;
    }
    return 0;
  }

  bool read_property(int index, PropertyValue& out) override {
    if (index == kChecked && handle())
      m_properties.set_number(kChecked, SendMessageA(handle(), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    return UnitControl::read_property(index, out);
  }

 protected:
  bool on_reflected(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override {
    if (message == WM_COMMAND) {
      const WORD code = HIWORD(wparam);
      if (code == BN_CLICKED || (!kRadio && code == 1)) raise_event(0);
      return false;
    }
    if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN) {
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, paint_colour(m_properties.number(kTextColour)));
      SetBkColor(dc, paint_colour(m_properties.number(kBackground)));
      result = reinterpret_cast<LRESULT>(background_brush(m_properties.number(kBackground)));
      return true;
    }
    return false;
  }
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    const LRESULT result = default_procedure(message, wparam, lparam);
    if (kRadio && message == WM_SETFOCUS) raise_event(-7);
    if (kRadio && message == WM_KILLFOCUS) raise_event(-8);
    return result;
  }
};

}  // namespace

rt::UnitType check_box_type() {
  return {"选择框", "CheckBox", "", 0, nullptr, 0x80001040, 0, 0, nullptr,
          static_cast<int32_t>(std::size(kCheckProperties.items)), kCheckProperties.items,
          lookup<CheckControl<false>>, 0, nullptr};
}

rt::UnitType radio_box_type() {
  return {"单选框", "RadioBox", "", 0, nullptr, 0x80000440, 0, 0, nullptr,
          static_cast<int32_t>(std::size(kRadioProperties.items)), kRadioProperties.items,
          lookup<CheckControl<true>>, 0, nullptr};
}

}  // namespace units
