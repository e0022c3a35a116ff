#include "updater/list_files.h"

#include <optional>

#include "runtime/memory.h"
#include "runtime/service_table.h"
#include "updater/gbk_path.h"
#include "updater/pump_messages.h"

namespace updater {
namespace {

constexpr uint32_t kDirectoryAttribute = 0x10;

// One step of the runtime's file search: the pattern starts a search, the
// empty text continues it. Null once the search is over.
std::optional<std::string> next_name(const std::string& pattern, uint32_t mask, bool files_only, void** handle) {
  auto* name = reinterpret_cast<char*>(
      rt::services().call_routine(rt::routine::kFindFileStep, reinterpret_cast<intptr_t>(pattern.c_str()), mask,
                                  files_only ? 1 : 0, reinterpret_cast<intptr_t>(handle), 0));
  if (!name) return std::nullopt;
  std::string copy = name;
  rt::release(name);
  return copy;
}

void list_into(const std::string& directory_as_given, std::vector<std::string>& files) {
  const std::string directory = with_backslash(directory_as_given);
  const std::string pattern = directory + "*.*";
  void* search = nullptr;
  for (auto name = next_name(pattern, 0, true, &search); name; name = next_name("", 0, true, &search)) {
    files.push_back(directory + *name);
    PumpMessages();
  }
  for (auto name = next_name(pattern, kDirectoryAttribute, false, &search); name;
       name = next_name("", kDirectoryAttribute, false, &search)) {
    if (*name == "." || *name == "..") continue;
    list_into(directory + *name, files);
    PumpMessages();
  }
  rt::services().call_routine(rt::routine::kCloseFindFile, reinterpret_cast<intptr_t>(search), 0, 0, 0, 0);
}

}  // namespace

std::vector<std::string> ListFiles(const std::string& directory) {
  std::vector<std::string> files;
  list_into(directory, files);
  return files;
}

}  // namespace updater
