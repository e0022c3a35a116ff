#pragma once

#include <string>

#include "platform/clock.h"
#include "updater/tests/tree_snapshot.h"

// Scratch server roots for the tests of the pre-flight, the backup set and
// the restore, and snapshots of what lies in them.
namespace updater::testing {

// A fresh, empty directory under the temporary directory, ending in the
// separator of program paths.
std::string scratch_root(const std::string& name);

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
void make_directory(const std::string& path);  // with every missing level
void make_read_only(const std::string& path);

platform::LocalTimestamp at(int year, int month, int day, int hour, int minute, int second, int millisecond);

}  // namespace updater::testing
