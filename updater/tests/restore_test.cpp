// Putting a root back from an install's backup, rolling installs back one by
// one, and the pre-flight that finds files that cannot be written.
#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include "platform/file_attributes.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "updater/backup_set.h"
#include "updater/gbk_path.h"
#include "updater/preflight.h"
#include "updater/restore.h"
#include "updater/tests/safety_test_support.h"
#ifdef _WIN32
#include "updater/tests/file_holder.h"  // HeldOpen
#endif

namespace updater::testing {
namespace {

// Writes the files into the root as an install does: each new directory
// and each file noted or kept in the backup before it is made or written.
Backup install(const std::string& root, const std::vector<std::pair<std::string, std::string>>& files, int second,
               BackupState end = BackupState::Complete) {
  Result<BackupSet> begun = BackupSet::begin(root, "霁川", at(2026, 12, 8, 11, 0, second, 0));
  EXPECT_TRUE(begun.ok()) << begun.reason();
  BackupSet& set = begun.value();
  for (const auto& [relative, content] : files) {
    const std::vector<std::string> parts = path_parts(relative);
    std::string directory;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      directory += (i ? "\\" : "") + parts[i];
      if (platform::path_kind(root + directory) != platform::PathKind::Missing) continue;
      EXPECT_TRUE(set.note_new_directory(directory).ok());
      platform::create_directory(root + directory);
    }
    EXPECT_TRUE(set.keep_before_writing(relative).ok()) << relative;
    platform::make_writable(root + relative);
    write_file(root + relative, content);
  }
  if (end != BackupState::Installing) set.finish(end);
  return set.backup();
}

class Restore : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = scratch_root(::testing::UnitTest::GetInstance()->current_test_info()->name());
    make_directory(m_root + "Mir200\\Envir");
    write_file(m_root + "Mir200\\M2Server.exe", "server 1");
    write_file(m_root + "Mir200\\PlugList.txt", "A.dll\r\n");
    write_file(m_root + "Mir200\\Envir\\MapInfo.txt", "maps 1");
    make_read_only(m_root + "Mir200\\Envir\\MapInfo.txt");
    m_before = snapshot(m_root);
  }

  std::string m_root;
  Tree m_before;
};

const std::vector<std::pair<std::string, std::string>> kRelease2 = {
    {"Mir200\\M2Server.exe", "server 2"},
    {"Mir200\\Envir\\MapInfo.txt", "maps 2"},
    {"Mir200\\Envir\\Market_Def\\QManage.txt", "market 2"},
    {"DBServer\\Data\\DBServer.exe", "database 2"},
    {"Mir200\\PlugList.txt", "A.dll\r\nM2PocketX86.dll\r\n"},
};

TEST_F(Restore, puts_replaced_files_back_and_removes_what_the_install_created) {
  const Backup backup = install(m_root, kRelease2, 0, BackupState::Installing);
  ASSERT_NE(snapshot(m_root), m_before);
  EXPECT_TRUE(restore_backup(m_root, backup).empty());
  EXPECT_EQ(snapshot(m_root), m_before);
  EXPECT_EQ(read_file(backup.folder + "Mir200\\M2Server.exe"), "server 1");
}

TEST_F(Restore, leaves_a_created_directory_that_now_holds_someone_elses_files) {
  const Backup backup = install(m_root, kRelease2, 0);
  write_file(m_root + "DBServer\\Data\\log.txt", "written by the server since");
  EXPECT_TRUE(restore_backup(m_root, backup).empty());
  Tree expected = m_before;
  expected["DBServer"] = expected["DBServer\\Data"] = "<directory>";
  expected["DBServer\\Data\\log.txt"] = "written by the server since";
  EXPECT_EQ(snapshot(m_root), expected);
}

TEST_F(Restore, rolling_back_goes_one_install_further_back_each_time) {
  install(m_root, kRelease2, 0);
  const Tree after_first = snapshot(m_root);
  install(m_root, {{"Mir200\\M2Server.exe", "server 3"}, {"Mir200\\M2PocketX86.dll", "pocket 3"}}, 1);

  const struct {
    Rollback::Outcome outcome;
    const Tree& tree;
  } steps[] = {
      {Rollback::Outcome::RolledBack, after_first},
      {Rollback::Outcome::RolledBack, m_before},
      {Rollback::Outcome::NoBackup, m_before},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    const Rollback rollback = roll_back_last_install(m_root, "霁川");
    EXPECT_EQ(rollback.outcome, steps[i].outcome) << "rollback " << i + 1;
    EXPECT_EQ(snapshot(m_root), steps[i].tree) << "rollback " << i + 1;
  }
  for (const Backup& backup : backups_of(m_root, "霁川")) EXPECT_EQ(backup.state, BackupState::RolledBack);
  EXPECT_EQ(roll_back_last_install(scratch_root("empty root"), "霁川").outcome, Rollback::Outcome::NoBackup);
}

TEST_F(Restore, touches_the_files_an_install_replaced_or_created) {
  const Backup backup = install(m_root, kRelease2, 0);
  EXPECT_EQ(files_a_restore_touches(backup),
            (std::vector<std::string>{"Mir200\\M2Server.exe", "Mir200\\Envir\\MapInfo.txt",
                                      "Mir200\\Envir\\Market_Def\\QManage.txt", "DBServer\\Data\\DBServer.exe",
                                      "Mir200\\PlugList.txt"}));
}

TEST(Preflight, lines_name_each_file_and_the_programs_holding_it) {
  EXPECT_EQ(blocked_file_lines({}), "");
  EXPECT_EQ(blocked_file_lines({{"Mir200\\M2Server.exe", {}}}), "Mir200\\M2Server.exe");
  EXPECT_EQ(blocked_file_lines({{"Mir200\\M2Server.exe", {"M2Server.exe"}},
                                {"Mir200\\M2PocketX86.dll", {"M2Server.exe", "调试器.exe"}},
                                {"mir200\\PlugList.txt", {}}}),
            "Mir200\\M2Server.exe (M2Server.exe)\r\nMir200\\M2PocketX86.dll (M2Server.exe, 调试器.exe)\r\n"
            "mir200\\PlugList.txt");
}

TEST(Preflight, passes_over_missing_files_and_directories) {
  const std::string root = scratch_root("preflight");
  make_directory(root + "Mir200\\Envir");
  write_file(root + "Mir200\\M2Server.exe", "server");
  EXPECT_TRUE(find_blocked_files(root, {"Mir200\\M2Server.exe", "Mir200\\Envir", "Mir200\\New.dll", "X\\y"}).empty());
}

#ifdef _WIN32
TEST(Preflight, finds_files_held_open_once_each_in_the_order_asked) {
  const std::string root = scratch_root("preflight held");
  make_directory(root + "Mir200");
  for (const char* file : {"Mir200\\M2Server.exe", "Mir200\\A.dll", "Mir200\\B.dll"}) write_file(root + file, "x");
  const HeldOpen server(root + "Mir200\\M2Server.exe");
  const HeldOpen plug_in(root + "Mir200\\B.dll");
  const std::vector<BlockedFile> blocked =
      find_blocked_files(root, {"Mir200\\B.dll", "Mir200\\A.dll", "mir200\\m2server.exe", "Mir200\\M2Server.exe"});
  std::vector<std::string> relatives;
  for (const BlockedFile& file : blocked) relatives.push_back(file.relative);
  EXPECT_EQ(relatives, (std::vector<std::string>{"Mir200\\B.dll", "mir200\\m2server.exe"}));
}

TEST_F(Restore, a_rollback_stopped_by_a_file_in_use_changes_nothing_and_can_be_tried_again) {
  install(m_root, kRelease2, 0);
  const Tree installed = snapshot(m_root);
  Rollback rollback;
  {
    const HeldOpen running(m_root + "Mir200\\M2Server.exe");
    rollback = roll_back_last_install(m_root, "霁川");
  }
  EXPECT_EQ(rollback.outcome, Rollback::Outcome::FilesInUse);
  ASSERT_EQ(rollback.blocked.size(), 1u);
  EXPECT_EQ(rollback.blocked[0].relative, "Mir200\\M2Server.exe");
  EXPECT_EQ(snapshot(m_root), installed);
  EXPECT_EQ(roll_back_last_install(m_root, "霁川").outcome, Rollback::Outcome::RolledBack);
  EXPECT_EQ(snapshot(m_root), m_before);
}

TEST_F(Restore, names_what_it_could_not_put_back) {
  const Backup backup = install(m_root, kRelease2, 0, BackupState::Installing);
  {
    const HeldOpen held(m_root + "DBServer\\Data\\DBServer.exe");
    EXPECT_EQ(restore_backup(m_root, backup), (std::vector<std::string>{"DBServer\\Data\\DBServer.exe"}));
  }
  // Everything else is back already; a second pass finishes the work.
  EXPECT_TRUE(restore_backup(m_root, backup).empty());
  EXPECT_EQ(snapshot(m_root), m_before);
}

TEST_F(Restore, counts_a_replaced_file_that_others_may_only_read_as_back_when_it_was_never_written) {
  Result<BackupSet> begun = BackupSet::begin(m_root, "霁川", at(2026, 12, 8, 11, 0, 0, 0));
  ASSERT_TRUE(begun.ok());
  ASSERT_TRUE(begun.value().keep_before_writing("Mir200\\M2Server.exe").ok());
  ASSERT_TRUE(begun.value().keep_before_writing("Mir200\\PlugList.txt").ok());
  write_file(m_root + "Mir200\\PlugList.txt", "rewritten");
  {
    // The copy over the server failed: a reader that shuts writers out.
    const HeldOpen reader(m_root + "Mir200\\M2Server.exe", FILE_SHARE_READ);
    EXPECT_TRUE(restore_backup(m_root, begun.value().backup()).empty());
  }
  EXPECT_EQ(snapshot(m_root), m_before);
  write_file(m_root + "Mir200\\M2Server.exe", "half written");
  const HeldOpen reader(m_root + "Mir200\\M2Server.exe", FILE_SHARE_READ);
  EXPECT_EQ(restore_backup(m_root, begun.value().backup()), (std::vector<std::string>{"Mir200\\M2Server.exe"}));
}
#endif

}  // namespace
}  // namespace updater::testing
