#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "units/template/window_template.h"

// A window's menu bar and accelerator table, built from the run of menu item
// entries in its template: an item of level 0 is on the bar, the items of a
// higher level that follow it form its pop-up. Each item gets the command id
// 20,000 plus its position among the window's menu items.
namespace units {

inline constexpr UINT kFirstMenuCommand = 20000;
inline constexpr UINT kLastMenuCommand = 57599;

struct BuiltMenu {
  HMENU menu = nullptr;
  HACCEL accelerators = nullptr;
};

// Null handles for a window without menu items.
BuiltMenu build_menu(const std::vector<UnitEntry>& entries);

// Index into `entries` of the menu item of a command id, or -1.
int menu_entry_of_command(const std::vector<UnitEntry>& entries, UINT command);

// The key name and accelerator of a shortcut number 1-77 (empty name: none).
struct Shortcut {
  std::string name;
  BYTE flags = 0;  // FVIRTKEY with FCONTROL / FSHIFT / FALT
  WORD key = 0;
};
Shortcut shortcut_key(uint32_t number);

}  // namespace units
