#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "platform/file_search.h"
#include "platform/path.h"

namespace platform {

// The whole listing is taken at once; "." and ".." come first as on Windows.
class FileSearch {
 public:
  std::vector<FoundEntry> entries;
  size_t next = 0;
};

namespace {

bool matches(const std::string& glob, const std::string& name) {
  // "*.*" means every name on Windows, also names without a dot.
  if (glob == "*.*" || glob == "*") return true;
  return fnmatch(glob.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
}

}  // namespace

FileSearch* find_first(const std::string& pattern, FoundEntry& first) {
  const std::string native = native_path(pattern);
  const size_t split = native.rfind('/');
  const std::string directory = split == std::string::npos ? "." : native.substr(0, split);
  const std::string glob = split == std::string::npos ? native : native.substr(split + 1);
  DIR* dir = opendir(directory.empty() ? "/" : directory.c_str());
  if (!dir) return nullptr;
  auto* search = new FileSearch;
  while (dirent* d = readdir(dir)) {
    const std::string name = d->d_name;
    if (!matches(glob, name)) continue;
    struct stat st{};
    const std::string full = directory + "/" + name;
    FoundEntry entry{program_text(name), 0};
    if (stat(full.c_str(), &st) == 0) {
      entry.attributes = S_ISDIR(st.st_mode) ? kAttributeDirectory : kAttributeArchive;
      if (!(st.st_mode & S_IWUSR)) entry.attributes |= kAttributeReadOnly;
    }
    search->entries.push_back(entry);
  }
  closedir(dir);
  std::stable_partition(search->entries.begin(), search->entries.end(),
                        [](const FoundEntry& e) { return e.name == "." || e.name == ".."; });
  if (search->entries.empty()) {
    delete search;
    return nullptr;
  }
  first = search->entries[search->next++];
  return search;
}

bool find_next(FileSearch* search, FoundEntry& next) {
  if (!search || search->next >= search->entries.size()) return false;
  next = search->entries[search->next++];
  return true;
}

void find_close(FileSearch* search) { delete search; }

}  // namespace platform
