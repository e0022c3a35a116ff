// UnpackArchive as the program calls it: command 0 of the archive library.
// Natively there are no units; the Windows tests raise its progress on one.
#include <gtest/gtest.h>

#include "archive/tests/unpack_test_support.h"
#include "archive/tests/zip_builder.h"
#include "archive/zip/unpack_archive.h"
#include "archive/zip_library.h"
#include "runtime/command_call.h"

namespace zip_test {
namespace {

const rt::TypeTag kZipUnit = rt::tag::unit(6, 0);

int32_t call_unpack(const char* archive, const char* target) {
  // Straight into the command, so that null texts reach it as they are.
  rt::ArgValue args[3] = {rt::ArgValue::of_unit(0x52010001, 0x16010002, kZipUnit), rt::ArgValue::of_text(archive),
                          rt::ArgValue::of_text(target)};
  rt::ArgValue result;
  archive::zip_library().commands[0](&result, 3, args);
  EXPECT_EQ(result.tag, rt::tag::kInt);
  return result.as_int();
}

TEST(UnpackCommand, results_of_the_library_command) {
  ScratchDirectory scratch("命令");
  const std::string archive = scratch / "包.zip";
  const std::string target = scratch / "out";
  write_file(archive, build_zip({{"a.txt", "a"}}));
  write_file(scratch / "not.zip", "This file is not an archive at all, really not.");

  EXPECT_EQ(call_unpack(nullptr, target.c_str()), -1);
  EXPECT_EQ(call_unpack(archive.c_str(), nullptr), -1);
  EXPECT_EQ(call_unpack(archive.c_str(), ""), -1) << "an empty target is no target";
  EXPECT_EQ(call_unpack((scratch / "无.zip").c_str(), target.c_str()), -1);
  EXPECT_EQ(call_unpack((scratch / "not.zip").c_str(), target.c_str()), 0);
  EXPECT_FALSE(exists(target + "\\a.txt"));
  EXPECT_EQ(call_unpack(archive.c_str(), target.c_str()), 1);
  EXPECT_EQ(read_file(target + "\\a.txt"), "a");

  // The caller's convention: through the runtime's call entry.
  const rt::ArgValue result = rt::call_command(
      archive::UnpackArchive, {rt::ArgValue::of_unit(0, 0, kZipUnit), rt::ArgValue::of_text(archive.c_str()),
                               rt::ArgValue::of_text((scratch / "again").c_str())});
  EXPECT_EQ(result.as_int(), 1);
}

TEST(UnpackCommand, the_library_answers_start_only) {
  const rt::SupportLibrary& library = archive::zip_library();
  EXPECT_STREQ(library.name, "压缩解压支持库");
  EXPECT_EQ(library.command_count, 1);
  EXPECT_EQ(library.unit_type_count, 0) << "natively there are no unit types";
  EXPECT_EQ(library.notify(rt::kNotifyStart, 0, 0), 0);
  for (int32_t code : {2, rt::kNotifyEnd, rt::kNotifyInterfaceId, 10}) EXPECT_EQ(library.notify(code, 0, 0), -1);
}

}  // namespace
}  // namespace zip_test
