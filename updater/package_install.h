#pragma once

#include <string>

#include "updater/install_rows.h"
#include "updater/packages.h"

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
// copying into every target, plug-in lists, and the closing message.
void install_from_staging(const InstallRow& row, const std::string& staging);

}  // namespace updater
