#pragma once

#include <optional>
#include <string>

#include "platform/clock.h"
#include "updater/backup_set.h"

// The backup folder's names and the manifest's lines, for the backup set and
// its tests.
namespace updater::detail {

// "YYYYMMDD-HHMMSS-mmm", local time: names sort as their times do.
std::string backup_name(const platform::LocalTimestamp& time);
bool is_backup_name(const std::string& name);
// The name for a backup made now, after `latest` (empty: none yet). When the
// clock shows a time not after the latest (two installs in one millisecond,
// a clock set back), one millisecond after the latest: names stay unique and
// in the order the backups were made.
std::string next_backup_name(const platform::LocalTimestamp& now, const std::string& latest);

// A relative path the manifest may name: parts that are plain names, no
// drive, no "." or "..", nothing inside the backup folder itself.
bool is_safe_relative(const std::string& relative);

std::string manifest_header();
std::string manifest_line(const BackupChange& change);
std::string manifest_line(BackupState end);
// Changes and state of a manifest's text; nothing when it is damaged. An
// unfinished last line (cut off while being written) is ignored: its change
// had not been made yet.
std::optional<Backup> parse_manifest(const std::string& text);

}  // namespace updater::detail
