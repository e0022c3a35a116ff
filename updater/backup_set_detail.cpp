#include "updater/backup_set_detail.h"

#include <cstdio>

#include "updater/gbk_path.h"

// The backup folder's names and the manifest's lines.
namespace updater::detail {

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

}  // namespace updater::detail
