#include "runtime/system_function.h"

#include <cstring>

#include "runtime/memory.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_error.h"
#include "runtime/unit_type.h"
#include "runtime/unit_type_lookup.h"

namespace rt {
namespace {

template <class T>
T* as_ptr(intptr_t v) {
  return reinterpret_cast<T*>(v);
}

int64_t from_ptr(const void* p) { return static_cast<int64_t>(reinterpret_cast<intptr_t>(p)); }

// The standard identifier of IUnknown: {00000000-0000-0000-C000-000000000046}.
constexpr uint8_t kIUnknownId[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};

int64_t interface_id(RuntimeApp& app, TypeTag type, uint8_t* buffer) {
  if (classify(type) != TagClass::Library) return 0;
  const uint32_t library = library_of(type);
  if (library == 0) {
    if (type_of(type) != 47) return 0;
    std::memcpy(buffer, kIUnknownId, sizeof kIUnknownId);
    return 1;
  }
  const auto& libraries = app.libraries();
  if (library >= libraries.size() || !libraries[library] || !libraries[library]->notify) return 0;
  return libraries[library]->notify(kNotifyInterfaceId, static_cast<intptr_t>(type_of(type)),
                                    reinterpret_cast<intptr_t>(buffer));
}

}  // namespace

int64_t RT_STDCALL system_function(int32_t code, intptr_t value1, intptr_t value2) {
  // Memory works before and without a runtime object; everything else needs one.
  switch (code) {
    case sysfn::kAllocate: return from_ptr(allocate(static_cast<uint32_t>(value1)));
    case sysfn::kRelease: release(as_ptr<void>(value1)); return 0;
    case sysfn::kResize: return from_ptr(resize(as_ptr<void>(value1), static_cast<uint32_t>(value2)));
    case sysfn::kReleaseArray: release_array(as_ptr<void>(value1), static_cast<TypeTag>(value2)); return 0;
    case sysfn::kRuntimeVersion: return kRuntimeVersion;
    case sysfn::kRuntimeError: report_runtime_error(as_ptr<const char>(value1), 0, 0, 0);
    default: break;
  }

  RuntimeApp* app = RuntimeApp::current();
  if (!app) return 0;
  WindowLayer& windows = app->windows();
  switch (code) {
    case sysfn::kDefaultIcon: return from_ptr(app->default_icon());
    case sysfn::kTemplateRegistry: return from_ptr(windows.registry());
    case sysfn::kUnitType: return from_ptr(find_unit_type(app->libraries(), static_cast<TypeTag>(value1)));
    case sysfn::kAddIdleCallback: app->add_idle_callback(*as_ptr<IdleCallback>(value1)); return 0;
    case sysfn::kRemoveIdleCallback: app->remove_idle_callback(as_ptr<void>(value1)); return 0;
    case sysfn::kUnitDestroyed:
      windows.unit_destroyed(static_cast<uint32_t>(value1), static_cast<uint32_t>(value2));
      return 0;
    case sysfn::kProgramDirectory: return from_ptr(app->directory().c_str());
    case sysfn::kProgramFileName: return from_ptr(app->file_name().c_str());
    case sysfn::kLoadWindow: {
      const auto* request = as_ptr<LoadWindowRequest>(value1);
      return windows.load_window(request->window_id, request->modal != 0, request->owner) ? 0 : -1;
    }
    case sysfn::kLiveControl:
      return from_ptr(windows.live_control(static_cast<uint32_t>(value1), static_cast<uint32_t>(value2)));
    case sysfn::kLiveControlOrError: {
      void* control = windows.live_control(static_cast<uint32_t>(value1), static_cast<uint32_t>(value2));
      if (!control)
        report_runtime_error("指定窗口或窗口组件不存在或尚未载入", 0, static_cast<int32_t>(value1),
                             static_cast<int32_t>(value2));
      return from_ptr(control);
    }
    case sysfn::kRaiseEvent: return windows.raise_event(as_ptr<void>(value1));
    case sysfn::kRaiseEventTyped: return windows.raise_event_typed(as_ptr<void>(value1));
    case sysfn::kEnterQuiet:
      app->process_pending_messages();
      app->raise_error_depth();
      return 0;
    case sysfn::kLeaveQuiet:
      app->process_pending_messages();
      app->lower_error_depth();
      return 0;
    case sysfn::kEventSource: {
      const EventSource source = app->event_source();
      if (source.window_id == 0) return 0;
      auto* out = as_ptr<uint32_t>(value1);
      out[0] = source.window_id;
      out[1] = source.unit_id;
      return 1;
    }
    case sysfn::kProcessMessages: app->process_pending_messages(); return 0;
    case sysfn::kEndProgram:
      app->end_program(static_cast<int32_t>(value1));
      return 0;
    case sysfn::kClassifyUnitType: {
      const UnitType* type = find_unit_type(app->libraries(), static_cast<TypeTag>(value1));
      if (!type) return 0;
      if (type->state_flags & unit_flag::kEventSource) return 2;
      return (type->state_flags & unit_flag::kWindowUnit) ? 1 : 0;
    }
    case sysfn::kBuildMode: return app->build_mode();
    case sysfn::kTemplateCount: return windows.template_count();
    case sysfn::kInterfaceId:
      return interface_id(*app, static_cast<TypeTag>(value1), as_ptr<uint8_t>(value2));
    default: return 0;
  }
}

}  // namespace rt
