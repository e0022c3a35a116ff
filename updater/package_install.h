#pragma once

#include <functional>
#include <string>
#include <vector>

#include "updater/install_rows.h"
#include "updater/packages.h"
#include "updater/root_install.h"

// Installing a package: its archive is unpacked into a staging directory
// under the program directory; the files of the server components are copied
// into every server root listed in the package's edit box, and the servers'
// plug-in lists are rewritten. One install at a time, and never of a package
// whose download is running.
namespace updater {

// The click handler of the engine's, the feature plug-in's and the
// anti-cheat plug-in's install buttons.
void InstallPackage(Package package);
// The click handler of the tools' install button: unpacking only.
void InstallTools();

// The steps after unpacking, on a staging tree that is in place: listing,
// copying into every target of the edit box, plug-in lists, and the
// messages.
void install_from_staging(const InstallRow& row, const std::string& staging);

// One target of an install, right after it was handled.
struct TargetInstall {
  std::string target;         // as given
  std::string root;           // the target ending in "\"
  bool is_directory = false;  // otherwise nothing was done there
  RootInstall install;
};
using TargetInstalled = std::function<void(const TargetInstall&)>;

enum class InstallEnd {
  Done,          // every target was handled (each as `each` heard)
  Refused,       // another install runs, or the package's download
  UnpackFailed,  // nothing was copied anywhere
  WindowClosed,  // the operator closed the window while the staging tree was listed
};

// The whole install, without a word to the operator: the archive unpacked,
// then each target in order, all or nothing per root. The tools are only
// unpacked and take no targets.
InstallEnd install_package(Package package, const std::vector<std::string>& targets, const TargetInstalled& each);

}  // namespace updater
