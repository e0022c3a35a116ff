// --install and --rollback: the install and rollback routines of the
// buttons, with the server roots of the command line and a line (or a few)
// per root instead of message boxes.
#include "updater/command_line.h"
#include "updater/command_runs.h"
#include "updater/console_output.h"
#include "updater/install_rows.h"
#include "updater/package_install.h"
#include "updater/rollback_button.h"
#include "updater/updater_state.h"

namespace updater {
namespace {

void say(const std::string& line) { console::write_line(console::Stream::Out, line); }

void say_message(const std::string& message) {
  for (const std::string& line : message_lines(message)) say(line);
}

void complain(const std::string& line) { console::write_line(console::Stream::Error, line); }

// Another install or rollback holds the server roots; in a program of its
// own that cannot happen, but the answer is ready.
constexpr const char* kBusy = "另一个安装或回滚正在进行";

}  // namespace

std::vector<std::string> message_lines(const std::string& message) {
  std::vector<std::string> lines;
  for (size_t start = 0;;) {
    const size_t end = message.find("\r\n", start);
    const std::string line = message.substr(start, end == std::string::npos ? std::string::npos : end - start);
    lines.push_back(lines.empty() ? line : "  " + line);
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

int32_t run_install(Package package, const std::vector<std::string>& targets) {
  const InstallRow& row = install_row(package);
  const char* archive = units_of(package).archive;
  // As the window, whose install button stays disabled without an archive.
  if (state().local_digest(package) == kEmptyDigest) {
    complain(std::string("没有可安装的 ") + archive + " (不存在或为空)");
    return kExitFailed;
  }
  bool every_root = true;
  const InstallEnd end = install_package(package, targets, [&](const TargetInstall& done) {
    if (!done.is_directory) {
      say(done.target + "目录不存在");
      every_root = false;
    } else if (done.install.outcome == RootInstall::Outcome::Installed) {
      say("ok " + done.root);
    } else {
      say_message(failure_message("安装到 " + done.root + " 失败", done.install));
      every_root = false;
    }
  });
  switch (end) {
    case InstallEnd::Done: break;
    case InstallEnd::UnpackFailed: complain(row.unpack_failure); return kExitFailed;
    case InstallEnd::Refused:
    case InstallEnd::WindowClosed: complain(kBusy); return kExitFailed;
  }
  if (package == Package::Tools) say("ok " + state().program_directory + row.staging + "\\");
  return every_root ? kExitDone : kExitSomeRootsFailed;
}

int32_t run_rollback(Package package, const std::vector<std::string>& targets) {
  bool every_root = true;
  const bool ran = roll_back_package(package, targets, [&](const TargetRollback& done) {
    const bool rolled_back = done.is_directory && done.rollback.outcome == Rollback::Outcome::RolledBack;
    every_root = every_root && rolled_back;
    if (!done.is_directory)
      say(done.target + "目录不存在");
    else if (rolled_back)
      say("ok " + done.root);
    else if (done.rollback.outcome == Rollback::Outcome::NoBackup)
      say(done.target + " 没有可回滚的安装");
    else
      say_message(rollback_failure(done.root, done.rollback));
  });
  if (!ran) {
    complain(kBusy);
    return kExitFailed;
  }
  return every_root ? kExitDone : kExitSomeRootsFailed;
}

}  // namespace updater
