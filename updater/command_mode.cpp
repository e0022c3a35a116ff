#include "updater/command_mode.h"

#include <windows.h>
// After <windows.h>:
#include <shellapi.h>

#include "platform/path.h"
#include "platform/process.h"
#include "runtime/runtime_error.h"
#include "runtime/service_table.h"
#include "runtime/system_function.h"
#include "units/template/template_registry.h"
#include "updater/command_runs.h"
#include "updater/console_output.h"
#include "updater/main_window_units.h"
#include "updater/targets_file.h"
#include "updater/updater_state.h"
#include "updater/wide_text.h"

namespace updater {
namespace {

CommandLine& the_command() {
  static CommandLine command;
  return command;
}

[[noreturn]] void fail(const std::string& reason) {
  console::write_line(console::Stream::Error, reason);
  console::write_line(console::Stream::Error, "用 --help 查看用法");
  platform::exit_process(kExitFailed);
}

std::vector<std::wstring> wide_arguments() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> list;
  for (int i = 1; arguments && i < count; ++i) list.emplace_back(arguments[i]);
  if (arguments) LocalFree(arguments);
  return list;
}

std::wstring program_file_name() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring full = path;
  const size_t slash = full.find_last_of(L"\\/");
  return slash == std::wstring::npos ? full : full.substr(slash + 1);
}

// The path from where the operator stands; as it is when the system cannot
// tell (an empty text, say), and the install then finds no such directory.
std::string absolute(const std::string& path) {
  const std::wstring wide = platform::wide_path(path);
  const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (path.empty() || length == 0) return path;
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  if (written == 0 || written >= length) return path;
  full.resize(written);
  const std::optional<std::string> gbk = gbk_exactly(full);
  return gbk ? *gbk : path;
}

// The --target roots, then those of each list in order, all from where the
// operator stands.
void gather_targets(CommandLine& command) {
  for (std::string& target : command.targets) target = absolute(target);
  for (const std::string& file : command.targets_files) {
    Result<std::vector<std::string>> listed = read_targets_file(absolute(file));
    if (!listed.ok()) fail(listed.reason());
    for (const std::string& target : listed.value()) command.targets.push_back(absolute(target));
  }
}

// Clears the visible flag of the main window's template before it is
// loaded: the units are made and the creation handler runs, but the window
// is never shown. The program never loads it twice.
void load_main_window_hidden() {
  auto* registry = reinterpret_cast<units::TemplateRegistry*>(
      static_cast<intptr_t>(rt::system_function(rt::sysfn::kTemplateRegistry, 0, 0)));
  if (units::WindowTemplate* main = registry ? registry->find(window::kMainWindow) : nullptr)
    if (!main->entries.empty()) main->entries[0].flags &= ~units::kFlagVisible;
  rt::services().load_start_window(window::kMainWindow);
}

}  // namespace

void apply_command_line() {
  std::vector<std::string> arguments;
  size_t position = 0;
  for (const std::wstring& wide : wide_arguments()) {
    ++position;
    const std::optional<std::string> gbk = gbk_exactly(wide);
    if (!gbk) fail("第 " + std::to_string(position) + " 个参数含有 GBK 以外的字符, 下载器的路径和文字都是 GBK");
    arguments.push_back(*gbk);
  }
  Result<CommandLine> parsed = parse_command_line(arguments);
  if (!parsed.ok()) fail(parsed.reason());
  CommandLine& command = parsed.value();
  if (command.kind == CommandKind::Help) {
    const std::optional<std::string> name = gbk_exactly(program_file_name());
    console::write(console::Stream::Out, usage_text(name ? *name : "updater.exe"));
    platform::exit_process(kExitDone);
  }
  if (command.config_url) set_config_url(*command.config_url);
  gather_targets(command);
  the_command() = std::move(command);
}

const CommandLine& given_command() { return the_command(); }

int32_t run_given_command() {
  // Nobody may be there to close the box of a runtime error: its text goes
  // to the error stream, and the program ends with -1 all the same.
  rt::set_error_report_sink([](const std::string& text) { console::write(console::Stream::Error, text); });
  load_main_window_hidden();
  const CommandLine& command = given_command();
  switch (command.kind) {
    case CommandKind::Check: return run_check();
    case CommandKind::Download: return run_download(command.packages);
    case CommandKind::Install: return run_install(command.packages.front(), command.targets);
    case CommandKind::Rollback: return run_rollback(command.packages.front(), command.targets);
    case CommandKind::None:
    case CommandKind::Help: break;
  }
  return kExitFailed;
}

}  // namespace updater
