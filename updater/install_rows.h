#pragma once

#include <string>
#include <vector>

#include "updater/packages.h"

// How each package installs: where it is unpacked, which of its files go to
// the servers, and what it adds to the servers' plug-in lists.
namespace updater {

struct InstallRow {
  Package package;
  std::string staging;                 // directory under the program directory
  std::string unpack_failure;          // message when the archive cannot be unpacked
  std::vector<std::string> markers;    // in test order; none: only unpacked
  const char* target_box = nullptr;    // edit box with the server roots
  bool skips_plug_list_files = false;  // the engine's own PlugList.txt is never copied
  std::vector<std::string> plug_ins;   // added to PlugList.txt; none: the list is not touched
};

const InstallRow& install_row(Package package);

}  // namespace updater
