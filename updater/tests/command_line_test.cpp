// The command line's grammar: which commands, packages and server roots a
// list of arguments gives, and the one-line reason for one that is wrong.
#include "updater/command_line.h"

#include <gtest/gtest.h>

#include "platform/testing/display_text.h"

namespace updater {
namespace {

using test_support::display_text;
using Args = std::vector<std::string>;

std::string joined(const Args& args) {
  std::string text;
  for (const std::string& a : args) text += (text.empty() ? "" : " ") + display_text(a);
  return text;
}

struct Accepted {
  Args args;
  CommandKind kind;
  std::vector<Package> packages;
  Args targets;
  Args targets_files;
  std::optional<std::string> config_url;
};

TEST(CommandLine, reads_each_command_with_its_packages_and_roots) {
  const Package E = Package::Engine, F = Package::Feature, A = Package::AntiCheat, T = Package::Tools;
  const Accepted cases[] = {
      {{}, CommandKind::None, {}, {}, {}, std::nullopt},
      {{"--config-url", "http://127.0.0.1:9/a.txt"}, CommandKind::None, {}, {}, {}, "http://127.0.0.1:9/a.txt"},
      {{"--check"}, CommandKind::Check, {}, {}, {}, std::nullopt},
      {{"--check", "--config-url", "u"}, CommandKind::Check, {}, {}, {}, "u"},
      {{"--config-url", "u", "--check"}, CommandKind::Check, {}, {}, {}, "u"},
      {{"--download", "功能"}, CommandKind::Download, {F}, {}, {}, std::nullopt},
      {{"--download", "工具", "霁川"}, CommandKind::Download, {T, E}, {}, {}, std::nullopt},
      {{"--download", "all"}, CommandKind::Download, {E, F, A, T}, {}, {}, std::nullopt},
      // Each package once, in the order first named.
      {{"--download", "反挂", "all", "反挂"}, CommandKind::Download, {A, E, F, T}, {}, {}, std::nullopt},
      {{"--download", "功能", "--config-url", "u"}, CommandKind::Download, {F}, {}, {}, "u"},
      {{"--install", "功能", "--target", "D:\\A", "--target", "D:\\B"},
       CommandKind::Install,
       {F},
       {"D:\\A", "D:\\B"},
       {},
       std::nullopt},
      {{"--target", "D:\\A", "--install", "霁川"}, CommandKind::Install, {E}, {"D:\\A"}, {}, std::nullopt},
      {{"--install", "反挂", "--targets-file", "roots.txt"},
       CommandKind::Install,
       {A},
       {},
       {"roots.txt"},
       std::nullopt},
      // A root may begin with "-": the value of --target is taken as it is.
      {{"--install", "功能", "--target", "-odd"}, CommandKind::Install, {F}, {"-odd"}, {}, std::nullopt},
      {{"--install", "工具"}, CommandKind::Install, {T}, {}, {}, std::nullopt},
      {{"--rollback", "霁川", "--target", "D:\\服务器"}, CommandKind::Rollback, {E}, {"D:\\服务器"}, {}, std::nullopt},
      {{"--check", "--help"}, CommandKind::Help, {}, {}, {}, std::nullopt},
      {{"--nonsense", "-h"}, CommandKind::Help, {}, {}, {}, std::nullopt},
      {{"/?"}, CommandKind::Help, {}, {}, {}, std::nullopt},
  };
  for (const Accepted& c : cases) {
    SCOPED_TRACE(joined(c.args));
    const Result<CommandLine> parsed = parse_command_line(c.args);
    ASSERT_TRUE(parsed.ok()) << display_text(parsed.reason());
    const CommandLine& got = parsed.value();
    EXPECT_EQ(got.kind, c.kind);
    EXPECT_EQ(got.packages, c.packages);
    EXPECT_EQ(got.targets, c.targets);
    EXPECT_EQ(got.targets_files, c.targets_files);
    EXPECT_EQ(got.config_url, c.config_url);
  }
}

TEST(CommandLine, refuses_what_it_cannot_run_with_the_reason) {
  const std::pair<Args, std::string> cases[] = {
      {{"--frobnicate"}, "未知的选项: --frobnicate"},
      {{"功能"}, "多余的参数: 功能"},
      {{"--check", "功能"}, "多余的参数: 功能"},
      {{"--check", "--download", "功能"}, "一次只能给出一个命令: --check 和 --download"},
      {{"--download"}, "--download 后面缺少软件包名"},
      {{"--download", "--check"}, "--download 后面缺少软件包名"},
      {{"--download", "正式"}, "未知的软件包: 正式 (可用: 霁川 功能 反挂 工具, --download 还可用 all)"},
      {{"--install"}, "--install 后面缺少软件包名"},
      {{"--install", "all", "--target", "D:\\A"}, "--install 一次只处理一个软件包"},
      {{"--install", "功能", "反挂", "--target", "D:\\A"}, "多余的参数: 反挂"},
      {{"--install", "功能"}, "--install 需要 --target 或 --targets-file"},
      {{"--rollback", "反挂"}, "--rollback 需要 --target 或 --targets-file"},
      {{"--install", "工具", "--target", "D:\\A"}, "工具 只解压到程序目录, 不用 --target"},
      {{"--rollback", "工具", "--target", "D:\\A"}, "工具 只解压到程序目录, 没有可回滚的安装"},
      {{"--check", "--target", "D:\\A"}, "--target 和 --targets-file 只用于 --install 和 --rollback"},
      {{"--targets-file", "roots.txt"}, "--target 和 --targets-file 只用于 --install 和 --rollback"},
      {{"--install", "功能", "--target"}, "--target 后面缺少值"},
      {{"--check", "--config-url"}, "--config-url 后面缺少值"},
  };
  for (const auto& [args, reason] : cases) {
    const Result<CommandLine> parsed = parse_command_line(args);
    ASSERT_FALSE(parsed.ok()) << joined(args);
    EXPECT_EQ(parsed.reason(), reason) << joined(args) << ": got \"" << display_text(parsed.reason())
                                       << "\", expected \"" << display_text(reason) << "\"";
  }
}

TEST(CommandLine, names_each_package_as_the_output_does) {
  for (size_t i = 0; i < kPackageCount; ++i) {
    const auto package = static_cast<Package>(i);
    EXPECT_EQ(package_named(command_name(package)), package) << display_text(command_name(package));
  }
  EXPECT_EQ(package_named("all"), std::nullopt);
  EXPECT_EQ(package_named("功能.zip"), std::nullopt);
}

TEST(CommandLine, usage_names_every_command_and_exit_code) {
  const std::string usage = usage_text("下载器.exe");
  for (const char* part : {"下载器.exe --check", "--download", "--install", "--rollback", "--targets-file",
                           "--config-url", "--help", "  0 ", "  10 ", "  1 ", "  2 "})
    EXPECT_NE(usage.find(part), std::string::npos) << display_text(part);
  EXPECT_EQ(usage.substr(usage.size() - 2), "\r\n");
}

}  // namespace
}  // namespace updater
