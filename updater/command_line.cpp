#include "updater/command_line.h"

#include <algorithm>
#include <array>

namespace updater {
namespace {

constexpr std::array<const char*, kPackageCount> kCommandNames = {"霁川", "功能", "反挂", "工具"};
constexpr const char* kAllPackages = "all";

bool is_option(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

bool asks_for_help(const std::string& argument) { return argument == "--help" || argument == "-h" || argument == "/?"; }

const char* option_of(CommandKind kind) {
  switch (kind) {
    case CommandKind::Check: return "--check";
    case CommandKind::Download: return "--download";
    case CommandKind::Install: return "--install";
    case CommandKind::Rollback: return "--rollback";
    case CommandKind::None:
    case CommandKind::Help: break;
  }
  return "";
}

Failure unknown_package(const std::string& name) {
  return Failure{"未知的软件包: " + name + " (可用: 霁川 功能 反挂 工具, --download 还可用 all)"};
}

void add_package(std::vector<Package>& packages, Package package) {
  if (std::find(packages.begin(), packages.end(), package) == packages.end()) packages.push_back(package);
}

// Reads the command line front to back; the checks that need all of it
// follow in `complete`.
class Reader {
 public:
  explicit Reader(const std::vector<std::string>& arguments) : m_arguments(arguments) {}

  Result<CommandLine> read() {
    while (m_next < m_arguments.size()) UPDATER_TRY(read_one(m_arguments[m_next++]));
    return complete();
  }

 private:
  Result<void> read_one(const std::string& argument) {
    if (argument == "--check") return begin(CommandKind::Check);
    if (argument == "--download") {
      UPDATER_TRY(begin(CommandKind::Download));
      return read_download_packages();
    }
    if (argument == "--install" || argument == "--rollback") {
      UPDATER_TRY(begin(argument == "--install" ? CommandKind::Install : CommandKind::Rollback));
      return read_single_package(argument);
    }
    if (argument == "--target") return read_value(argument, m_command.targets);
    if (argument == "--targets-file") return read_value(argument, m_command.targets_files);
    if (argument == "--config-url") {
      std::vector<std::string> url;
      UPDATER_TRY(read_value(argument, url));
      m_command.config_url = url.front();
      return {};
    }
    if (is_option(argument)) return Failure{"未知的选项: " + argument};
    return Failure{"多余的参数: " + argument};
  }

  Result<void> begin(CommandKind kind) {
    if (m_command.kind != CommandKind::None)
      return Failure{std::string("一次只能给出一个命令: ") + option_of(m_command.kind) + " 和 " + option_of(kind)};
    m_command.kind = kind;
    return {};
  }

  Result<void> read_download_packages() {
    for (; m_next < m_arguments.size() && !is_option(m_arguments[m_next]); ++m_next) {
      const std::string& name = m_arguments[m_next];
      if (name == kAllPackages) {
        for (size_t i = 0; i < kPackageCount; ++i) add_package(m_command.packages, static_cast<Package>(i));
        continue;
      }
      const std::optional<Package> package = package_named(name);
      if (!package) return unknown_package(name);
      add_package(m_command.packages, *package);
    }
    if (m_command.packages.empty()) return Failure{"--download 后面缺少软件包名"};
    return {};
  }

  Result<void> read_single_package(const std::string& option) {
    if (m_next >= m_arguments.size() || is_option(m_arguments[m_next])) return Failure{option + " 后面缺少软件包名"};
    const std::string& name = m_arguments[m_next++];
    if (name == kAllPackages) return Failure{option + " 一次只处理一个软件包"};
    const std::optional<Package> package = package_named(name);
    if (!package) return unknown_package(name);
    m_command.packages.push_back(*package);
    return {};
  }

  // The value is the next argument, whatever it looks like: a directory may
  // well begin with "-".
  Result<void> read_value(const std::string& option, std::vector<std::string>& values) {
    if (m_next >= m_arguments.size()) return Failure{option + " 后面缺少值"};
    values.push_back(m_arguments[m_next++]);
    return {};
  }

  Result<CommandLine> complete() {
    const bool has_roots = !m_command.targets.empty() || !m_command.targets_files.empty();
    const bool takes_roots = m_command.kind == CommandKind::Install || m_command.kind == CommandKind::Rollback;
    if (has_roots && !takes_roots) return Failure{"--target 和 --targets-file 只用于 --install 和 --rollback"};
    if (!takes_roots) return m_command;
    const Package package = m_command.packages.front();
    const char* option = option_of(m_command.kind);
    if (package == Package::Tools) {
      // The tools are only unpacked into the program directory: no server
      // root, and so no backup to roll back.
      if (m_command.kind == CommandKind::Rollback) return Failure{"工具 只解压到程序目录, 没有可回滚的安装"};
      if (has_roots) return Failure{"工具 只解压到程序目录, 不用 --target"};
      return m_command;
    }
    if (!has_roots) return Failure{std::string(option) + " 需要 --target 或 --targets-file"};
    return m_command;
  }

  const std::vector<std::string>& m_arguments;
  size_t m_next = 0;
  CommandLine m_command;
};

}  // namespace

Result<CommandLine> parse_command_line(const std::vector<std::string>& arguments) {
  if (std::any_of(arguments.begin(), arguments.end(), asks_for_help)) {
    CommandLine help;
    help.kind = CommandKind::Help;
    // A copy, not a move: GCC 12 with the sanitizers takes the move of the
    // empty config_url for a read of an uninitialised text.
    const CommandLine& asked = help;
    return asked;
  }
  return Reader(arguments).read();
}

std::string usage_text(const std::string& program) {
  // Two columns; a GBK character takes two bytes and two columns of a
  // console, so byte counts line them up.
  const std::pair<std::string, std::string> commands[] = {
      {"", "打开下载器窗口"},
      {" --check", "检查四个软件包有没有新版"},
      {" --download 软件包... | all", "下载, 与\"下载\"按钮相同"},
      {" --install 软件包 --target 目录...", "安装到服务器目录, 与\"安装\"按钮相同"},
      {" --rollback 软件包 --target 目录...", "回滚上次安装, 与\"回滚上次安装\"按钮相同"},
  };
  size_t width = 0;
  for (const auto& [command, what] : commands) width = std::max(width, program.size() + command.size());
  std::string text = "用法:\r\n";
  for (const auto& [command, what] : commands)
    text += "  " + program + command + std::string(width + 2 - program.size() - command.size(), ' ') + what + "\r\n";
  const char* const rest[] = {
      "",
      "软件包: 霁川 功能 反挂 工具 (工具 只解压到程序目录, 不用 --target)",
      "",
      "选项:",
      "  --target 目录          服务器目录, 可以给出多个",
      "  --targets-file 文件    从文件读服务器目录, 每行一个 (UTF-8, UTF-16 或 GBK)",
      "  --config-url 地址      远程配置的地址, 每个命令都可用",
      "  --help                 显示本说明",
      "",
      "退出码:",
      "  0   成功; --check: 都是最新版",
      "  10  --check: 有软件包发现新版",
      "  1   失败: 读取远程配置失败, 缺少 MD5, 下载未完成或与 MD5 不符, 没有压缩包, 解压失败, 参数错误",
      "  2   --install, --rollback: 有服务器目录没有更新",
  };
  for (const char* line : rest) text += std::string(line) + "\r\n";
  return text;
}

const char* command_name(Package package) { return kCommandNames[static_cast<size_t>(package)]; }

std::optional<Package> package_named(const std::string& name) {
  for (size_t i = 0; i < kPackageCount; ++i)
    if (name == kCommandNames[i]) return static_cast<Package>(i);
  return std::nullopt;
}

}  // namespace updater
