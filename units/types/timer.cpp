// 时钟 (Timer): no visible control; each tick of its interval raises event 0.
#include "units/types/core_types.h"
#include "units/types/unit_type_builder.h"

namespace units {
namespace {

constexpr BlockField kFields[] = {{FieldForm::U32, 8, 1}};
constexpr BlockLayout kLayout{1, kFields, std::size(kFields)};
constexpr uint32_t kOwnTypes[] = {1001};
constexpr auto kProperties = property_table(kOwnTypes);

constexpr int kInterval = 0;
constexpr UINT_PTR kTimerId = 1000;

class Timer final : public UnitControl {
 public:
  Timer(uint32_t window_id, uint32_t unit_id) : UnitControl(window_id, unit_id, std::size(kOwnTypes)) {}
  const BlockLayout& layout() const override { return kLayout; }
  uint32_t data_type(int index) const override { return index == 0 ? kOwnTypes[0] : 0; }

  bool create(const CreateArguments& args) override {
    register_runtime_class("_QW_Timer", CS_DBLCLKS, true);
    DWORD style = (args.style & ~WS_VISIBLE) | WS_CHILD | WS_CLIPSIBLINGS;
    if (args.extra == 1) style |= WS_BORDER;
    if (!create_window(0, "_QW_Timer", nullptr, style, args)) return false;
    const uint32_t interval = normalised(m_properties.number(kInterval));
    m_properties.set_number(kInterval, 0);
    set_interval(interval);
    return true;
  }

  int32_t write_property(int index, const PropertyValue& value) override {
    if (index != kInterval) return UnitControl::write_property(index, value);
    set_interval(normalised(static_cast<uint32_t>(value.value)));
    return 0;
  }

 protected:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    const LRESULT result = default_procedure(message, wparam, lparam);
    if (message == WM_TIMER && wparam == kTimerId) raise_event(0);
    return result;
  }

 private:
  static uint32_t normalised(uint32_t interval) { return static_cast<int32_t>(interval) < 0 ? 0 : interval; }

  void set_interval(uint32_t interval) {
    if (interval == m_properties.number(kInterval) && m_running == (interval > 0)) return;
    m_properties.set_number(kInterval, interval);
    if (m_running) KillTimer(handle(), kTimerId);
    m_running = interval > 0 && SetTimer(handle(), kTimerId, interval, nullptr) != 0;
  }

  bool m_running = false;
};

}  // namespace

rt::UnitType timer_type() {
  return {"时钟", "Timer", "", 0, nullptr, 0x80008040, 0, 0, nullptr,
          static_cast<int32_t>(std::size(kProperties.items)), kProperties.items,
          lookup<Timer, false, false, false>, 0, nullptr};
}

}  // namespace units
