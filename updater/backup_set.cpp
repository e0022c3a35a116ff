#include "updater/backup_set.h"

#include <algorithm>
#include <cstdio>

#include "platform/file_attributes.h"
#include "platform/file_io.h"
#include "platform/file_search.h"
#include "updater/backup_set_detail.h"
#include "updater/gbk_path.h"

namespace updater {
namespace detail {
namespace {

constexpr const char* kHeader = "updater backup 1";
constexpr const char* kLineEnd = "\r\n";

struct Keyword {
  const char* text;
  BackupChange::Kind kind;
};
constexpr Keyword kChangeWords[] = {
    {"replaced ", BackupChange::Kind::Replaced},
    {"new-file ", BackupChange::Kind::NewFile},
    {"new-directory ", BackupChange::Kind::NewDirectory},
};

struct EndWord {
  const char* text;
  BackupState state;
};
constexpr EndWord kEndWords[] = {
    {"complete", BackupState::Complete},
    {"restored", BackupState::Restored},
    {"rolled-back", BackupState::RolledBack},
};

bool is_leap_year(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int32_t days_in_month(int32_t year, int32_t month) {
  static const int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && is_leap_year(year) ? 29 : kDays[month - 1];
}

platform::LocalTimestamp one_millisecond_later(platform::LocalTimestamp t) {
  if (++t.millisecond < 1000) return t;
  t.millisecond = 0;
  if (++t.second < 60) return t;
  t.second = 0;
  if (++t.minute < 60) return t;
  t.minute = 0;
  if (++t.hour < 24) return t;
  t.hour = 0;
  if (++t.day <= days_in_month(t.year, t.month)) return t;
  t.day = 1;
  if (++t.month <= 12) return t;
  t.month = 1;
  ++t.year;
  return t;
}

int32_t digits(const std::string& text, size_t at, size_t count) {
  int32_t value = 0;
  for (size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

platform::LocalTimestamp parse_backup_name(const std::string& name) {
  return {digits(name, 0, 4),  digits(name, 4, 2),  digits(name, 6, 2), digits(name, 9, 2),
          digits(name, 11, 2), digits(name, 13, 2), digits(name, 16, 3)};
}

bool starts_with(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

std::string backup_name(const platform::LocalTimestamp& t) {
  char name[32];
  std::snprintf(name, sizeof name, "%04d%02d%02d-%02d%02d%02d-%03d", static_cast<int>(t.year % 10000),
                static_cast<int>(t.month), static_cast<int>(t.day), static_cast<int>(t.hour),
                static_cast<int>(t.minute), static_cast<int>(t.second), static_cast<int>(t.millisecond));
  return name;
}

bool is_backup_name(const std::string& name) {
  if (name.size() != 19 || name[8] != '-' || name[15] != '-') return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (i != 8 && i != 15 && (name[i] < '0' || name[i] > '9')) return false;
  const platform::LocalTimestamp t = parse_backup_name(name);
  return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= days_in_month(t.year, t.month) && t.hour < 24 &&
         t.minute < 60 && t.second < 60;
}

std::string next_backup_name(const platform::LocalTimestamp& now, const std::string& latest) {
  const std::string name = backup_name(now);
  if (!is_backup_name(latest) || name > latest) return name;
  return backup_name(one_millisecond_later(parse_backup_name(latest)));
}

bool is_safe_relative(const std::string& relative) {
  const std::vector<std::string> parts = path_parts(relative);
  if (folded_path(parts.front()) == kBackupFolder) return false;
  for (const std::string& part : parts) {
    if (part.empty() || part.find_first_not_of('.') == std::string::npos) return false;
    // Windows drops trailing dots and spaces from a name: "..." or ".. " would be "..".
    if (part.back() == '.' || part.back() == ' ') return false;
    for (char c : part)
      if (c == ':' || c == '/' || static_cast<unsigned char>(c) < 0x20) return false;
  }
  return true;
}

std::string manifest_header() { return std::string(kHeader) + kLineEnd; }

std::string manifest_line(const BackupChange& change) {
  for (const Keyword& word : kChangeWords)
    if (word.kind == change.kind) return word.text + change.relative + kLineEnd;
  return {};
}

std::string manifest_line(BackupState end) {
  for (const EndWord& word : kEndWords)
    if (word.state == end) return std::string(word.text) + kLineEnd;
  return {};
}

std::optional<Backup> parse_manifest(const std::string& text) {
  if (!starts_with(text, kHeader) || text.compare(std::string(kHeader).size(), 2, kLineEnd) != 0) return std::nullopt;
  Backup backup;
  size_t at = std::string(kHeader).size() + 2;
  for (;;) {
    const size_t end = text.find(kLineEnd, at);
    if (end == std::string::npos) break;  // nothing, or a line cut off while written
    const std::string line = text.substr(at, end - at);
    at = end + 2;
    bool known = false;
    for (const Keyword& word : kChangeWords) {
      if (!starts_with(line, word.text)) continue;
      const std::string relative = line.substr(std::string(word.text).size());
      if (!is_safe_relative(relative)) return std::nullopt;
      backup.changes.push_back({word.kind, relative});
      known = true;
    }
    for (const EndWord& word : kEndWords) {
      if (line != word.text) continue;
      backup.state = word.state;
      known = true;
    }
    if (!known) return std::nullopt;
  }
  return backup;
}

}  // namespace detail

namespace {

std::string package_folder(const std::string& root, const std::string& package) {
  return root + kBackupFolder + "\\" + package + "\\";
}

bool make_directory_if_missing(const std::string& path) {
  return platform::create_directory(path) || platform::path_kind(path) == platform::PathKind::Directory;
}

// Makes the directories of `relative` (a file's path) below `base`.
bool make_parents(const std::string& base, const std::string& relative) {
  const std::vector<std::string> parts = path_parts(relative);
  std::string directory = base;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    directory += parts[i];
    if (!make_directory_if_missing(directory)) return false;
    directory += "\\";
  }
  return true;
}

struct Entry {
  std::string name;
  uint32_t attributes;
};

std::vector<Entry> entries_of(const std::string& directory) {
  std::vector<Entry> entries;
  platform::FoundEntry found;
  platform::FileSearch* search = platform::find_first(directory + "*.*", found);
  if (!search) return entries;
  do {
    if (found.name != "." && found.name != "..") entries.push_back({found.name, found.attributes});
  } while (platform::find_next(search, found));
  platform::find_close(search);
  return entries;
}

constexpr uint32_t kReparsePoint = 0x400;

// Removes a backup folder and everything in it, read-only copies included.
// A directory link inside is removed as a link; what it points at is kept.
void remove_tree(const std::string& directory) {
  for (const Entry& entry : entries_of(directory)) {
    const std::string path = directory + entry.name;
    if (!(entry.attributes & platform::kAttributeDirectory)) {
      platform::make_writable(path);
      platform::delete_file(path);
    } else if (entry.attributes & kReparsePoint) {
      platform::remove_empty_directory(path);
    } else {
      remove_tree(path + "\\");
    }
  }
  platform::remove_empty_directory(directory);
}

bool is_candidate(const Backup& backup) {
  return backup.state == BackupState::Complete || backup.state == BackupState::Installing;
}

}  // namespace

Result<BackupSet> BackupSet::begin(const std::string& root, const std::string& package,
                                   const platform::LocalTimestamp& now) {
  const std::string packages = root + kBackupFolder + "\\";
  const std::string folder_of_package = package_folder(root, package);
  if (!make_directory_if_missing(packages) || !make_directory_if_missing(folder_of_package))
    return Failure{"无法建立备份目录 " + folder_of_package};
  std::string latest;
  for (const Entry& entry : entries_of(folder_of_package))
    if (detail::is_backup_name(entry.name) && entry.name > latest) latest = entry.name;
  // Another program making a backup in the same folder at the same moment
  // takes the name first; the next millisecond is tried then.
  for (int attempt = 0; attempt < 10; ++attempt) {
    const std::string name = detail::next_backup_name(now, latest);
    const std::string folder = folder_of_package + name + "\\";
    latest = name;
    if (!platform::create_directory(folder)) continue;
    if (!platform::append_to_file(folder + kManifestName, detail::manifest_header())) {
      remove_tree(folder);
      break;
    }
    Backup backup;
    backup.folder = folder;
    backup.name = name;
    return BackupSet(root, std::move(backup));
  }
  return Failure{"无法建立备份目录 " + folder_of_package};
}

Result<void> BackupSet::record(BackupChange change) {
  if (!platform::append_to_file(m_backup.folder + kManifestName, detail::manifest_line(change)))
    return Failure{"无法写入备份清单 " + m_backup.folder + kManifestName};
  m_backup.changes.push_back(std::move(change));
  return {};
}

Result<void> BackupSet::keep_before_writing(const std::string& relative) {
  if (!detail::is_safe_relative(relative)) return Failure{"无法备份 " + relative};
  if (!m_kept.insert(folded_path(relative)).second) return {};
  const std::string path = m_root + relative;
  switch (platform::path_kind(path)) {
    case platform::PathKind::Missing: return record({BackupChange::Kind::NewFile, relative});
    // Not a file that could be replaced: writing it will fail, and nothing
    // of it needs keeping.
    case platform::PathKind::Directory: return {};
    case platform::PathKind::File: break;
  }
  if (!make_parents(m_backup.folder, relative) || !platform::copy_file(path, m_backup.folder + relative))
    return Failure{"无法备份 " + relative};
  return record({BackupChange::Kind::Replaced, relative});
}

Result<void> BackupSet::note_new_directory(const std::string& relative) {
  if (!detail::is_safe_relative(relative)) return Failure{"无法备份 " + relative};
  return record({BackupChange::Kind::NewDirectory, relative});
}

bool BackupSet::finish(BackupState state) {
  if (!mark_backup(m_backup, state)) return false;
  m_backup.state = state;
  return true;
}

std::vector<Backup> backups_of(const std::string& root, const std::string& package) {
  const std::string folder_of_package = package_folder(root, package);
  std::vector<Backup> backups;
  for (const Entry& entry : entries_of(folder_of_package)) {
    if (!(entry.attributes & platform::kAttributeDirectory) || !detail::is_backup_name(entry.name)) continue;
    const std::string folder = folder_of_package + entry.name + "\\";
    const std::optional<std::string> text = platform::read_whole_file(folder + kManifestName);
    if (!text) continue;
    std::optional<Backup> backup = detail::parse_manifest(*text);
    if (!backup) continue;
    backup->folder = folder;
    backup->name = entry.name;
    backups.push_back(std::move(*backup));
  }
  std::sort(backups.begin(), backups.end(), [](const Backup& a, const Backup& b) { return a.name < b.name; });
  return backups;
}

std::optional<Backup> latest_to_roll_back(const std::string& root, const std::string& package) {
  std::vector<Backup> backups = backups_of(root, package);
  for (auto it = backups.rbegin(); it != backups.rend(); ++it)
    if (is_candidate(*it)) return std::move(*it);
  return std::nullopt;
}

bool mark_backup(const Backup& backup, BackupState state) {
  return platform::append_to_file(backup.folder + kManifestName, detail::manifest_line(state));
}

void prune_backups(const std::string& root, const std::string& package) {
  const std::vector<Backup> backups = backups_of(root, package);
  size_t candidates_seen = 0;
  for (size_t i = backups.size(); i-- > 0;) {
    const bool newest = i + 1 == backups.size();
    const bool keep = is_candidate(backups[i]) ? ++candidates_seen <= kBackupsKept : newest;
    if (!keep) remove_tree(backups[i].folder);
  }
}

}  // namespace updater
