// Unpacking archives into directories on disk: results, progress, paths,
// attributes and times, and archives built to escape the target.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "archive/tests/embedded_files.h"
#include "archive/tests/unpack_test_support.h"
#include "archive/tests/zip_builder.h"
#include "archive/zip/archive_path.h"
#include "archive/zip/unpack.h"
#include "archive/zip/zip_archive.h"
#include "platform/file_attributes.h"
#include "platform/file_times.h"
#include "platform/path.h"

namespace zip_test {
namespace {

using archive::zip::UnpackResult;

struct Unpacked {
  UnpackResult result;
  std::vector<int32_t> percents;
};

// Writes the archive beside the target's parent and unpacks it.
Unpacked unpack(const ScratchDirectory& scratch, const std::string& bytes, const std::string& target,
                int stop_at = -1) {
  const std::string archive = scratch / "包.zip";
  write_file(archive, bytes);
  RecordedProgress progress;
  progress.stop_at = stop_at;
  const UnpackResult result = archive::zip::unpack_archive(archive, target, progress);
  return {result, progress.percents};
}

std::vector<TestEntry> three_files() { return {{"a.txt", "aaa"}, {"b.txt", "bbb"}, {"c.txt", "ccc"}}; }

TEST(Unpack, both_target_spellings_give_the_same_files_and_slashes_become_backslashes) {
  ScratchDirectory scratch("两种目标");
  const std::vector<TestEntry> entries = {
      {"top.txt", "top"},
      {"sub/", "", 0, false, kUnixDirectory},
      {"sub/inner.txt", text_content(3000)},
      {"霁川/", "", 0, false, kUnixDirectory},
      {"霁川/说明.txt", "版本 1"},
  };
  const std::vector<std::string> expected = {"sub\\", "sub\\inner.txt", "top.txt", "霁川\\", "霁川\\说明.txt"};
  for (const std::string& target : {scratch / "plain", scratch / "slashed\\"}) {
    const Unpacked unpacked = unpack(scratch, build_zip(entries), target);
    EXPECT_EQ(unpacked.result, UnpackResult::Extracted) << target;
    EXPECT_EQ(tree(target), expected) << target;
    EXPECT_EQ(read_file(target + (target.back() == '\\' ? "" : "\\") + "sub\\inner.txt"), text_content(3000));
  }
}

TEST(Unpack, a_name_ending_in_a_slash_is_a_directory_even_with_attributes_of_zero) {
  ScratchDirectory scratch("零属性目录");
  const Unpacked unpacked =
      unpack(scratch, build_zip({{"META-INF/", "", 0, false, 0}, {"META-INF/MANIFEST.MF", "m", 8, false, 0}}),
             scratch / "out");
  EXPECT_EQ(unpacked.result, UnpackResult::Extracted);
  EXPECT_EQ(tree(scratch / "out"), (std::vector<std::string>{"META-INF\\", "META-INF\\MANIFEST.MF"}));
}

TEST(Unpack, the_target_is_created_with_all_its_levels) {
  ScratchDirectory scratch("目标层级");
  const std::string target = scratch / "一\\二\\三";
  EXPECT_EQ(unpack(scratch, build_zip({{"a.txt", "a"}}), target).result, UnpackResult::Extracted);
  EXPECT_EQ(read_file(target + "\\a.txt"), "a");
}

TEST(Unpack, progress_is_reported_after_each_entry_and_at_the_end) {
  ScratchDirectory scratch("进度");
  const Unpacked unpacked = unpack(scratch, build_zip(three_files()), scratch / "out");
  EXPECT_EQ(unpacked.result, UnpackResult::Extracted);
  EXPECT_EQ(unpacked.percents, (std::vector<int32_t>{0, 33, 66, 100}));

  EXPECT_EQ(archive::zip::percentage(1, 7), 14);
  EXPECT_EQ(archive::zip::percentage(0, 0), 100);
  EXPECT_EQ(archive::zip::percentage(65535, 65535), 100);
}

TEST(Unpack, a_stop_after_the_first_entry_leaves_the_others_and_ends_without_a_last_report) {
  ScratchDirectory scratch("停止");
  const Unpacked unpacked = unpack(scratch, build_zip(three_files()), scratch / "out", 0);
  EXPECT_EQ(unpacked.result, UnpackResult::Extracted);
  EXPECT_EQ(unpacked.percents, std::vector<int32_t>{0});
  EXPECT_EQ(tree(scratch / "out"), std::vector<std::string>{"a.txt"});
}

TEST(Unpack, results_and_last_reports_of_missing_empty_and_foreign_archives) {
  struct Case {
    const char* what;
    std::string bytes;  // empty: no archive file at all
    UnpackResult expected;
  };
  TestEntry nameless{"", "x"};
  const Case cases[] = {
      {"no archive file", "", UnpackResult::Missing},
      {"an empty archive", build_zip(std::vector<TestEntry>{}), UnpackResult::Failed},
      {"not an archive", "Not an archive, although long enough to be read.", UnpackResult::Failed},
      {"a first entry without a name", build_zip({nameless}), UnpackResult::Failed},
      {"an archive without its end record", build_zip(three_files()).substr(0, 100), UnpackResult::Failed},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch("结果");
    RecordedProgress progress;
    const std::string archive = scratch / "包.zip";
    if (!c.bytes.empty()) write_file(archive, c.bytes);
    EXPECT_EQ(archive::zip::unpack_archive(archive, scratch / "out", progress), c.expected) << c.what;
    EXPECT_EQ(progress.percents, std::vector<int32_t>{100}) << c.what;
  }
  ScratchDirectory scratch("目录");
  RecordedProgress progress;
  EXPECT_EQ(archive::zip::unpack_archive(scratch.path(), scratch / "out", progress), UnpackResult::Failed)
      << "a directory for an archive";
}

TEST(Unpack, a_first_entry_with_a_data_descriptor_is_accepted) {
  ScratchDirectory scratch("数据描述");
  TestEntry first{"a.txt", text_content(10000), 8, true};
  TestEntry stored{"b.txt", "stored", 0, true};
  EXPECT_EQ(unpack(scratch, build_zip({first, stored}), scratch / "out").result, UnpackResult::Extracted);
  EXPECT_EQ(read_file(scratch / "out\\a.txt"), text_content(10000));
  EXPECT_EQ(read_file(scratch / "out\\b.txt"), "stored");
}

TEST(Unpack, an_unsupported_method_ends_the_extraction_there_and_succeeds) {
  ScratchDirectory scratch("压缩方式");
  TestEntry unsupported{"b.txt", "bbb", 14};
  const Unpacked unpacked =
      unpack(scratch, build_zip({{"a.txt", "aaa"}, unsupported, {"c.txt", "ccc"}}), scratch / "out");
  EXPECT_EQ(unpacked.result, UnpackResult::Extracted);
  EXPECT_EQ(unpacked.percents, (std::vector<int32_t>{0, 100}));
  EXPECT_EQ(tree(scratch / "out"), std::vector<std::string>{"a.txt"});
}

TEST(Unpack, a_read_only_file_in_the_way_is_replaced_and_every_file_ends_normal) {
  ScratchDirectory scratch("只读");
  const std::string target = scratch / "out";
  ASSERT_TRUE(archive::zip::create_directory_levels(target).ok());
  write_file(target + "\\a.txt", "old content, longer than the new");
  make_read_only(target + "\\a.txt");
  ASSERT_EQ(platform::file_attributes(target + "\\a.txt").value_or(0) & platform::kAttributeReadOnly,
            platform::kAttributeReadOnly);

  const std::vector<TestEntry> entries = {
      {"a.txt", "new", 8, false, kUnixReadOnlyFile},
      {"hidden.txt", "h", 8, false, kUnixFile | 0x02},
      {"system.txt", "s", 8, false, kUnixFile | 0x04 | 0x20},
      {"dos.txt", "d", 8, false, 0x01},
  };
  EXPECT_EQ(unpack(scratch, build_zip(entries), target).result, UnpackResult::Extracted);
  EXPECT_EQ(read_file(target + "\\a.txt"), "new");
  // Normal: nothing read-only, hidden or system. (Windows reads back
  // FILE_ATTRIBUTE_NORMAL, Wine the archive bit it keeps on every file.)
  const uint32_t kNotNormal = platform::kAttributeReadOnly | platform::kAttributeHidden | platform::kAttributeSystem |
                              platform::kAttributeDirectory;
  for (const TestEntry& entry : entries) {
    const auto attributes = platform::file_attributes(target + "\\" + entry.name);
    ASSERT_TRUE(attributes) << entry.name;
    EXPECT_EQ(*attributes & kNotNormal, 0u) << entry.name << ": 0x" << std::hex << *attributes;
  }
  // Unpacking again over the same files works as well.
  EXPECT_EQ(unpack(scratch, build_zip(entries), target).result, UnpackResult::Extracted);
}

TEST(Unpack, file_times_from_extended_timestamps_and_dos_times_are_on_the_files) {
  ScratchDirectory scratch("时间");
  const std::string target = scratch / "out";
  TestEntry all_three{"all.txt", "1"};
  all_three.local_extra = ut_block(1600000000, 1610000000, 1500000000);
  TestEntry write_only{"write.txt", "2"};
  write_only.local_extra = ut_block(1400000000);
  TestEntry dos_only{"dos.txt", "3"};
  dos_only.dos = dos_time(2019, 3, 4, 5, 6, 8);
  EXPECT_EQ(unpack(scratch, build_zip({all_three, write_only, dos_only}), target).result, UnpackResult::Extracted);

  auto at = [](uint64_t unix_seconds) { return platform::kUnixEpochAsFileTime + unix_seconds * 10000000ull; };
  struct Case {
    const char* name;
    uint64_t last_write;
    uint64_t last_access;
  };
  const uint64_t dos_default = at(1623753020);  // 2021-06-15 10:30:20, the builder's DOS time
  const Case cases[] = {
      {"all.txt", at(1600000000), at(1610000000)},
      {"write.txt", at(1400000000), dos_default},
      {"dos.txt", at(1551675968), at(1551675968)},  // 2019-03-04 05:06:08
  };
  for (const Case& c : cases) {
    const auto times = platform::file_times(target + "\\" + c.name);
    ASSERT_TRUE(times) << c.name;
    EXPECT_EQ(times->last_write, c.last_write) << c.name;
    EXPECT_EQ(times->last_access, c.last_access) << c.name;
  }
  // Creation times are set on Windows; neither Linux nor Wine on it keeps them.
}

TEST(Unpack, missing_parent_directories_are_created_under_the_target) {
  ScratchDirectory scratch("上级");
  const std::string target = scratch / "out";  // absolute
  const Unpacked unpacked =
      unpack(scratch, build_zip({{"a/b/c.txt", "c"}, {"a/d.txt", "d"}, {"霁川/插件/e.txt", "e"}}), target);
  EXPECT_EQ(unpacked.result, UnpackResult::Extracted);
  EXPECT_EQ(tree(target), (std::vector<std::string>{"a\\", "a\\b\\", "a\\b\\c.txt", "a\\d.txt", "霁川\\",
                                                    "霁川\\插件\\", "霁川\\插件\\e.txt"}));
}

TEST(Unpack, an_output_path_over_259_bytes_fails) {
  ScratchDirectory scratch("长路径");
  const std::string target = scratch / "out";
  const size_t room = archive::zip::kLongestPath - target.size() - 1;
  const std::string fits(room, 'f');
  EXPECT_EQ(unpack(scratch, build_zip({{fits, "x"}}), target).result, UnpackResult::Extracted);
  EXPECT_EQ(read_file(target + "\\" + fits), "x");
  const std::string too_long(room + 1, 'g');
  EXPECT_EQ(unpack(scratch, build_zip({{"first.txt", "1"}, {too_long, "x"}}), target).result, UnpackResult::Failed);
  EXPECT_EQ(read_file(target + "\\first.txt"), "1") << "what was extracted before stays";
}

TEST(Unpack, content_that_does_not_match_its_crc_fails_the_unpacking) {
  ScratchDirectory scratch("校验");
  TestEntry damaged{"b.txt", "bbb"};
  damaged.declared_crc = crc_of("bbb") ^ 0x10;
  const Unpacked unpacked = unpack(scratch, build_zip({{"a.txt", "a"}, damaged, {"c.txt", "c"}}), scratch / "out");
  EXPECT_EQ(unpacked.result, UnpackResult::Failed);
  EXPECT_EQ(unpacked.percents, (std::vector<int32_t>{0, 100}));
}

// Every hostile archive kept as data: nothing appears outside the target
// (the parent directory is listed before and after), the safe entries
// beside the hostile ones are extracted.
TEST(Unpack, hostile_archives_write_nothing_outside_the_target_and_extract_their_safe_entries) {
  struct Case {
    const char* archive;
    std::vector<std::string> extracted;
  };
  const std::vector<std::string> safe = {"safe.txt", "safe\\", "safe\\inner.txt"};
  const Case cases[] = {
      {"data/dot_dot_names.zip", safe},
      {"data/absolute_names.zip", safe},
      {"data/long_names.zip", safe},
      {"data/overlap_bomb.zip", {"safe.txt"}},
      {"data/overlap_directory.zip", {"safe.txt"}},
  };
  for (const Case& c : cases) {
    ScratchDirectory scratch("恶意");
    const std::string parent = scratch / "parent";
    const std::string target = parent + "\\a\\b\\target";
    ASSERT_TRUE(archive::zip::create_directory_levels(target).ok());
    write_file(parent + "\\keep.txt", "keep");
    const std::vector<std::string> before = tree(scratch.path());

    const Unpacked unpacked = unpack(scratch, embedded(c.archive), target);
    EXPECT_EQ(unpacked.result, UnpackResult::Extracted) << c.archive;
    EXPECT_EQ(unpacked.percents.back(), 100) << c.archive;

    std::vector<std::string> expected = before;
    expected.push_back("包.zip");
    for (const std::string& name : c.extracted) expected.push_back("parent\\a\\b\\target\\" + name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(tree(scratch.path()), expected) << c.archive;
    std::vector<std::string> wanted = c.extracted;
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(tree(target), wanted) << c.archive;
  }
  // Absolute names would have gone to the root of the file system or drive.
  for (const char* name : {"\\evil1.txt", "\\evil2.txt", "\\evil6.txt"}) EXPECT_FALSE(exists(name)) << name;
}

TEST(Unpack, an_archive_reached_through_a_handle_starts_where_the_handle_stood) {
  ScratchDirectory scratch("句柄");
  const std::string prefix(777, 'p');
  const std::string file = scratch / "appended.bin";
  write_file(file, prefix + build_zip(three_files()));
#ifdef _WIN32
  HANDLE handle =
      CreateFileW(platform::wide_path(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(prefix.size());
  SetFilePointerEx(handle, at, nullptr, FILE_BEGIN);
  const auto native = reinterpret_cast<platform::NativeFile>(handle);
#else
  const int handle = open(platform::native_path(file).c_str(), O_RDONLY);
  ASSERT_GE(handle, 0);
  lseek(handle, static_cast<off_t>(prefix.size()), SEEK_SET);
  const auto native = static_cast<platform::NativeFile>(handle);
#endif
  auto source = archive::zip::ArchiveSource::from_handle(native);
  ASSERT_TRUE(source.ok());
  EXPECT_EQ(source.value()->start_offset(), prefix.size());
  auto archive = archive::zip::ZipArchive::open(std::move(source.value()));
  ASSERT_TRUE(archive.ok());
  ASSERT_TRUE(archive.value()->extract_to_file(2, scratch / "c.txt").ok());
  EXPECT_EQ(read_file(scratch / "c.txt"), "ccc");
#ifdef _WIN32
  LARGE_INTEGER position{};
  SetFilePointerEx(handle, LARGE_INTEGER{}, &position, FILE_CURRENT);
  EXPECT_EQ(position.QuadPart, static_cast<LONGLONG>(prefix.size())) << "the caller's position is kept";
  CloseHandle(handle);
#else
  EXPECT_EQ(lseek(handle, 0, SEEK_CUR), static_cast<off_t>(prefix.size())) << "the caller's position is kept";
  close(handle);
#endif
}

}  // namespace
}  // namespace zip_test
