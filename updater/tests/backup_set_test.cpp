// The backup set of an install: the names of its folders, its manifest, the
// files it keeps, and which backups stay.
#include "updater/backup_set.h"

#include <gtest/gtest.h>

#include "platform/file_attributes.h"
#include "platform/file_io.h"
#include "updater/backup_set_detail.h"
#include "updater/tests/safety_test_support.h"

namespace updater::testing {
namespace {

using Kind = BackupChange::Kind;

TEST(BackupNames, sort_as_their_times_and_stay_unique_when_the_clock_does_not_move_on) {
  const struct {
    const char* name;
    platform::LocalTimestamp now;
    std::string latest;
    std::string expected;
  } cases[] = {
      {"first backup", at(2026, 12, 8, 10, 30, 0, 5), "", "20261208-103000-005"},
      {"later than the latest", at(2026, 12, 8, 10, 30, 1, 0), "20261208-103000-999", "20261208-103001-000"},
      {"same millisecond", at(2026, 12, 8, 10, 30, 0, 5), "20261208-103000-005", "20261208-103000-006"},
      {"clock set back", at(2026, 12, 8, 9, 0, 0, 0), "20261208-103000-005", "20261208-103000-006"},
      {"carry into the next second", at(2026, 1, 1, 0, 0, 0, 0), "20261208-103059-999", "20261208-103100-000"},
      {"carry into the next year", at(2026, 1, 1, 0, 0, 0, 0), "20261231-235959-999", "20270101-000000-000"},
      {"end of February in a common year", at(2000, 1, 1, 0, 0, 0, 0), "20270228-235959-999", "20270301-000000-000"},
      {"end of February in a leap year", at(2000, 1, 1, 0, 0, 0, 0), "20280228-235959-999", "20280229-000000-000"},
      {"a latest that is not a backup name", at(2026, 12, 8, 10, 30, 0, 5), "zzz", "20261208-103000-005"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(detail::next_backup_name(c.now, c.latest), c.expected) << c.name << ", latest " << c.latest;
}

TEST(BackupNames, only_real_times_in_the_fixed_form_are_backup_names) {
  const struct {
    const char* name;
    bool valid;
  } cases[] = {
      {"20261208-103000-005", true},
      {"20280229-235959-999", true},
      {"20270229-000000-000", false},
      {"20261308-103000-005", false},
      {"20261200-103000-005", false},
      {"20261208-243000-005", false},
      {"20261208-106000-005", false},
      {"20261208-103000-05", false},
      {"20261208_103000-005", false},
      {"2026120a-103000-005", false},
      {"", false},
      {"新建文件夹", false},
  };
  for (const auto& c : cases) EXPECT_EQ(detail::is_backup_name(c.name), c.valid) << c.name;
}

TEST(BackupManifest, names_only_paths_inside_the_root) {
  const struct {
    const char* relative;
    bool safe;
  } cases[] = {
      {"Mir200\\M2Server.exe", true},
      {"mir200\\PlugList.txt", true},
      {"霁川引擎控制台.exe", true},
      {"Mir200\\Envir\\QuestDiary\\功能插件\\功能设置.txt", true},
      {"\xB1\\\\a.txt", true},  // a two-byte character whose second byte is "\"
      {"", false},
      {"\\Windows\\win.ini", false},
      {"..\\x.dll", false},
      {"Mir200\\..\\..\\x.dll", false},
      {"Mir200\\.\\x.dll", false},
      {"Mir200\\... \\x.dll", false},
      {"Mir200\\x.dll.", false},
      {"C:\\x.dll", false},
      {"Mir200/../x.dll", false},
      {"Mir200\\\\x.dll", false},
      {"_updater_backup\\霁川\\x", false},
      {"_UPDATER_BACKUP\\x", false},
      {"Mir200\\a\tb", false},
  };
  for (const auto& c : cases) EXPECT_EQ(detail::is_safe_relative(c.relative), c.safe) << c.relative;
}

TEST(BackupManifest, reads_back_what_was_written_and_refuses_damage) {
  const std::vector<BackupChange> changes = {{Kind::NewDirectory, "Mir200\\Envir"},
                                             {Kind::Replaced, "Mir200\\M2Server.exe"},
                                             {Kind::NewFile, "Mir200\\Envir\\MapInfo.txt"}};
  std::string text = detail::manifest_header();
  for (const BackupChange& change : changes) text += detail::manifest_line(change);

  const struct {
    const char* name;
    std::string text;
    std::optional<BackupState> state;  // nothing: damaged
    size_t changes;
  } cases[] = {
      {"still installing", text, BackupState::Installing, 3},
      {"complete", text + "complete\r\n", BackupState::Complete, 3},
      {"complete, then rolled back", text + "complete\r\nrolled-back\r\n", BackupState::RolledBack, 3},
      {"failed and put back", text + "restored\r\n", BackupState::Restored, 3},
      {"a last line cut off", text + "new-file Mir200\\x", BackupState::Installing, 3},
      {"an end line cut off", text + "compl", BackupState::Installing, 3},
      {"header only", detail::manifest_header(), BackupState::Installing, 0},
      {"empty", "", std::nullopt, 0},
      {"another header", "updater backup 2\r\n", std::nullopt, 0},
      {"header without its line end", "updater backup 1", std::nullopt, 0},
      {"unknown word", text + "moved a b\r\n", std::nullopt, 0},
      {"a path out of the root", text + "replaced ..\\..\\boot.ini\r\n", std::nullopt, 0},
      {"a bare LF", detail::manifest_header() + "replaced Mir200\\a\nreplaced Mir200\\b\r\n", std::nullopt, 0},
  };
  for (const auto& c : cases) {
    const std::optional<Backup> backup = detail::parse_manifest(c.text);
    ASSERT_EQ(backup.has_value(), c.state.has_value()) << c.name;
    if (!backup) continue;
    EXPECT_EQ(backup->state, *c.state) << c.name;
    ASSERT_EQ(backup->changes.size(), c.changes) << c.name;
    for (size_t i = 0; i < c.changes; ++i) EXPECT_EQ(backup->changes[i], changes[i]) << c.name << ", change " << i;
  }
}

class BackupOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    m_root = scratch_root(::testing::UnitTest::GetInstance()->current_test_info()->name());
    make_directory(m_root + "Mir200\\Envir");
    write_file(m_root + "Mir200\\M2Server.exe", "old server");
    write_file(m_root + "Mir200\\PlugList.txt", "A.dll\r\n");
  }

  // A finished backup of the engine made at the given second, in the state given.
  Backup make_backup(int second, BackupState state) {
    Result<BackupSet> set = BackupSet::begin(m_root, "霁川", at(2026, 12, 8, 10, 0, second, 0));
    EXPECT_TRUE(set.ok()) << set.reason();
    EXPECT_TRUE(set.value().keep_before_writing("Mir200\\M2Server.exe").ok());
    if (state != BackupState::Installing) {
      EXPECT_TRUE(set.value().finish(state));
    }
    return set.value().backup();
  }

  std::vector<std::string> names_of(const std::vector<Backup>& backups) {
    std::vector<std::string> names;
    for (const Backup& backup : backups) names.push_back(backup.name);
    return names;
  }

  std::string m_root;
};

TEST_F(BackupOnDisk, keeps_each_replaced_file_once_and_notes_new_files_and_directories) {
  Result<BackupSet> begun = BackupSet::begin(m_root, "霁川", at(2026, 12, 8, 10, 30, 0, 5));
  ASSERT_TRUE(begun.ok()) << begun.reason();
  BackupSet& set = begun.value();
  EXPECT_EQ(set.backup().folder, m_root + "_updater_backup\\霁川\\20261208-103000-005\\");

  ASSERT_TRUE(set.keep_before_writing("Mir200\\M2Server.exe").ok());
  write_file(m_root + "Mir200\\M2Server.exe", "new server");
  ASSERT_TRUE(set.keep_before_writing("MIR200\\m2server.EXE").ok());  // the same file: the old bytes stay kept
  ASSERT_TRUE(set.note_new_directory("Mir200\\Market_Def").ok());
  ASSERT_TRUE(set.keep_before_writing("Mir200\\Market_Def\\QManage.txt").ok());
  ASSERT_TRUE(set.keep_before_writing("Mir200\\Envir").ok());  // a directory is no file to keep
  ASSERT_TRUE(set.finish(BackupState::Complete));

  const std::vector<BackupChange> expected = {{Kind::Replaced, "Mir200\\M2Server.exe"},
                                              {Kind::NewDirectory, "Mir200\\Market_Def"},
                                              {Kind::NewFile, "Mir200\\Market_Def\\QManage.txt"}};
  EXPECT_EQ(set.backup().changes, expected);
  EXPECT_EQ(read_file(set.backup().folder + "Mir200\\M2Server.exe"), "old server");
  EXPECT_EQ(snapshot(set.backup().folder, BackupFolder::Include),
            (Tree{{"Mir200", "<directory>"},
                  {"Mir200\\M2Server.exe", "old server"},
                  {"_manifest.txt",
                   "updater backup 1\r\nreplaced Mir200\\M2Server.exe\r\nnew-directory Mir200\\Market_Def\r\n"
                   "new-file Mir200\\Market_Def\\QManage.txt\r\ncomplete\r\n"}}));

  const std::vector<Backup> listed = backups_of(m_root, "霁川");
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].changes, expected);
  EXPECT_EQ(listed[0].state, BackupState::Complete);
  EXPECT_TRUE(backups_of(m_root, "功能插件").empty());
}

TEST_F(BackupOnDisk, a_read_only_file_is_kept_and_unsafe_paths_are_refused) {
  make_read_only(m_root + "Mir200\\PlugList.txt");
  Result<BackupSet> begun = BackupSet::begin(m_root, "功能插件", at(2026, 12, 8, 10, 30, 0, 5));
  ASSERT_TRUE(begun.ok());
  EXPECT_TRUE(begun.value().keep_before_writing("Mir200\\PlugList.txt").ok());
  EXPECT_EQ(read_file(begun.value().backup().folder + "Mir200\\PlugList.txt"), "A.dll\r\n");
  EXPECT_FALSE(begun.value().keep_before_writing("..\\outside.txt").ok());
  EXPECT_FALSE(begun.value().note_new_directory("_updater_backup\\x").ok());
  EXPECT_EQ(begun.value().backup().changes.size(), 1u);
}

TEST_F(BackupOnDisk, a_second_backup_in_the_same_millisecond_gets_the_next_one) {
  const Backup first = make_backup(0, BackupState::Complete);
  const Backup second = make_backup(0, BackupState::Complete);
  EXPECT_EQ(first.name, "20261208-100000-000");
  EXPECT_EQ(second.name, "20261208-100000-001");
  EXPECT_EQ(names_of(backups_of(m_root, "霁川")), (std::vector<std::string>{first.name, second.name}));
}

TEST_F(BackupOnDisk, no_backup_folder_can_be_made_where_a_file_is_in_the_way) {
  write_file(m_root + "_updater_backup", "not a folder");
  const Result<BackupSet> begun = BackupSet::begin(m_root, "霁川", at(2026, 12, 8, 10, 30, 0, 5));
  ASSERT_FALSE(begun.ok());
  EXPECT_EQ(begun.reason(), "无法建立备份目录 " + m_root + "_updater_backup\\霁川\\");
}

TEST_F(BackupOnDisk, rollback_takes_the_newest_finished_or_cut_off_install) {
  EXPECT_FALSE(latest_to_roll_back(m_root, "霁川"));
  const struct {
    const char* name;
    std::vector<BackupState> states;  // oldest first
    std::optional<size_t> chosen;
  } cases[] = {
      {"one complete", {BackupState::Complete}, 0},
      {"a failed install after a complete one", {BackupState::Complete, BackupState::Restored}, 0},
      {"the newest rolled back", {BackupState::Complete, BackupState::Complete, BackupState::RolledBack}, 1},
      {"cut off", {BackupState::Complete, BackupState::Installing}, 1},
      {"nothing left to roll back", {BackupState::RolledBack, BackupState::Restored}, std::nullopt},
  };
  for (const auto& c : cases) {
    m_root = scratch_root("rollback choice");
    make_directory(m_root + "Mir200");
    write_file(m_root + "Mir200\\M2Server.exe", "old server");
    std::vector<Backup> made;
    for (size_t i = 0; i < c.states.size(); ++i) made.push_back(make_backup(static_cast<int>(i), c.states[i]));
    const std::optional<Backup> chosen = latest_to_roll_back(m_root, "霁川");
    ASSERT_EQ(chosen.has_value(), c.chosen.has_value()) << c.name;
    if (chosen) {
      EXPECT_EQ(chosen->name, made[*c.chosen].name) << c.name;
    }
  }
}

TEST_F(BackupOnDisk, pruning_keeps_three_finished_installs_and_the_newest_failed_one) {
  const struct {
    const char* name;
    std::vector<BackupState> states;  // oldest first
    std::vector<size_t> kept;
  } cases[] = {
      {"three", {BackupState::Complete, BackupState::Complete, BackupState::Complete}, {0, 1, 2}},
      {"five", std::vector<BackupState>(5, BackupState::Complete), {2, 3, 4}},
      {"failed ones in between",
       {BackupState::Complete, BackupState::Restored, BackupState::Complete, BackupState::Restored,
        BackupState::Complete, BackupState::Complete},
       {2, 4, 5}},
      {"the newest failed",
       {BackupState::Complete, BackupState::Complete, BackupState::Complete, BackupState::Complete,
        BackupState::Restored},
       {1, 2, 3, 4}},
      {"cut off counts as finished",
       {BackupState::Installing, BackupState::Complete, BackupState::Complete, BackupState::Complete},
       {1, 2, 3}},
      {"rolled back ones go", {BackupState::Complete, BackupState::RolledBack, BackupState::RolledBack}, {0, 2}},
  };
  for (const auto& c : cases) {
    m_root = scratch_root("pruning");
    make_directory(m_root + "Mir200");
    write_file(m_root + "Mir200\\M2Server.exe", "old server");
    std::vector<std::string> made, expected;
    for (size_t i = 0; i < c.states.size(); ++i) made.push_back(make_backup(static_cast<int>(i), c.states[i]).name);
    for (size_t i : c.kept) expected.push_back(made[i]);
    prune_backups(m_root, "霁川");
    EXPECT_EQ(names_of(backups_of(m_root, "霁川")), expected) << c.name;
    // Nothing of a removed backup is left behind: each kept one is its
    // folder, Mir200, the server and the manifest.
    EXPECT_EQ(snapshot(m_root + "_updater_backup\\霁川\\", BackupFolder::Include).size(), expected.size() * 4)
        << c.name;
  }
}

TEST_F(BackupOnDisk, folders_that_are_not_readable_backups_are_neither_used_nor_removed) {
  const std::string folder = m_root + "_updater_backup\\霁川\\";
  make_directory(folder + "operator notes");
  write_file(folder + "operator notes\\a.txt", "mine");
  make_directory(folder + "20261208-090000-000");  // no manifest
  make_directory(folder + "20261208-090000-001");
  write_file(folder + "20261208-090000-001\\_manifest.txt", "updater backup 1\r\nreplaced ..\\x\r\ncomplete\r\n");
  for (int i = 0; i < 4; ++i) make_backup(i, BackupState::Complete);
  prune_backups(m_root, "霁川");
  EXPECT_EQ(backups_of(m_root, "霁川").size(), 3u);
  EXPECT_EQ(read_file(folder + "operator notes\\a.txt"), "mine");
  EXPECT_EQ(platform::path_kind(folder + "20261208-090000-000"), platform::PathKind::Directory);
  EXPECT_EQ(platform::path_kind(folder + "20261208-090000-001\\_manifest.txt"), platform::PathKind::File);
  EXPECT_EQ(latest_to_roll_back(m_root, "霁川")->name, "20261208-100003-000");
}

}  // namespace
}  // namespace updater::testing
