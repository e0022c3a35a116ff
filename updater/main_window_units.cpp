#include "updater/main_window_units.h"

#include <map>
#include <mutex>

#include "runtime/memory.h"
#include "runtime/service_table.h"
#include "runtime/system_function.h"
#include "units/template/template_registry.h"

namespace updater::window {
namespace {

// Property numbers: common, then the types' own.
constexpr int32_t kVisible = 5, kDisabled = 6;
constexpr int32_t kCaption = 8;        // Label, TransLabel caption; EditBox content
constexpr int32_t kLabelTextColour = 16;
constexpr int32_t kChecked = 18;       // CheckBox, RadioBox

uint64_t text_value(const std::string& text) {
  return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(text.c_str()));
}

void write(const char* unit, int32_t number, uint64_t value) {
  rt::services().write_property(kMainWindow, unit_id(unit), number, -1, static_cast<uint32_t>(value),
                                static_cast<uint32_t>(value >> 32));
}

uint64_t read(const char* unit, int32_t number) {
  return rt::services().read_property(kMainWindow, unit_id(unit), number, -1);
}

std::string read_text(const char* unit, int32_t number) {
  auto* text = reinterpret_cast<char*>(static_cast<uintptr_t>(read(unit, number)));
  std::string copy = text ? text : "";
  rt::release(text);
  return copy;
}

}  // namespace

uint32_t unit_id(const char* name) {
  static std::mutex lock;
  static std::map<std::string, uint32_t> ids;
  std::lock_guard guard(lock);
  if (ids.empty()) {
    auto* registry = reinterpret_cast<units::TemplateRegistry*>(
        static_cast<intptr_t>(rt::system_function(rt::sysfn::kTemplateRegistry, 0, 0)));
    if (units::WindowTemplate* window = registry ? registry->find(kMainWindow) : nullptr)
      for (const units::UnitEntry& e : window->entries) ids[e.name] = e.id;
  }
  const auto found = ids.find(name);
  return found == ids.end() ? 0 : found->second;
}

void set_caption(const char* unit, const std::string& text) { write(unit, kCaption, text_value(text)); }
void set_text_colour(const char* label, uint32_t colour) { write(label, kLabelTextColour, colour); }
void set_disabled(const char* unit, bool disabled) { write(unit, kDisabled, disabled ? 1 : 0); }
void set_visible(const char* unit, bool visible) { write(unit, kVisible, visible ? 1 : 0); }
void set_checked(const char* unit, bool value) { write(unit, kChecked, value ? 1 : 0); }
bool checked(const char* unit) { return read(unit, kChecked) != 0; }
std::string content(const char* edit_box) { return read_text(edit_box, kCaption); }
std::string caption(const char* unit) { return read_text(unit, kCaption); }
uint32_t text_colour(const char* label) { return static_cast<uint32_t>(read(label, kLabelTextColour)); }
bool disabled(const char* unit) { return read(unit, kDisabled) != 0; }

}  // namespace updater::window
