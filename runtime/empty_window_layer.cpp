#include "runtime/runtime_error.h"
#include "runtime/window_layer.h"

namespace rt {
namespace {

// A program without window templates: nothing can be loaded or found.
class EmptyWindowLayer final : public WindowLayer {
 public:
  bool read_templates(const uint8_t*, uint32_t size, uintptr_t) override { return size == 0; }
  void release_templates() override {}
  void* registry() override { return nullptr; }
  int32_t template_count() override { return 0; }
  bool load_window(uint32_t, bool, void*) override { return false; }
  bool any_window_alive() override { return false; }
  void unit_destroyed(uint32_t, uint32_t) override {}
  void* live_control(uint32_t, uint32_t) override { return nullptr; }
  int32_t raise_event(void*) override { return 0; }
  int32_t raise_event_typed(void*) override { return 0; }
  uint64_t read_property(uint32_t window_id, uint32_t unit_id, int32_t, int32_t) override {
    report_runtime_error("未载入欲访问窗口组件所在的窗口", 0, static_cast<int32_t>(window_id),
                         static_cast<int32_t>(unit_id));
  }
  void write_property(uint32_t window_id, uint32_t unit_id, int32_t, int32_t, uint32_t, uint32_t) override {
    report_runtime_error("未载入欲访问窗口组件所在的窗口", 0, static_cast<int32_t>(window_id),
                         static_cast<int32_t>(unit_id));
  }
  ErrorPlace locate(uint32_t, uint32_t) override { return {}; }
};

}  // namespace

WindowLayer& empty_window_layer() {
  static EmptyWindowLayer layer;
  return layer;
}

}  // namespace rt
