#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "units/template/window_template.h"

namespace units {

// Why template data could not be read (for tests and diagnostics; the program
// reports every failure as "载入窗口模板数据段出错!").
struct TemplateReadError {
  size_t offset;
  std::string what;
};

// All window templates of the program, looked up by window id.
class TemplateRegistry {
 public:
  // Reads the whole template data. Every count and length is checked against
  // what remains; nothing is read past `size`. Handler offsets are relocated
  // against `code_base` (-1 -> 0, else code base + offset).
  static std::optional<TemplateRegistry> read(const uint8_t* data, uint32_t size, uintptr_t code_base,
                                              TemplateReadError* error = nullptr);

  WindowTemplate* find(uint32_t window_id);
  size_t size() const { return m_windows.size(); }
  std::vector<std::unique_ptr<WindowTemplate>>& windows() { return m_windows; }

  // The entry of a window by id: entry 0 for id 0 or the window's own id.
  // Looks in the live copy while the window is loading or loaded.
  static UnitEntry* find_entry(WindowTemplate& window, uint32_t entry_id);
  // Index of that entry, or -1.
  static int find_entry_index(WindowTemplate& window, uint32_t entry_id);

 private:
  std::vector<std::unique_ptr<WindowTemplate>> m_windows;
};

}  // namespace units
