#pragma once

#include <cstdint>
#include <string>

// What the runtime asks of the window units: the template registry, loading
// windows, live controls, events and unit properties. The runtime core knows
// no window or control; the units subsystem installs its layer at start-up.
// A program without windows runs on the empty layer, which holds no templates.
namespace rt {

// Where a runtime error happened, for the report's tag lines.
struct ErrorPlace {
  bool window_loaded = false;
  std::string window_tag;
  bool unit_found = false;  // false also for a menu item
  std::string unit_tag;
};

class WindowLayer {
 public:
  virtual ~WindowLayer() = default;

  // Reads the template data into the registry and relocates every stored
  // handler offset against the code base. False: the data cannot be read.
  virtual bool read_templates(const uint8_t* data, uint32_t size, uintptr_t code_base) = 0;
  virtual void release_templates() = 0;
  virtual void* registry() = 0;
  virtual int32_t template_count() = 0;

  virtual bool load_window(uint32_t window_id, bool modal, void* owner) = 0;
  virtual bool any_window_alive() = 0;
  virtual void unit_destroyed(uint32_t window_id, uint32_t unit_id) = 0;
  virtual void* live_control(uint32_t window_id, uint32_t unit_id) = 0;

  // Raise an event from an event record (32-bit and typed forms).
  virtual int32_t raise_event(void* record) = 0;
  virtual int32_t raise_event_typed(void* record) = 0;

  virtual uint64_t read_property(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element) = 0;
  virtual void write_property(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element,
                              uint32_t value, uint32_t value_high) = 0;

  virtual ErrorPlace locate(uint32_t window_id, uint32_t unit_id) = 0;
};

// The layer of a program that has no windows.
WindowLayer& empty_window_layer();

}  // namespace rt
