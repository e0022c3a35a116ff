// Events from a unit's control to the program's handler routine.
#include "runtime/event_record.h"
#include "runtime/event_routine.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_error.h"
#include "units/window_units.h"

namespace units {
namespace {

// The handler linked to `event` of `unit`, or 0.
uintptr_t find_handler(const UnitEntry& unit, int32_t event) {
  if (unit.is_menu_item()) return unit.menu_handler;
  for (const EventLink& link : unit.events)
    if (link.event == event) return link.handler;
  return 0;
}

struct Resolved {
  uintptr_t handler = 0;
  uint32_t unit_id = 0;
};

}  // namespace

// Finds the handler of an event, reporting the runtime errors of a window or
// unit that cannot be found. Nothing runs while an error report, a
// re-creation or the end of the program is in progress.
static bool resolve(WindowUnits& layer, uint32_t window_id, uint32_t unit_id, int32_t event, Resolved& out) {
  rt::RuntimeApp* app = rt::RuntimeApp::current();
  if (!app || app->error_depth() >= 1) return false;
  WindowTemplate* window = layer.loaded_window(window_id);
  if (!window || window->live.empty())
    rt::report_runtime_error("未找到引发事件的窗口", 0, static_cast<int32_t>(window_id), 0);
  const UnitEntry* unit = TemplateRegistry::find_entry(*window, unit_id);
  if (!unit)
    rt::report_runtime_error("未找到引发事件的窗口组件", 0, static_cast<int32_t>(window_id),
                             static_cast<int32_t>(unit_id));
  if (!unit->is_menu_item()) {
    const rt::UnitType* type = WindowUnits::type_of(*unit);
    if (!type || !(type->state_flags & (rt::unit_flag::kWindowUnit | rt::unit_flag::kEventSource)))
      rt::report_runtime_error("引发事件的窗口组件无效", 0, static_cast<int32_t>(window_id),
                               static_cast<int32_t>(unit_id));
  }
  out.handler = find_handler(*unit, event);
  out.unit_id = unit->id;
  return out.handler != 0;
}

static rt::EventAnswer call_handler(uint32_t window_id, uint32_t unit_id, uintptr_t handler,
                                    const rt::EventArguments& arguments) {
  rt::RuntimeApp* app = rt::RuntimeApp::current();
  app->set_event_source({window_id, unit_id});
  const rt::EventAnswer answer = rt::routine_at(handler)(arguments);
  rt::EventSource source = app->event_source();
  source.window_id = 0;
  app->set_event_source(source);
  return answer;
}

int32_t WindowUnits::raise_event(void* record_address) {
  auto& record = *static_cast<rt::EventRecord*>(record_address);
  Resolved resolved;
  if (!resolve(*this, record.window_id, record.unit_id, record.event, resolved)) return 0;
  rt::EventArguments arguments;
  arguments.count = record.count < 0 ? 0 : (record.count > 5 ? 5 : record.count);
  for (int32_t i = 0; i < arguments.count; ++i) arguments.words[i] = record.args[i];
  const rt::EventAnswer answer = call_handler(record.window_id, resolved.unit_id, resolved.handler, arguments);
  if (answer.given) {
    record.has_result = 1;
    record.result = static_cast<int32_t>(answer.value);
  }
  return 1;
}

int32_t WindowUnits::raise_event_typed(void* record_address) {
  auto& record = *static_cast<rt::TypedEventRecord*>(record_address);
  Resolved resolved;
  if (!resolve(*this, record.window_id, record.unit_id, record.event, resolved)) return 0;
  rt::EventArguments arguments;
  arguments.count = record.count < 0 ? 0 : (record.count > 12 ? 12 : record.count);
  for (int32_t i = 0; i < arguments.count; ++i) {
    const rt::TypedEventArgument& a = record.args[i];
    const uint64_t both = (uint64_t{a.high} << 32) | a.low;
    uint64_t word = a.low;
    if (a.flags & 1) {
      word = a.low;
    } else if ((a.flags & 2) || a.tag == kMenuItemType) {
      word = both;
    } else {
      switch (a.tag) {
        case rt::tag::kByte: word = a.low & 0xFF; break;
        case rt::tag::kShort: word = static_cast<uint64_t>(static_cast<int64_t>(static_cast<int16_t>(a.low))); break;
        case rt::tag::kDateTime:
        case rt::tag::kSystem8:
        case rt::tag::kInt64:
        case rt::tag::kDouble: word = both; break;
        default: word = a.low; break;
      }
    }
    arguments.words[i] = word;
  }
  const rt::EventAnswer answer = call_handler(record.window_id, resolved.unit_id, resolved.handler, arguments);
  if (answer.given) {
    record.has_result = 1;
    record.result_low = static_cast<uint32_t>(answer.value);
    record.result_high = static_cast<uint32_t>(static_cast<uint64_t>(answer.value) >> 32);
  }
  return 1;
}

}  // namespace units
