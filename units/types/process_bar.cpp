// 进度条 (ProcessBar): a progress bar whose range and position stay in 0-32767.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "units/types/border_style.h"
#include "units/types/core_types.h"
#include "units/types/unit_type_builder.h"

namespace units {
namespace {

constexpr BlockField kFields[] = {
    {FieldForm::U32, 8, 1},  {FieldForm::U32, 9, 1},  {FieldForm::U32, 10, 1},
    {FieldForm::U32, 11, 1}, {FieldForm::U32, 12, 1}, {FieldForm::U32, 13, 1},
};
constexpr BlockLayout kLayout{1, kFields, std::size(kFields)};
constexpr uint32_t kOwnTypes[] = {1006, 1006, 1006, 1001, 1001, 1001};
constexpr auto kProperties = property_table(kOwnTypes);

constexpr int kBorder = 0, kVertical = 1, kSmooth = 2, kMinimum = 3, kMaximum = 4, kPosition = 5;

uint32_t clamp_range(uint32_t value) {
  const auto v = static_cast<int32_t>(value);
  return static_cast<uint32_t>(v < 0 ? 0 : (v > 32767 ? 32767 : v));
}

class ProcessBar final : public UnitControl {
 public:
  ProcessBar(uint32_t window_id, uint32_t unit_id) : UnitControl(window_id, unit_id, std::size(kOwnTypes)) {
    m_properties.set_number(kMaximum, 100);
  }
  const BlockLayout& layout() const override { return kLayout; }
  uint32_t data_type(int index) const override { return index >= 0 && index < 6 ? kOwnTypes[index] : 0; }

  bool create(const CreateArguments& args) override {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
    DWORD style = args.style | WS_CHILD | WS_CLIPSIBLINGS;
    if (m_properties.number(kVertical) == 1) style |= PBS_VERTICAL;
    if (m_properties.number(kSmooth) == 1) style |= PBS_SMOOTH;
    if (!create_window(0, PROGRESS_CLASSA, "", style, args)) return false;
    apply_border_style(handle(), clamp_choice(m_properties.number(kBorder), 5));
    send_range();
    send_position();
    return true;
  }

  int32_t write_property(int index, const PropertyValue& value) override {
    const uint32_t before = m_properties.number(index);
    UnitControl::write_property(index, value);
    switch (index) {
      case kBorder:
        m_properties.set_number(kBorder, clamp_choice(m_properties.number(kBorder), 5));
        apply_border_style(handle(), m_properties.number(kBorder));
        break;
      case kVertical:
      case kSmooth:
        m_properties.set_number(index, clamp_choice(m_properties.number(index), 1));
        return m_properties.number(index) != before ? 1 : 0;
      case kMinimum:
      case kMaximum:
        m_properties.set_number(index, clamp_range(m_properties.number(index)));
        send_range();
        break;
      case kPosition:
        m_properties.set_number(kPosition, clamp_range(m_properties.number(kPosition)));
        send_position();
        break;
    }
    return 0;
  }

 private:
  void send_range() {
    const uint32_t a = m_properties.number(kMinimum), b = m_properties.number(kMaximum);
    SendMessageA(handle(), PBM_SETRANGE, 0, MAKELPARAM(a < b ? a : b, a < b ? b : a));
  }
  void send_position() {
    const auto position = static_cast<int32_t>(m_properties.number(kPosition));
    const auto low = static_cast<int32_t>(m_properties.number(kMinimum));
    const auto high = static_cast<int32_t>(m_properties.number(kMaximum));
    SendMessageA(handle(), PBM_SETPOS, static_cast<WPARAM>(std::min(high, std::max(position, low))), 0);
  }
};

}  // namespace

rt::UnitType process_bar_type() {
  return {"进度条", "ProcessBar", "", 0, nullptr, 0x84010040, 0, 0, nullptr,
          static_cast<int32_t>(std::size(kProperties.items)), kProperties.items,
          lookup<ProcessBar, false, false, false>, 0, nullptr};
}

}  // namespace units
