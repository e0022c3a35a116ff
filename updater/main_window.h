#pragma once

#include "runtime/event_routine.h"

// The routines linked to the main window's events, in the order of the
// program's routine table.
namespace updater {

rt::EventAnswer OnMainWindowCreated(const rt::EventArguments&);
rt::EventAnswer CheckForUpdates(const rt::EventArguments&);
rt::EventAnswer SaveAutoCheckSettings(const rt::EventArguments&);
rt::EventAnswer SelectTestEdition(const rt::EventArguments&);
rt::EventAnswer SelectFreeEdition(const rt::EventArguments&);
rt::EventAnswer OnCheckTimer(const rt::EventArguments&);
rt::EventAnswer StartDownloadClickedEngine(const rt::EventArguments&);
rt::EventAnswer StartDownloadClickedFeature(const rt::EventArguments&);
rt::EventAnswer StartDownloadClickedAntiCheat(const rt::EventArguments&);
rt::EventAnswer StartDownloadClickedTools(const rt::EventArguments&);
rt::EventAnswer InstallPackageEngine(const rt::EventArguments&);
rt::EventAnswer InstallPackageFeature(const rt::EventArguments&);
rt::EventAnswer InstallPackageAntiCheat(const rt::EventArguments&);
rt::EventAnswer InstallTools(const rt::EventArguments&);
rt::EventAnswer RollBackLastInstall(const rt::EventArguments&);

// The program's exit routine: stops what still runs and releases the state.
void OnProgramExit();

}  // namespace updater
