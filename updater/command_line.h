#pragma once

#include <optional>
#include <string>
#include <vector>

#include "updater/packages.h"
#include "updater/step_result.h"

// The updater's command line. Without a command the program opens its
// window; with one it runs that command without showing the window and ends
// with an exit code a script can act on:
//
//   --check                                  verdicts of the four packages
//   --download PKG... | all                  downloads, as the "下载" buttons do
//   --install PKG --target DIR...            installs, as the "安装" buttons do
//   --rollback PKG --target DIR...           as the button "回滚上次安装"
//   --targets-file F                         server roots from a file, one a line
//   --config-url URL                         with any command, and without one
//   --help
//
// Arguments are GBK texts, the program's own code page.
namespace updater {

enum class CommandKind { None, Help, Check, Download, Install, Rollback };

struct CommandLine {
  CommandKind kind = CommandKind::None;
  std::vector<Package> packages;  // in the order given, each once
  std::vector<std::string> targets;
  std::vector<std::string> targets_files;  // their roots come after `targets`
  std::optional<std::string> config_url;
};

// The arguments after the program's name. A failure's reason is one line
// for the operator.
Result<CommandLine> parse_command_line(const std::vector<std::string>& arguments);

// What --help prints, lines joined by "\r\n", for the program of that file name.
std::string usage_text(const std::string& program_name);

// Exit codes of the commands.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitSomeRootsFailed = 2;  // --install, --rollback
inline constexpr int kExitNewerRelease = 10;    // --check

// The package's name on the command line and in the commands' output.
const char* command_name(Package package);
std::optional<Package> package_named(const std::string& name);

}  // namespace updater
