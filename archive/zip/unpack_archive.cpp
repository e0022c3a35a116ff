#include "archive/zip/unpack_archive.h"

#include <exception>
#include <string>

#include "archive/zip/unit_progress.h"
#include "archive/zip/unpack.h"

namespace archive {
namespace {

const char* text_argument(int32_t count, const rt::ArgValue* args, int32_t i) {
  return i < count && args[i].tag == rt::tag::kText ? args[i].text() : nullptr;
}

int32_t unpack(int32_t count, rt::ArgValue* args) {
  const uint32_t window_id = count >= 1 ? args[0].low : 0;
  const uint32_t unit_id = count >= 1 ? args[0].high : 0;
  const auto progress = unit_progress(window_id, unit_id);

  // An empty target would put the archive at the root of the current drive
  // (or the file system): it counts as no target at all.
  const char* archive_path = text_argument(count, args, 1);
  const char* target = text_argument(count, args, 2);
  if (!archive_path || !target || !*target) return static_cast<int32_t>(zip::UnpackResult::Missing);
  return static_cast<int32_t>(zip::unpack_archive(archive_path, target, *progress));
}

}  // namespace

void UnpackArchive(rt::ArgValue* result, int32_t count, rt::ArgValue* args) {
  int32_t outcome = static_cast<int32_t>(zip::UnpackResult::Failed);
  // Nothing thrown crosses into the caller: an unexpected fault is a failure.
  try {
    outcome = unpack(count, args);
  } catch (const std::exception&) {
  }
  *result = rt::ArgValue::of_int(outcome);
}

}  // namespace archive
