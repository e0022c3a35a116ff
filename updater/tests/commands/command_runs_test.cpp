// The updater run with a command, as a scheduled task runs it: a child
// process with its own program directory, against nginx (and the scripted
// fault server) on 127.0.0.1, its output read through pipes as UTF-8 and
// compared line by line, and its windows watched all the while: none may
// be shown.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/path.h"
#include "platform/testing/display_text.h"
#include "platform/testing/scripted_server.h"
#include "updater/tests/commands/updater_child.h"
#include "updater/tests/file_holder.h"
#include "updater/tests/tree_snapshot.h"
#include "updater/tests/updater_test_support.h"

namespace updater::testing {
namespace {

using Lines = std::vector<std::string>;
using test_support::display_text;

std::string shown(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n  " + display_text(line);
  return text;
}

#define EXPECT_LINES(got, ...)                                                                          \
  do {                                                                                                  \
    const Lines expected_lines_ = __VA_ARGS__;                                                          \
    EXPECT_EQ(got, expected_lines_) << "got:" << shown(got) << "\nexpected:" << shown(expected_lines_); \
  } while (0)

// The Unix folder the build wrote the demo packages to, as Wine shows it.
std::string demo_package(const char* archive) {
  std::string path = "Z:" UPDATER_DEMO_PACKAGES_DIR "\\";
  for (char& c : path)
    if (c == '/') c = '\\';
  return read_file(path + archive);
}

const char* const kArchives[] = {"霁川.zip", "功能.zip", "反挂.zip", "工具.zip"};
const char* const kServedNames[] = {"jc.zip", "gn.zip", "fg.zip", "gj.zip"};

class CommandRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server().running()) << server().problem;
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    m_program = fresh_program_directory("命令行\\" + name);
    CreateDirectoryA(server().document_path("cli").c_str(), nullptr);
    for (size_t i = 0; i < 4; ++i) ASSERT_TRUE(serve(kServedNames[i], demo_package(kArchives[i])));
    publish(current_configuration());
  }

  static bool serve(const std::string& name, const std::string& bytes) {
    return server().write_document("cli/" + name, bytes);
  }
  static void publish(const std::string& configuration) { ASSERT_TRUE(serve("xiazai2.txt", configuration)); }
  static std::string current_configuration() {
    return configuration_for(demo_package("霁川.zip"), demo_package("功能.zip"), demo_package("反挂.zip"),
                             demo_package("工具.zip"), "/cli/");
  }

  // Runs the updater with the command and the test's configuration; no
  // window of the child may ever be visible.
  ChildRun run(Lines arguments, const std::string& working_directory = "") {
    arguments.push_back("--config-url");
    arguments.push_back(m_config_url.empty() ? server().url("/cli/xiazai2.txt") : m_config_url);
    ChildRun result = run_updater(m_program, arguments, working_directory);
    EXPECT_TRUE(result.finished) << describe(result);
    EXPECT_TRUE(result.visible_windows.empty()) << describe(result);
    EXPECT_TRUE(result.out_is_utf8) << describe(result);
    return result;
  }

  void hold(const char* archive, const std::string& bytes) { write_file(m_program + archive, bytes); }
  std::string held(const char* archive) const { return read_file(m_program + archive); }

  // A server root of an older release, ending in "\".
  std::string server_root(const std::string& name) const {
    const std::string root = m_program + name + "\\";
    for (const char* part : {"DBServer", "Mir200"}) make_directories(root + part);
    write_file(root + "Mir200\\M2Server.exe", "the server of the last release");
    write_file(root + "Mir200\\TQGM2PlusLoad.dll", "the feature plug-in of the last release");
    write_file(root + "Mir200\\PlugList.txt", "tqgm2.dll\r\nMyShop.dll\r\n");
    return root;
  }

  std::string m_program;
  std::string m_config_url;
};

// --check

TEST_F(CommandRuns, check_prints_the_verdicts_and_exits_10_with_an_older_archive) {
  for (const char* archive : kArchives) hold(archive, demo_package(archive));
  hold("功能.zip", "the feature plug-in of the last release");
  const ChildRun result = run({"--check"});
  EXPECT_EQ(result.exit_code, 10) << describe(result);
  const std::string jc = md5_hex(demo_package("霁川.zip")), gn = md5_hex(demo_package("功能.zip")),
                    fg = md5_hex(demo_package("反挂.zip")), gj = md5_hex(demo_package("工具.zip"));
  EXPECT_LINES(result.out, {"霁川 " + jc + " " + jc + " 最新版",
                            "功能 " + md5_hex("the feature plug-in of the last release") + " " + gn + " 发现新版",
                            "反挂 " + fg + " " + fg + " 最新版", "工具 " + gj + " " + gj + " 最新版"});
  EXPECT_LINES(result.error, {});
  // The names arrive as UTF-8 bytes, each line ended by CR LF.
  EXPECT_NE(result.out_bytes.find("\xE5\x8A\x9F\xE8\x83\xBD "), std::string::npos);
  EXPECT_EQ(result.out_bytes.substr(result.out_bytes.size() - 2), "\r\n");
  // The main window was there, loaded and hidden.
  EXPECT_GT(result.windows_seen, 0);
}

TEST_F(CommandRuns, check_shows_a_missing_archive_as_a_dash) {
  const ChildRun result = run({"--check"});
  EXPECT_EQ(result.exit_code, 10) << describe(result);
  EXPECT_LINES(result.out, {"霁川 - " + md5_hex(demo_package("霁川.zip")) + " 发现新版",
                            "功能 - " + md5_hex(demo_package("功能.zip")) + " 发现新版",
                            "反挂 - " + md5_hex(demo_package("反挂.zip")) + " 发现新版",
                            "工具 - " + md5_hex(demo_package("工具.zip")) + " 发现新版"});
}

TEST_F(CommandRuns, check_exits_0_when_every_archive_is_current) {
  for (const char* archive : kArchives) hold(archive, demo_package(archive));
  const ChildRun result = run({"--check"});
  EXPECT_EQ(result.exit_code, 0) << describe(result);
  ASSERT_EQ(result.out.size(), 4u) << describe(result);
  for (const std::string& line : result.out) EXPECT_EQ(line.substr(line.size() - 6), "最新版") << describe(result);
}

TEST_F(CommandRuns, check_exits_1_with_the_reason_when_the_server_is_down) {
  m_config_url = "http://127.0.0.1:1/cli/xiazai2.txt";  // nothing listens on port 1
  const ChildRun result = run({"--check"});
  EXPECT_EQ(result.exit_code, 1) << describe(result);
  EXPECT_LINES(result.out, {});
  EXPECT_LINES(result.error, {"读取远程配置失败"});
}

TEST_F(CommandRuns, check_ends_at_a_missing_digest_with_its_text) {
  std::string configuration = current_configuration();
  const std::string feature_md5 = "MD5=" + md5_hex(demo_package("功能.zip")) + "\r\n";
  configuration.erase(configuration.find(feature_md5), feature_md5.size());
  publish(configuration);
  const ChildRun result = run({"--check"});
  EXPECT_EQ(result.exit_code, 1) << describe(result);
  EXPECT_LINES(result.out, {"霁川 - " + md5_hex(demo_package("霁川.zip")) + " 发现新版"});
  EXPECT_LINES(result.error, {"功能插件MD5 错误"});
}

TEST_F(CommandRuns, check_from_a_prompt_writes_to_its_console) {
  for (const char* archive : kArchives) hold(archive, demo_package(archive));
  const ChildRun result =
      run_updater_in_a_console(m_program, {"--check", "--config-url", server().url("/cli/xiazai2.txt")});
  EXPECT_EQ(result.exit_code, 0) << describe(result);
  EXPECT_TRUE(result.visible_windows.empty()) << describe(result);
  Lines expected;
  for (size_t i = 0; i < 4; ++i) {
    const std::string md5 = md5_hex(demo_package(kArchives[i]));
    expected.push_back(std::string(kArchives[i]).substr(0, 4) + " " + md5 + " " + md5 + " 最新版");
  }
  EXPECT_LINES(result.out, expected);
}

// --download

TEST_F(CommandRuns, download_produces_the_served_bytes_and_exits_0) {
  hold("功能.zip", "the feature plug-in of the last release");
  const ChildRun result = run({"--download", "功能"});
  EXPECT_EQ(result.exit_code, 0) << describe(result);
  EXPECT_LINES(result.out, {"功能 ok " + md5_hex(demo_package("功能.zip"))});
  // Progress goes to a terminal only, never into a pipe.
  EXPECT_LINES(result.error, {});
  EXPECT_EQ(held("功能.zip"), demo_package("功能.zip"));
  EXPECT_FALSE(exists(m_program + "功能.zip.part"));
  EXPECT_FALSE(exists(m_program + "工具.zip"));
  EXPECT_GT(result.windows_seen, 0);
}

TEST_F(CommandRuns, download_from_a_prompt_shows_its_progress_on_the_console_and_clears_it) {
  // Slow enough to be watched: the engine archive at 256 KiB/s.
  CreateDirectoryA(server().document_path("slow").c_str(), nullptr);
  ASSERT_TRUE(server().write_document("slow/cli-jc.zip", demo_package("霁川.zip")));
  std::string configuration = current_configuration();
  const std::string fast = server().url("/cli/jc.zip"), slow = server().url("/slow/cli-jc.zip");
  for (size_t at; (at = configuration.find(fast)) != std::string::npos;) configuration.replace(at, fast.size(), slow);
  publish(configuration);

  const ChildRun result =
      run_updater_in_a_console(m_program, {"--download", "霁川", "--config-url", server().url("/cli/xiazai2.txt")});
  EXPECT_EQ(result.exit_code, 0) << describe(result);
  EXPECT_TRUE(result.visible_windows.empty()) << describe(result);
  // The progress line went, leaving the final line alone.
  EXPECT_LINES(result.out, {"霁川 ok " + md5_hex(demo_package("霁川.zip"))});
  // While it ran: the status text, the bar's percent, the bytes of the
  // whole and the speed label, as the window shows them.
  const std::string size = std::to_string(demo_package("霁川.zip").size());
  const std::string status = "正在下载霁川文件: ";
  bool progress_seen = false;
  for (const std::string& line : result.screen_lines_seen)
    progress_seen = progress_seen ||
                    (line.rfind(status, 0) == 0 && line.find("% ") != std::string::npos &&
                     line.find("/" + size + " 字节 ") != std::string::npos && line.substr(line.size() - 4) == "KB/S");
  EXPECT_TRUE(progress_seen) << "seen:" << shown(result.screen_lines_seen);
}

TEST_F(CommandRuns, download_from_a_server_that_drops_keeps_the_old_archive_and_exits_1) {
  const test_support::ScriptedServer dropping = test_support::find_scripted_server();
  ASSERT_TRUE(dropping.running()) << dropping.problem;
  ASSERT_TRUE(dropping.control("reset/drop-after-1000-bytes").ok());
  std::string configuration = current_configuration();
  const std::string served = server().url("/cli/gn.zip");
  configuration.replace(configuration.find(served), served.size(),
                        dropping.url("/s/drop-after-1000-bytes/gn.zip"));
  publish(configuration);
  hold("功能.zip", "the feature plug-in of the last release");
  // Two quick retries instead of 999 five seconds apart; the program never sets this.
  SetEnvironmentVariableA("UPDATER_TEST_RETRY", "2,50");
  const ChildRun result = run({"--download", "功能"});
  SetEnvironmentVariableA("UPDATER_TEST_RETRY", nullptr);

  EXPECT_EQ(result.exit_code, 1) << describe(result);
  EXPECT_LINES(result.out, {"功能 下载功能.zip失败"});
  EXPECT_EQ(held("功能.zip"), "the feature plug-in of the last release");
  EXPECT_FALSE(exists(m_program + "功能.zip.part"));
  const test_support::ControlAnswer requests = dropping.control("requests/drop-after-1000-bytes");
  EXPECT_NE(requests.body.find("request 2 "), std::string::npos) << "the download never came back for more";
}

TEST_F(CommandRuns, download_that_differs_from_the_published_digest_exits_1) {
  const std::string other = "a release the configuration does not describe";
  ASSERT_TRUE(serve("gn.zip", other));
  const ChildRun result = run({"--download", "功能"});
  EXPECT_EQ(result.exit_code, 1) << describe(result);
  // Complete, it replaced the archive, as a download from the window does.
  EXPECT_LINES(result.out,
               {"功能 下载的 功能.zip 与远程 MD5 不符: " + md5_hex(other) + " " + md5_hex(demo_package("功能.zip"))});
  EXPECT_EQ(held("功能.zip"), other);
}

TEST_F(CommandRuns, download_all_exits_1_when_one_package_has_no_address) {
  std::string configuration = current_configuration();
  const std::string anti_cheat_url = "URL=" + server().url("/cli/fg.zip") + "\r\n";
  configuration.erase(configuration.find(anti_cheat_url), anti_cheat_url.size());
  publish(configuration);
  const ChildRun result = run({"--download", "all"});
  EXPECT_EQ(result.exit_code, 1) << describe(result);
  EXPECT_LINES(result.out,
               {"霁川 ok " + md5_hex(demo_package("霁川.zip")), "功能 ok " + md5_hex(demo_package("功能.zip")),
                "反挂 反挂下载地址为空", "工具 ok " + md5_hex(demo_package("工具.zip"))});
  for (const char* archive : {"霁川.zip", "功能.zip", "工具.zip"})
    EXPECT_EQ(held(archive), demo_package(archive)) << display_text(archive);
  EXPECT_FALSE(exists(m_program + "反挂.zip"));
}

TEST_F(CommandRuns, download_without_the_configuration_exits_1_with_the_reason) {
  m_config_url = "http://127.0.0.1:1/cli/xiazai2.txt";
  hold("功能.zip", "the feature plug-in of the last release");
  const ChildRun result = run({"--download", "功能"});
  EXPECT_EQ(result.exit_code, 1) << describe(result);
  EXPECT_LINES(result.out, {});
  EXPECT_LINES(result.error, {"读取远程配置失败"});
  EXPECT_EQ(held("功能.zip"), "the feature plug-in of the last release");
}

// --install and --rollback

// The files of the demo feature package that belong in a server root.
const char* const kFeatureFiles[] = {
    "DBServer\\TQGDBPlus.dll",
    "LoginGate\\TQGLoginPlus.dll",
    "Mir200\\TQGM2PlusLoad.dll",
    "Mir200\\Envir\\QuestDiary\\功能插件\\功能设置.txt",
    "Mir200\\Envir\\Market_Def\\TQG_Main.txt",
    "tqgctl.exe",
};

TEST_F(CommandRuns, install_into_a_missing_root_exits_2_and_the_other_root_holds_the_package) {
  hold("功能.zip", demo_package("功能.zip"));
  const std::string a = server_root("A");
  const std::string b = m_program + "B";  // never made
  const ChildRun result = run({"--install", "功能", "--target", a, "--target", b});
  EXPECT_EQ(result.exit_code, 2) << describe(result);
  EXPECT_LINES(result.out, {"ok " + a, b + "目录不存在"});
  EXPECT_LINES(result.error, {});

  const std::string staged = m_program + "功能插件\\";
  for (const char* relative : kFeatureFiles) {
    EXPECT_TRUE(exists(staged + relative)) << display_text(relative);
    EXPECT_EQ(read_file(a + relative), read_file(staged + relative)) << display_text(relative);
  }
  EXPECT_EQ(read_file(a + "Mir200\\PlugList.txt"), "MyShop.dll\r\nTQGM2PlusLoad.dll\r\n");
  EXPECT_EQ(read_file(a + "Mir200\\M2Server.exe"), "the server of the last release");
  EXPECT_FALSE(exists(b));
  EXPECT_GT(result.windows_seen, 0);
}

TEST_F(CommandRuns, rollback_restores_the_root_as_it_was_before_the_install) {
  hold("功能.zip", demo_package("功能.zip"));
  const std::string a = server_root("A");
  const Tree before = snapshot(a);
  ASSERT_EQ(run({"--install", "功能", "--target", a}).exit_code, 0);
  ASSERT_NE(snapshot(a), before);

  const ChildRun result = run({"--rollback", "功能", "--target", a});
  EXPECT_EQ(result.exit_code, 0) << describe(result);
  EXPECT_LINES(result.out, {"ok " + a});
  EXPECT_EQ(snapshot(a), before);

  // Nothing left to roll back: said per root, and not every root rolled back.
  const ChildRun again = run({"--rollback", "功能", "--target", a});
  EXPECT_EQ(again.exit_code, 2) << describe(again);
  EXPECT_LINES(again.out, {a + " 没有可回滚的安装"});
}

TEST_F(CommandRuns, install_into_a_root_whose_server_holds_a_file_names_it_and_touches_nothing) {
  hold("功能.zip", demo_package("功能.zip"));
  const std::string running = server_root("运行中"), stopped = server_root("已停止");
  const Tree before = snapshot(running, BackupFolder::Include);
  ChildRun result;
  {
    const FileHolder plug_in(running + "Mir200\\TQGM2PlusLoad.dll");
    ASSERT_TRUE(plug_in.holding());
    result = run({"--install", "功能", "--target", running, "--target", stopped});
  }
  EXPECT_EQ(result.exit_code, 2) << describe(result);
  ASSERT_EQ(result.out.size(), 3u) << describe(result);
  EXPECT_EQ(result.out[0], "安装到 " + running + " 失败");
  // Where the system can tell, the program holding it follows in brackets.
  const std::string held_file = "  Mir200\\TQGM2PlusLoad.dll";
  EXPECT_EQ(result.out[1].substr(0, held_file.size()), held_file) << describe(result);
  EXPECT_EQ(result.out[2], "ok " + stopped);
  EXPECT_EQ(snapshot(running, BackupFolder::Include), before);
  EXPECT_EQ(read_file(stopped + "Mir200\\TQGM2PlusLoad.dll"),
            read_file(m_program + "功能插件\\Mir200\\TQGM2PlusLoad.dll"));
}

TEST_F(CommandRuns, install_takes_roots_from_a_file_relative_to_where_it_is_run) {
  hold("功能.zip", demo_package("功能.zip"));
  const std::string caller = m_program + "脚本目录\\";
  make_directories(caller);
  const std::string first = server_root("脚本目录\\服务器一"), second = server_root("脚本目录\\服务器二");
  // UTF-8 with its mark, as Notepad saves it; blank lines and blanks around.
  write_file(caller + "roots.txt",
             "\xEF\xBB\xBF"
             "  \xE6\x9C\x8D\xE5\x8A\xA1\xE5\x99\xA8\xE4\xB8\x80  \r\n\r\n"
             "\xE6\x9C\x8D\xE5\x8A\xA1\xE5\x99\xA8\xE4\xBA\x8C\r\n");
  const ChildRun result = run({"--install", "功能", "--targets-file", "roots.txt"}, caller);
  EXPECT_EQ(result.exit_code, 0) << describe(result);
  EXPECT_LINES(result.out, {"ok " + first, "ok " + second});
  for (const std::string& root : {first, second})
    EXPECT_EQ(read_file(root + "tqgctl.exe"), read_file(m_program + "功能插件\\tqgctl.exe")) << display_text(root);
}

TEST_F(CommandRuns, install_without_an_archive_exits_1) {
  const std::string a = server_root("A");
  const Tree before = snapshot(a, BackupFolder::Include);
  const ChildRun result = run({"--install", "功能", "--target", a});
  EXPECT_EQ(result.exit_code, 1) << describe(result);
  EXPECT_LINES(result.out, {});
  EXPECT_LINES(result.error, {"没有可安装的 功能.zip (不存在或为空)"});
  EXPECT_EQ(snapshot(a, BackupFolder::Include), before);
}

TEST_F(CommandRuns, install_of_an_archive_that_does_not_unpack_exits_1) {
  hold("功能.zip", "not a zip archive at all");
  const std::string a = server_root("A");
  const Tree before = snapshot(a, BackupFolder::Include);
  const ChildRun result = run({"--install", "功能", "--target", a});
  EXPECT_EQ(result.exit_code, 1) << describe(result);
  EXPECT_LINES(result.out, {});
  EXPECT_LINES(result.error, {"解压功能.zip 失败"});
  EXPECT_EQ(snapshot(a, BackupFolder::Include), before);
}

TEST_F(CommandRuns, install_of_the_tools_unpacks_them_into_the_program_directory) {
  hold("工具.zip", demo_package("工具.zip"));
  const ChildRun result = run({"--install", "工具"});
  EXPECT_EQ(result.exit_code, 0) << describe(result);
  EXPECT_LINES(result.out, {"ok " + m_program + "其他工具\\"});
  EXPECT_TRUE(exists(m_program + "其他工具\\其他工具\\地图查看器.exe"));
}

// The command line itself

TEST_F(CommandRuns, a_wrong_command_line_exits_1_with_the_reason_before_anything_starts) {
  const ChildRun result = run({"--install", "功能"});
  EXPECT_EQ(result.exit_code, 1) << describe(result);
  EXPECT_LINES(result.out, {});
  EXPECT_LINES(result.error, {"--install 需要 --target 或 --targets-file", "用 --help 查看用法"});
  EXPECT_EQ(result.windows_seen, 0) << describe(result);
}

TEST_F(CommandRuns, help_prints_the_commands_and_exits_0) {
  const ChildRun result = run({"--help"});
  EXPECT_EQ(result.exit_code, 0) << describe(result);
  ASSERT_FALSE(result.out.empty());
  EXPECT_EQ(result.out[0], "用法:");
  // The descriptions line up after the longest command.
  EXPECT_EQ(result.out[2], "  updater.exe --check" + std::string(29, ' ') + "检查四个软件包有没有新版");
  EXPECT_EQ(result.out[5],
            "  updater.exe --rollback 软件包 --target 目录...  回滚上次安装, 与\"回滚上次安装\"按钮相同");
}

}  // namespace
}  // namespace updater::testing
