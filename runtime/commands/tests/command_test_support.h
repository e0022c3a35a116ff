#pragma once

// Calling the kernel commands as the program does: through the core
// library's table by slot number, with the caller's convention of
// rt::call_command, taking ownership of what comes back.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/testing/scratch_files.h"
#include "runtime/arg_value.h"

namespace kernel_test {

// The slots of the table, written out here so that a table in the wrong
// order fails the tests.
enum Slot : uint32_t {
  kShowMessage = 0,
  kRemoveFile = 1,
  kNumberToFormattedText = 2,
  kReadFileBytes = 3,
  kToText = 4,
  kFindText = 5,
  kGetProgramDirectory = 6,
  kMakeTempFileName = 7,
  kToBytes = 8,
  kWriteFileBytes = 9,
  kReadConfigItem = 10,
  kTextLength = 11,
  kTextRight = 12,
  kSplitText = 13,
  kMakeDirectory = 14,
  kCopyFileTo = 15,
  kZeroBytes = 16,
  kBytesLength = 17,
  kPointerToBytes = 18,
  kBytesRight = 19,
  kBitAnd = 20,
  kBitNot = 21,
  kIntDivide = 22,
  kToUpper = 23,
  kCompareText = 24,
  kTickCount = 25,
  kWriteConfigItem = 26,
  kToInteger = 27,
};

rt::ArgValue call(Slot slot, std::initializer_list<rt::ArgValue> args);

// Argument makers. A byte set argument lives until the end of the test.
inline rt::ArgValue omitted() { return rt::ArgValue(); }
inline rt::ArgValue text(const std::string& value) { return rt::ArgValue::of_text(value.c_str()); }
inline rt::ArgValue integer(int32_t value) { return rt::ArgValue::of_int(value); }
inline rt::ArgValue number(double value) { return rt::ArgValue::of_double(value); }
inline rt::ArgValue flag(bool value) { return rt::ArgValue::of_bool(value); }
rt::ArgValue bytes(const std::string& value);

// Results, checked for the null-when-empty rule and freed.
std::string take_text(const rt::ArgValue& result);
std::string take_bytes(const rt::ArgValue& result);
std::vector<std::string> take_text_array(const rt::ArgValue& result);

// Calls that give a text, a byte set or an int directly.
std::string call_text(Slot slot, std::initializer_list<rt::ArgValue> args);
std::string call_bytes(Slot slot, std::initializer_list<rt::ArgValue> args);
int32_t call_int(Slot slot, std::initializer_list<rt::ArgValue> args);
bool call_bool(Slot slot, std::initializer_list<rt::ArgValue> args);

// Scratch directories and direct file access (program paths: GBK, "\").
using test_support::file_exists;
using test_support::read_file;
using test_support::ScratchDirectory;
using test_support::shown;
using test_support::write_file;

}  // namespace kernel_test
