// The archive reader on archives in memory: finding and checking the end
// record, central entries and local headers, entry descriptions, content.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "archive/tests/embedded_files.h"
#include "archive/tests/zip_builder.h"
#include "archive/zip/zip_archive.h"

namespace zip_test {
namespace {

using archive::zip::ArchiveSource;
using archive::zip::ZipArchive;
using archive::zip::ZipError;

// Hands out at most `piece` bytes per read, as a slow file might.
class TrickleSource final : public ArchiveSource {
 public:
  TrickleSource(const std::string& bytes, size_t piece) : m_bytes(bytes), m_piece(piece) {}
  uint64_t size() const override { return m_bytes.size(); }
  uint64_t start_offset() const override { return 0; }
  archive::zip::ZipResult<size_t> read_some(uint64_t position, uint8_t* buffer, size_t size) const override {
    if (position >= m_bytes.size()) return size_t{0};
    const size_t count = std::min({size, m_piece, m_bytes.size() - static_cast<size_t>(position)});
    std::memcpy(buffer, m_bytes.data() + position, count);
    return count;
  }

 private:
  const std::string& m_bytes;
  size_t m_piece;
};

class StringSink final : public archive::zip::ByteSink {
 public:
  bool write(const uint8_t* data, size_t size) override {
    content.append(reinterpret_cast<const char*>(data), size);
    return true;
  }
  std::string content;
};

// The archive in `bytes`, which must outlive it.
archive::zip::ZipResult<std::unique_ptr<ZipArchive>> open(const std::string& bytes) {
  return ZipArchive::open(ArchiveSource::from_memory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::unique_ptr<ZipArchive> open_ok(const std::string& bytes) {
  auto archive = open(bytes);
  EXPECT_TRUE(archive.ok()) << (archive.ok() ? "" : archive::zip::describe(archive.error()));
  return archive.ok() ? std::move(archive.value()) : nullptr;
}

// The entry's content, or the reason it could not be had.
std::string content_of(ZipArchive& archive, int32_t index) {
  StringSink sink;
  const auto status = archive.extract(index, sink);
  return status.ok() ? sink.content : std::string("error: ") + archive::zip::describe(status.error());
}

TEST(ZipReader, the_end_record_is_found_behind_comments_of_every_length_around_the_window_steps) {
  const size_t lengths[] = {0,    1,    2,    3,    4,    5,    1000, 1001, 1002, 1003, 1004, 1005,  1006,
                            1007, 1008, 1020, 1024, 1028, 1030, 2046, 2047, 2048, 2049, 2050, 40000, 65513};
  for (size_t length : lengths) {
    const std::string bytes = build_archive(TestArchive{{{"a.txt", "content"}}, "", std::string(length, 'c')});
    auto archive = open(bytes);
    ASSERT_TRUE(archive.ok()) << "comment of " << length << " bytes";
    EXPECT_EQ(content_of(**archive, 0), "content") << "comment of " << length << " bytes";
  }
  // The record and its comment must lie in the last 65,535 bytes.
  const std::string too_far = build_archive(TestArchive{{{"a.txt", "content"}}, "", std::string(65514, 'c')});
  ASSERT_FALSE(open(too_far).ok());
  EXPECT_EQ(open(too_far).error(), ZipError::NoEndRecord);
}

TEST(ZipReader, inconsistent_or_missing_end_records_do_not_open) {
  struct Case {
    const char* what;
    std::string bytes;
    ZipError expected;
  };
  TestArchive two_disks{{{"a.txt", "a"}}};
  two_disks.disk = 1;
  TestArchive counts_differ{{{"a.txt", "a"}, {"b.txt", "b"}}};
  counts_differ.entries_on_disk = 1;
  std::string directory_past_record = build_zip({{"a.txt", "a"}});
  directory_past_record[directory_past_record.size() - 6] = 0x7F;  // the directory offset, moved on
  const Case cases[] = {
      {"an empty archive: only the record, at the start", build_zip(std::vector<TestEntry>{}), ZipError::NoEndRecord},
      {"no record at all", std::string(5000, 'x'), ZipError::NoEndRecord},
      {"nothing", std::string(), ZipError::NoEndRecord},
      {"two disks", build_archive(two_disks), ZipError::BadEndRecord},
      {"counts that differ", build_archive(counts_differ), ZipError::BadEndRecord},
      {"a directory ending past the record", directory_past_record, ZipError::BadEndRecord},
      {"a record cut short", build_zip({{"a.txt", "a"}}).substr(0, 80), ZipError::NoEndRecord},
  };
  for (const Case& c : cases) {
    const auto archive = open(c.bytes);
    ASSERT_FALSE(archive.ok()) << c.what;
    EXPECT_EQ(archive.error(), c.expected) << c.what << ": " << archive::zip::describe(archive.error());
  }
}

TEST(ZipReader, bytes_before_the_archive_are_counted_out_of_every_offset) {
  TestArchive appended{{{"a.txt", text_content(5000)}, {"b.txt", "bee", 0}}};
  appended.prefix = "MZ" + std::string(998, '\x90');
  const std::string bytes = build_archive(appended);
  auto archive = open_ok(bytes);
  ASSERT_TRUE(archive);
  EXPECT_EQ(content_of(*archive, 0), text_content(5000));
  EXPECT_EQ(content_of(*archive, 1), "bee");
}

TEST(ZipReader, a_local_header_must_match_its_central_entry_unless_a_descriptor_carries_the_values) {
  struct Case {
    const char* what;
    TestEntry entry;
    ZipError expected;  // ReadFailed stands for "lists"
  };
  TestEntry method_differs{"x.txt", "x"};
  method_differs.local_method = 0;
  TestEntry name_length_differs{"x.txt", "x"};
  name_length_differs.local_name_length = 4;
  TestEntry crc_differs{"x.txt", "x"};
  crc_differs.local_crc = 1234;
  TestEntry described_later{"x.txt", "x"};
  described_later.data_descriptor = true;
  TestEntry unsupported{"x.txt", "x", 12};
  TestEntry unsupported_everywhere{"x.txt", "x", 9};
  const Case cases[] = {
      {"method differs", method_differs, ZipError::BadLocalHeader},
      {"name length differs", name_length_differs, ZipError::BadLocalHeader},
      {"CRC differs", crc_differs, ZipError::BadLocalHeader},
      {"data descriptor, zeros in the local header", described_later, ZipError::ReadFailed},
      {"method 12", unsupported, ZipError::UnsupportedMethod},
      {"method 9", unsupported_everywhere, ZipError::UnsupportedMethod},
  };
  for (const Case& c : cases) {
    const std::string bytes = build_zip({{"first.txt", "1"}, c.entry, {"last.txt", "3"}});
    auto archive = open_ok(bytes);
    ASSERT_TRUE(archive) << c.what;
    EXPECT_TRUE(archive->describe(0).ok()) << c.what;
    const auto listed = archive->describe(1);
    if (c.expected == ZipError::ReadFailed) {
      EXPECT_TRUE(listed.ok()) << c.what;
      EXPECT_EQ(content_of(*archive, 1), "x") << c.what;
    } else {
      ASSERT_FALSE(listed.ok()) << c.what;
      EXPECT_EQ(listed.error(), c.expected) << c.what;
    }
  }
}

TEST(ZipReader, listing_steps_forward_restarts_for_an_earlier_index_and_ends_at_the_count) {
  const std::string bytes = build_zip({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}});
  auto archive = open_ok(bytes);
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->entry_count(), 4u);
  const int32_t order[] = {2, 0, 3, 3, 1, 0};
  for (int32_t index : order) {
    const auto entry = archive->describe(index);
    ASSERT_TRUE(entry.ok()) << index;
    EXPECT_EQ(entry->index, index);
    EXPECT_EQ(entry->name, std::string(1, static_cast<char>('a' + index)));
    EXPECT_EQ(content_of(*archive, index), std::to_string(index + 1));
  }
  for (int32_t outside : {-2, -1, 4, 1000}) {
    ASSERT_FALSE(archive->describe(outside).ok()) << outside;
    EXPECT_EQ(archive->describe(outside).error(), ZipError::NoSuchEntry) << outside;
  }
}

TEST(ZipReader, a_name_ends_at_its_first_zero_byte) {
  const std::string bytes = build_zip({{std::string("a.txt\0../../evil", 16), "x"}});
  auto archive = open_ok(bytes);
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->describe(0)->name, "a.txt");
}

TEST(ZipReader, content_is_the_same_whatever_size_the_reads_come_in) {
  const std::vector<TestEntry> entries = {
      {"text.txt", text_content(100000), 8},
      {"random.bin", random_content(70000), 0},
      {"random_deflated.bin", random_content(40000), 8},
      {"empty.txt", "", 8},
      {"empty_stored.txt", "", 0},
      {"descriptor.txt", text_content(30000, 3), 8, true},
  };
  const std::string bytes = build_zip(entries);
  for (size_t piece : {size_t{1}, size_t{3}, size_t{4096}, size_t{1} << 20}) {
    auto archive = ZipArchive::open(std::make_unique<TrickleSource>(bytes, piece));
    ASSERT_TRUE(archive.ok()) << "pieces of " << piece;
    for (size_t i = 0; i < entries.size(); ++i)
      EXPECT_TRUE(content_of(**archive, static_cast<int32_t>(i)) == entries[i].content)
          << entries[i].name << " in pieces of " << piece;
  }
}

TEST(ZipReader, an_entry_never_produces_more_than_its_declared_size) {
  const std::string content = text_content(50000);
  for (uint16_t method : {uint16_t{0}, uint16_t{8}}) {
    TestEntry entry{"a.txt", content, method};
    entry.declared_size = 100;
    entry.declared_crc = crc_of(content.substr(0, 100));
    const std::string bytes = build_zip({entry});
    auto archive = open_ok(bytes);
    ASSERT_TRUE(archive);
    EXPECT_EQ(content_of(*archive, 0), content.substr(0, 100)) << "method " << method;
  }
}

TEST(ZipReader, short_damaged_or_miscounted_content_is_an_error) {
  struct Case {
    const char* what;
    TestEntry entry;
    ZipError expected;
  };
  const std::string content = text_content(20000);
  TestEntry longer_stored{"a", content, 0};
  longer_stored.declared_size = 20001;
  longer_stored.declared_crc = crc_of(content);
  TestEntry longer_deflated{"a", content, 8};
  longer_deflated.declared_size = 25000;
  longer_deflated.declared_crc = crc_of(content);
  TestEntry wrong_crc{"a", content, 8};
  wrong_crc.declared_crc = crc_of(content) ^ 1;
  TestEntry wrong_crc_of_nothing{"a", "", 0};
  wrong_crc_of_nothing.declared_crc = 7;
  const Case cases[] = {
      {"stored data shorter than declared", longer_stored, ZipError::ShortData},
      {"deflate stream ending before the declared size", longer_deflated, ZipError::ShortData},
      {"wrong CRC-32", wrong_crc, ZipError::CrcMismatch},
      {"wrong CRC-32 of an empty entry", wrong_crc_of_nothing, ZipError::CrcMismatch},
  };
  for (const Case& c : cases) {
    const std::string bytes = build_zip({c.entry});
    auto archive = open_ok(bytes);
    ASSERT_TRUE(archive) << c.what;
    StringSink sink;
    const auto status = archive->extract(0, sink);
    ASSERT_FALSE(status.ok()) << c.what;
    EXPECT_EQ(status.error(), c.expected) << c.what << ": " << archive::zip::describe(status.error());
  }

  // A damaged deflate stream: the first block claims the reserved type.
  std::string damaged = build_zip({{"a.txt", content}});
  const size_t data = 30 + 5;
  damaged[data] = static_cast<char>(0xFF);
  auto archive = open_ok(damaged);
  ASSERT_TRUE(archive);
  EXPECT_EQ(content_of(*archive, 0), "error: a damaged deflate stream");
}

TEST(ZipReader, entries_whose_data_overlap_are_refused_and_the_others_read) {
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<bool> listed;
  };
  TestEntry copy{"copy.bin", ""};
  copy.share_local_header_of = 1;
  const std::vector<TestEntry> shared = {{"safe.txt", "safe"}, {"kernel.bin", std::string(100000, '\0')}, copy};
  const Case cases[] = {
      {"entries sharing one local header", build_zip(shared), {true, false, false}},
      {"the kept bomb", embedded("data/overlap_bomb.zip"), {true, false, false, false}},
      {"data running into the central directory", embedded("data/overlap_directory.zip"), {true, false}},
      {"nothing shared", build_zip({{"a", "1"}, {"b", "2"}}), {true, true}},
  };
  for (const Case& c : cases) {
    auto archive = open_ok(c.bytes);
    ASSERT_TRUE(archive) << c.what;
    for (size_t i = 0; i < c.listed.size(); ++i) {
      const auto entry = archive->describe(static_cast<int32_t>(i));
      EXPECT_EQ(entry.ok(), c.listed[i]) << c.what << ", entry " << i;
      if (!entry.ok()) {
        EXPECT_EQ(entry.error(), ZipError::OverlappingData) << c.what << ", entry " << i;
      }
    }
  }
}

}  // namespace
}  // namespace zip_test
