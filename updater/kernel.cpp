#include "updater/kernel.h"

#include "runtime/blocks.h"
#include "runtime/command_call.h"
#include "runtime/memory.h"

namespace updater::kernel {
namespace {

// Libraries and their commands, by number.
constexpr uint32_t kCore = 0, kDigest = 3, kWeb = 4, kThreads = 5, kArchive = 6;
enum Command : uint32_t {
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
  kSplitText = 13,
  kMakeDirectory = 14,
  kCopyFileTo = 15,
  kToUpper = 23,
  kTickCount = 25,
  kWriteConfigItem = 26,
  kToInteger = 27,
};
constexpr uint32_t kComputeMd5 = 0, kFetchWebPage = 0, kStartThread = 0, kUnpackArchive = 0;

rt::ArgValue text(const std::string& s) { return rt::ArgValue::of_text(s.c_str()); }

std::string take_text(rt::ArgValue value) { return Owned(value).text(); }

}  // namespace

Owned::~Owned() {
  if (m_value.tag == rt::tag::kText || m_value.tag == rt::tag::kBytes) rt::release(m_value.block());
  if (rt::tag::is_array(m_value.tag)) rt::release_array(m_value.block(), rt::tag::element_of(m_value.tag));
}

std::string Owned::text() const {
  if (m_value.tag == rt::tag::kBytes) return std::string(rt::bytes_of(m_value.block()).as_text_view());
  return std::string(rt::text_of(m_value.text()));
}

std::string get_program_directory() {
  rt::ArgValue result = rt::call_library_command(kCore, kGetProgramDirectory, {});
  result.tag = rt::tag::kText;
  return take_text(result);
}

std::string read_config_item(const std::string& file, const std::string& section, const std::string& key,
                             const std::string* default_value) {
  rt::ArgValue result =
      default_value
          ? rt::call_library_command(kCore, kReadConfigItem,
                                     {text(file), text(section), text(key), text(*default_value)})
          : rt::call_library_command(kCore, kReadConfigItem, {text(file), text(section), text(key), rt::ArgValue()});
  result.tag = rt::tag::kText;
  return take_text(result);
}

bool write_config_item(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) {
  return rt::call_library_command(kCore, kWriteConfigItem, {text(file), text(section), text(key), text(value)})
      .as_bool();
}

bool remove_file(const std::string& path) {
  return rt::call_library_command(kCore, kRemoveFile, {text(path)}).as_bool();
}

std::string make_temp_file_name(const std::string& directory) {
  rt::ArgValue result = rt::call_library_command(kCore, kMakeTempFileName, {text(directory)});
  result.tag = rt::tag::kText;
  return take_text(result);
}

int32_t find_text(const std::string& haystack, const std::string& sought) {
  return rt::call_library_command(kCore, kFindText, {text(haystack), text(sought)}).as_int();
}

int32_t find_text_ignoring_case(const std::string& haystack, const std::string& sought) {
  return rt::call_library_command(kCore, kFindText,
                                  {text(haystack), text(sought), rt::ArgValue(), rt::ArgValue::of_bool(true)})
      .as_int();
}

std::vector<std::string> split_text(const std::string& value, const std::string& separator) {
  rt::ArgValue result = rt::call_library_command(kCore, kSplitText, {text(value), text(separator)});
  result.tag = rt::tag::kText | rt::tag::kArrayFlag;
  const Owned members(result);
  std::vector<std::string> pieces;
  if (!result.block()) return pieces;
  const rt::ArrayView array = rt::array_of(result.block());
  for (uint32_t i = 0; i < array.element_count; ++i)
    pieces.emplace_back(rt::text_of(static_cast<const char*>(rt::array_ref_at(array, i))));
  return pieces;
}

std::string to_upper(const std::string& value) {
  rt::ArgValue result = rt::call_library_command(kCore, kToUpper, {text(value)});
  result.tag = rt::tag::kText;
  return take_text(result);
}

std::string number_to_formatted_text(double number, int32_t decimals) {
  rt::ArgValue result = rt::call_library_command(
      kCore, kNumberToFormattedText,
      {rt::ArgValue::of_double(number), rt::ArgValue::of_int(decimals), rt::ArgValue::of_bool(false)});
  result.tag = rt::tag::kText;
  return take_text(result);
}

bool make_directory(const std::string& path) {
  return rt::call_library_command(kCore, kMakeDirectory, {text(path)}).as_bool();
}

bool copy_file_to(const std::string& source, const std::string& target) {
  return rt::call_library_command(kCore, kCopyFileTo, {text(source), text(target)}).as_bool();
}

int32_t tick_count() { return rt::call_library_command(kCore, kTickCount, {}).as_int(); }

int32_t to_integer(const std::string& value) {
  return rt::call_library_command(kCore, kToInteger, {text(value)}).as_int();
}

int32_t show_message(const std::string& message, int32_t buttons, uint32_t parent_window, uint32_t parent_unit) {
  if (parent_window == 0)
    return rt::call_library_command(kCore, kShowMessage, {text(message), rt::ArgValue::of_int(buttons)}).as_int();
  return rt::call_library_command(kCore, kShowMessage,
                                  {text(message), rt::ArgValue::of_int(buttons), rt::ArgValue(),
                                   rt::ArgValue::of_unit(parent_window, parent_unit, rt::tag::kWindowUnit)})
      .as_int();
}

std::string file_digest(const std::string& path) {
  rt::ArgValue bytes = rt::call_library_command(kCore, kReadFileBytes, {text(path)});
  bytes.tag = rt::tag::kBytes;
  const Owned content(bytes);
  rt::ArgValue digest = rt::call_library_command(kDigest, kComputeMd5, {content.value()});
  digest.tag = rt::tag::kText;
  return take_text(digest);
}

std::string fetch_text(const std::string& url) {
  rt::ArgValue body = rt::call_library_command(kWeb, kFetchWebPage, {text(url)});
  body.tag = rt::tag::kBytes;
  const Owned page(body);
  rt::ArgValue as_text = rt::call_library_command(kCore, kToText, {page.value()});
  as_text.tag = rt::tag::kText;
  return take_text(as_text);
}

bool write_text_file(const std::string& path, const std::string& content) {
  rt::ArgValue bytes = rt::call_library_command(kCore, kToBytes, {text(content)});
  bytes.tag = rt::tag::kBytes;
  const Owned data(bytes);
  return rt::call_library_command(kCore, kWriteFileBytes, {text(path), data.value()}).as_bool();
}

std::string read_text_file(const std::string& path) {
  rt::ArgValue bytes = rt::call_library_command(kCore, kReadFileBytes, {text(path)});
  bytes.tag = rt::tag::kBytes;
  const Owned content(bytes);
  rt::ArgValue as_text = rt::call_library_command(kCore, kToText, {content.value()});
  as_text.tag = rt::tag::kText;
  return take_text(as_text);
}

bool start_thread(ThreadRoutine routine) {
  return rt::call_library_command(kThreads, kStartThread,
                                  {rt::ArgValue::of_ref(reinterpret_cast<const void*>(routine), rt::tag::kSubroutine)})
      .as_bool();
}

int32_t unpack_archive(uint32_t window_id, uint32_t unit_id, const std::string& archive, const std::string& target) {
  const rt::TypeTag zip_object = rt::tag::unit(kArchive, 0);
  return rt::call_library_command(kArchive, kUnpackArchive,
                                  {rt::ArgValue::of_unit(window_id, unit_id, zip_object), text(archive), text(target)})
      .as_int();
}

}  // namespace updater::kernel
