#include "updater/main_window_units.h"

#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>

#include "runtime/memory.h"
#include "runtime/runtime_app.h"
#include "runtime/service_table.h"
#include "runtime/system_function.h"
#include "units/template/template_registry.h"

namespace updater::window {
namespace {

// Property numbers: common, then the types' own.
constexpr int32_t kVisible = 5, kDisabled = 6;
constexpr int32_t kCaption = 8;  // Label, TransLabel caption; EditBox content
constexpr int32_t kLabelTextColour = 16;
constexpr int32_t kChecked = 18;      // CheckBox, RadioBox
constexpr int32_t kBarPosition = 13;  // ProcessBar

// The download engine's controller thread writes the progress display and
// runs version checks. Its property accesses are relayed to the window
// thread and done there only while the main window is loaded: the operator
// may close the window at any moment, and an access to a window that is gone
// would be a runtime error that ends the program.
constexpr UINT kRelayMessage = WM_APP + 0x51;

struct RelayedAccess {
  enum class Kind { Read, Write, IsLoaded } kind;
  uint32_t unit;
  int32_t number;
  uint64_t value;
};

bool main_window_is_loaded() { return rt::system_function(rt::sysfn::kLiveControl, kMainWindow, 0) != 0; }

void write_here(uint32_t unit, int32_t number, uint64_t value) {
  rt::services().write_property(kMainWindow, unit, number, -1, static_cast<uint32_t>(value),
                                static_cast<uint32_t>(value >> 32));
}

uint64_t read_here(uint32_t unit, int32_t number) {
  return rt::services().read_property(kMainWindow, unit, number, -1);
}

LRESULT CALLBACK relay_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != kRelayMessage) return DefWindowProcA(window, message, wparam, lparam);
  auto* access = reinterpret_cast<RelayedAccess*>(lparam);
  const bool loaded = main_window_is_loaded();
  switch (access->kind) {
    case RelayedAccess::Kind::IsLoaded: access->value = loaded ? 1 : 0; break;
    case RelayedAccess::Kind::Write:
      if (loaded) write_here(access->unit, access->number, access->value);
      break;
    case RelayedAccess::Kind::Read: access->value = loaded ? read_here(access->unit, access->number) : 0; break;
  }
  return 0;
}

std::atomic<HWND> g_relay{nullptr};

// Made by the window thread at its first access, before any download runs.
void ensure_relay() {
  if (g_relay.load()) return;
  WNDCLASSA relay_class = {};
  relay_class.lpfnWndProc = relay_procedure;
  relay_class.hInstance = GetModuleHandleA(nullptr);
  relay_class.lpszClassName = "UpdaterPropertyRelay";
  RegisterClassA(&relay_class);
  g_relay = CreateWindowExA(0, relay_class.lpszClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            relay_class.hInstance, nullptr);
}

// Runs the access on the window thread; false when it was dropped.
bool relay(RelayedAccess& access) {
  const rt::RuntimeApp* app = rt::RuntimeApp::current();
  const HWND relay_window = g_relay.load();
  if (!app || app->ending() || !relay_window) return false;
  SendMessageA(relay_window, kRelayMessage, 0, reinterpret_cast<LPARAM>(&access));
  return true;
}

bool on_window_thread() {
  const rt::RuntimeApp* app = rt::RuntimeApp::current();
  return !app || app->on_window_thread();
}

uint64_t text_value(const std::string& text) {
  return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(text.c_str()));
}

void write(const char* unit, int32_t number, uint64_t value) {
  if (on_window_thread()) {
    ensure_relay();
    write_here(unit_id(unit), number, value);
    return;
  }
  RelayedAccess access{RelayedAccess::Kind::Write, unit_id(unit), number, value};
  relay(access);
}

uint64_t read(const char* unit, int32_t number) {
  if (on_window_thread()) {
    ensure_relay();
    return read_here(unit_id(unit), number);
  }
  RelayedAccess access{RelayedAccess::Kind::Read, unit_id(unit), number, 0};
  return relay(access) ? access.value : 0;
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

bool loaded() {
  if (on_window_thread()) return main_window_is_loaded();
  RelayedAccess probe{RelayedAccess::Kind::IsLoaded, 0, 0, 0};
  return relay(probe) && probe.value != 0;
}

void set_caption(const char* unit, const std::string& text) { write(unit, kCaption, text_value(text)); }
void set_text_colour(const char* label, uint32_t colour) { write(label, kLabelTextColour, colour); }
void set_disabled(const char* unit, bool disabled) { write(unit, kDisabled, disabled ? 1 : 0); }
void set_visible(const char* unit, bool visible) { write(unit, kVisible, visible ? 1 : 0); }
void set_checked(const char* unit, bool value) { write(unit, kChecked, value ? 1 : 0); }
void set_position(const char* bar, int32_t position) { write(bar, kBarPosition, static_cast<uint32_t>(position)); }
bool checked(const char* unit) { return read(unit, kChecked) != 0; }
bool visible(const char* unit) { return read(unit, kVisible) != 0; }
int32_t position(const char* bar) { return static_cast<int32_t>(read(bar, kBarPosition)); }
std::string content(const char* edit_box) { return read_text(edit_box, kCaption); }
std::string caption(const char* unit) { return read_text(unit, kCaption); }
uint32_t text_colour(const char* label) { return static_cast<uint32_t>(read(label, kLabelTextColour)); }
bool disabled(const char* unit) { return read(unit, kDisabled) != 0; }

}  // namespace updater::window
