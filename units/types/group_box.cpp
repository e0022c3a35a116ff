// 分组框 (GroupBox): a captioned frame that holds other units.
#include "units/property_types.h"
#include "units/types/core_types.h"
#include "units/types/unit_type_builder.h"

namespace units {
namespace {

constexpr BlockField kFields[] = {
    {FieldForm::U32, 9, 1}, {FieldForm::U32, 10, 1}, {FieldForm::U32, 11, 1},
    {FieldForm::Bytes, 12, 1}, {FieldForm::Text, 8, 1},
};
constexpr BlockLayout kLayout{1, kFields, std::size(kFields)};
constexpr uint32_t kOwnTypes[] = {1005, 1006, 1014, 1014, 1013};
constexpr auto kProperties = property_table(kOwnTypes);

constexpr int kCaption = 0, kAlign = 1, kTextColour = 2, kBackground = 3, kFont = 4;
constexpr DWORD kAlignStyles[] = {BS_LEFT, BS_CENTER, BS_RIGHT};

class GroupBox final : public UnitControl {
 public:
  GroupBox(uint32_t window_id, uint32_t unit_id) : UnitControl(window_id, unit_id, std::size(kOwnTypes)) {
    m_properties.set_number(kBackground, kDefaultColour);
  }
  const BlockLayout& layout() const override { return kLayout; }
  uint32_t data_type(int index) const override { return index >= 0 && index < 5 ? kOwnTypes[index] : 0; }

  bool create(const CreateArguments& args) override {
    const DWORD style = args.style | WS_CHILD | WS_CLIPSIBLINGS | BS_GROUPBOX |
                        kAlignStyles[clamp_choice(m_properties.number(kAlign), 2)];
    // A container: the keyboard interface walks into the units on it.
    if (!create_window(WS_EX_CONTROLPARENT, "BUTTON", m_properties.data(kCaption).c_str(), style, args)) return false;
    apply_font(kFont);
    return true;
  }

  int32_t write_property(int index, const PropertyValue& value) override {
    UnitControl::write_property(index, value);
    switch (index) {
      case kCaption: SetWindowTextA(handle(), m_properties.data(kCaption).c_str()); break;
      case kAlign: {
        m_properties.set_number(kAlign, clamp_choice(m_properties.number(kAlign), 2));
        const LONG style = GetWindowLongA(handle(), GWL_STYLE) & ~(BS_LEFT | BS_CENTER | BS_RIGHT);
        SetWindowLongA(handle(), GWL_STYLE, style | kAlignStyles[m_properties.number(kAlign)]);
        repaint();
        break;
      }
      case kTextColour:
      case kBackground: repaint(); break;
      case kFont: apply_font(kFont); break;
    }
    return 0;
  }

 protected:
  bool on_reflected(UINT message, WPARAM wparam, LPARAM, LRESULT& result) override {
    if (message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORBTN) return false;
    HDC dc = reinterpret_cast<HDC>(wparam);
    SetTextColor(dc, paint_colour(m_properties.number(kTextColour)));
    SetBkColor(dc, paint_colour(m_properties.number(kBackground)));
    result = reinterpret_cast<LRESULT>(background_brush(m_properties.number(kBackground)));
    return true;
  }
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    // The frame is drawn by the button class; what lies inside is ours to fill,
    // or the units placed on the group would paint over stale pixels.
    if (message == WM_ERASEBKGND) {
      RECT r;
      GetClientRect(handle(), &r);
      FillRect(reinterpret_cast<HDC>(wparam), &r, background_brush(m_properties.number(kBackground)));
      return 1;
    }
    return default_procedure(message, wparam, lparam);
  }
};

}  // namespace

rt::UnitType group_box_type() {
  return {"分组框", "GroupBox", "", 0, nullptr, 0x840140C0, 0, 0, nullptr,
          static_cast<int32_t>(std::size(kProperties.items)), kProperties.items, lookup<GroupBox>, 0, nullptr};
}

}  // namespace units
