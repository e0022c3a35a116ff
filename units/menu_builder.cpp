#include "units/menu_builder.h"

namespace units {
namespace {

// The run of menu items: the first consecutive one in the entry table.
std::pair<size_t, size_t> menu_run(const std::vector<UnitEntry>& entries) {
  size_t first = 1;
  while (first < entries.size() && !entries[first].is_menu_item()) ++first;
  size_t end = first;
  while (end < entries.size() && entries[end].is_menu_item()) ++end;
  return {first, end};
}

// Appends the items from `i` on whose level is `level` (and their pop-ups)
// to `menu`; stops at an item of a lower level. Returns the next index.
size_t append_items(const std::vector<UnitEntry>& entries, size_t i, size_t end, size_t first, uint32_t level,
                    HMENU menu, std::vector<ACCEL>& accelerators) {
  while (i < end && entries[i].level >= level) {
    const UnitEntry& item = entries[i];
    if (item.level > level) {  // nested under an item that was left out
      ++i;
      continue;
    }
    const UINT command = kFirstMenuCommand + static_cast<UINT>(i - first);
    const bool has_popup = i + 1 < end && entries[i + 1].level > level;
    if (item.menu_flags & kMenuHidden) {
      ++i;
      while (i < end && entries[i].level > level) ++i;  // its pop-up goes with it
      continue;
    }
    UINT flags = MF_STRING;
    if (item.menu_flags & kMenuDisabled) flags |= MF_GRAYED;
    if (item.menu_flags & kMenuChecked) flags |= MF_CHECKED;
    std::string caption = item.caption;
    const Shortcut shortcut = shortcut_key(item.shortcut);
    if (!shortcut.name.empty()) {
      caption += "\t" + shortcut.name;
      accelerators.push_back({shortcut.flags, shortcut.key, static_cast<WORD>(command)});
    }
    if (has_popup) {
      HMENU popup = CreatePopupMenu();
      const size_t next = append_items(entries, i + 1, end, first, level + 1, popup, accelerators);
      AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
      i = next;
      continue;
    }
    if (item.caption == "-")
      AppendMenuA(menu, MF_SEPARATOR, command, nullptr);
    else
      AppendMenuA(menu, flags, command, caption.c_str());
    ++i;
  }
  return i;
}

}  // namespace

Shortcut shortcut_key(uint32_t number) {
  // 1-26 Ctrl+A..Z, 27-38 F1..F12, 39-50 Ctrl+F1..F12, 51-62 Shift+F1..F12,
  // 63-74 Alt+F1..F12, 75 Ins, 76 Del, 77 Alt+BkSp.
  Shortcut s;
  if (number >= 1 && number <= 26) {
    s = {std::string("Ctrl+") + static_cast<char>('A' + number - 1), FVIRTKEY | FCONTROL,
         static_cast<WORD>('A' + number - 1)};
  } else if (number >= 27 && number <= 74) {
    static const char* const kPrefix[] = {"", "Ctrl+", "Shift+", "Alt+"};
    static const BYTE kFlags[] = {FVIRTKEY, FVIRTKEY | FCONTROL, FVIRTKEY | FSHIFT, FVIRTKEY | FALT};
    const uint32_t group = (number - 27) / 12, f = (number - 27) % 12;
    s = {std::string(kPrefix[group]) + "F" + std::to_string(f + 1), kFlags[group], static_cast<WORD>(VK_F1 + f)};
  } else if (number == 75) {
    s = {"Ins", FVIRTKEY, VK_INSERT};
  } else if (number == 76) {
    s = {"Del", FVIRTKEY, VK_DELETE};
  } else if (number == 77) {
    s = {"Alt+BkSp", FVIRTKEY | FALT, VK_BACK};
  }
  return s;
}

BuiltMenu build_menu(const std::vector<UnitEntry>& entries) {
  const auto [first, end] = menu_run(entries);
  BuiltMenu built;
  if (first >= end) return built;
  built.menu = CreateMenu();
  std::vector<ACCEL> accelerators;
  append_items(entries, first, end, first, 0, built.menu, accelerators);
  if (!accelerators.empty())
    built.accelerators = CreateAcceleratorTableA(accelerators.data(), static_cast<int>(accelerators.size()));
  return built;
}

int menu_entry_of_command(const std::vector<UnitEntry>& entries, UINT command) {
  if (command < kFirstMenuCommand || command > kLastMenuCommand) return -1;
  const auto [first, end] = menu_run(entries);
  const size_t index = first + (command - kFirstMenuCommand);
  return index < end ? static_cast<int>(index) : -1;
}

}  // namespace units
