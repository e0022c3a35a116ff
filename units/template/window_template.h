#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The window templates: every window of the program with its units, menu
// items, stored properties and event links, read once from the template data
// in the program image.
namespace units {

// Identifier kinds: bits 24-27 give the kind, bits 28-31 of an entry id its class.
inline constexpr uint32_t kKindMask = 0x0F000000;
inline constexpr uint32_t kWindowKind = 0x02000000;
inline constexpr uint32_t kEntryKind = 0x06000000;
inline constexpr uint32_t kMenuItemClass = 0x20000000;
constexpr bool is_menu_item_id(uint32_t id) {
  return (id & kKindMask) == kEntryKind && (id & 0xF0000000) == kMenuItemClass;
}
constexpr bool is_valid_id(uint32_t id) { return (id & 0x00FFFFFF) != 0 && (id & kKindMask) != 0; }

// Common flag bits of an entry.
inline constexpr uint32_t kFlagVisible = 0x1;
inline constexpr uint32_t kFlagDisabled = 0x2;
inline constexpr uint32_t kFlagTabStop = 0x4;

// Menu item flag bits.
inline constexpr uint32_t kMenuHidden = 0x1;
inline constexpr uint32_t kMenuDisabled = 0x2;
inline constexpr uint32_t kMenuChecked = 0x4;

inline constexpr uint32_t kMenuItemType = 0x00010003;

// An event number and its handler: an offset from the code base at rest, the
// handler's address once relocated (0 = no handler).
struct EventLink {
  int32_t event;
  uintptr_t handler;
};

// One entry of a window: its own unit (entry 0), a unit or a menu item.
struct UnitEntry {
  uint32_t id = 0;
  uint32_t type = 0;  // ((library + 1) << 16) | (type + 1)
  uint32_t linked = 0;  // unit of the same type whose event links this one uses; 0 = none
  std::string name;
  std::string remark;

  // Units (and the window's own entry).
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t parent = 0;                  // 0 = directly on the window
  std::vector<uint32_t> children;       // pages divided by 0 for a paged type
  std::vector<uint8_t> cursor_data;     // 4 zero bytes = default
  std::string tag;
  uint32_t flags = 0;                   // kFlagVisible | kFlagDisabled | kFlagTabStop
  std::vector<EventLink> events;        // searched in stored order
  std::vector<uint8_t> properties;      // the type's property block

  // Menu items.
  uint32_t shortcut = 0;
  uint32_t level = 0;
  uint32_t menu_flags = 0;
  std::string caption;
  uintptr_t menu_handler = 0;

  // Run-time slots (not part of the stored data).
  void* object = nullptr;  // the live control object
  void* cursor = nullptr;  // the cursor made from cursor_data

  bool is_menu_item() const { return type == kMenuItemType; }
};

struct WindowTemplate {
  uint32_t id = 0;
  uint32_t value_a = 0;  // carried, not used for loading
  uint32_t value_b = 0;
  std::string text1;
  std::string text2;
  std::vector<UnitEntry> entries;  // entry 0 is the window's own entry

  // The copy that a load works on, taken just before creation: run-time
  // slots and property writes go here, so the stored entries stay as read.
  std::vector<UnitEntry> live;
  void* accelerators = nullptr;  // run time: the window's accelerator table
  bool loading = false;
  bool loaded = false;
};

}  // namespace units
