#include "runtime/commands/value_text.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "runtime/blocks.h"

namespace rt::commands {
namespace {

constexpr double kFirstDay = -657434.0;  // 1 January 100
constexpr double kLastDay = 2958465.0;   // 31 December 9999
constexpr int64_t kSecondsPerDay = 86400;
// Day 0 of the date-time type, 30 December 1899, counted from 1 January 1970.
constexpr int64_t kDayZeroFromUnixEpoch = -25569;

struct CivilDate {
  int64_t year;
  unsigned month;
  unsigned day;
};

// Days since 1 January 1970 to a proleptic Gregorian date.
CivilDate civil_from_days(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned day = doy - (153 * mp + 2) / 5 + 1;
  const unsigned month = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

template <class... T>
std::string format(const char* pattern, T... values) {
  char buffer[100];
  std::snprintf(buffer, sizeof buffer, pattern, values...);
  return buffer;
}

std::string up_to_zero(const uint8_t* data, size_t size) {
  const void* zero = size ? std::memchr(data, 0, size) : nullptr;
  const size_t length = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) : size;
  return std::string(reinterpret_cast<const char*>(data), length);
}

}  // namespace

bool is_numeric_type(TypeTag element) {
  switch (element) {
    case tag::kByte:
    case tag::kShort:
    case tag::kInt:
    case tag::kInt64:
    case tag::kFloat:
    case tag::kDouble: return true;
    default: return false;
  }
}

std::string date_time_text(double days) {
  if (std::isnan(days)) days = 0.0;
  if (days < kFirstDay) days = kFirstDay;
  if (days > kLastDay) days = kLastDay;
  int64_t day = static_cast<int64_t>(std::trunc(days));
  int64_t seconds = std::llround(std::fabs(days - std::trunc(days)) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {
    seconds -= kSecondsPerDay;
    ++day;  // the next calendar day, also before day 0
  }
  const CivilDate date = civil_from_days(day + kDayZeroFromUnixEpoch);
  std::string text =
      format("%d年%d月%d日", static_cast<int>(date.year), static_cast<int>(date.month), static_cast<int>(date.day));
  const int hour = static_cast<int>(seconds / 3600);
  const int minute = static_cast<int>(seconds / 60 % 60);
  const int second = static_cast<int>(seconds % 60);
  if (second != 0)
    text += format("%d时%d分%d秒", hour, minute, second);
  else if (minute != 0)
    text += format("%d时%d分", hour, minute);
  else if (hour != 0)
    text += format("%d时", hour);
  return text;
}

std::optional<std::string> scalar_text(const ArgValue& value) {
  switch (value.tag) {
    case tag::kByte: return format("%u", value.low & 0xFFu);
    case tag::kShort: return format("%d", static_cast<int>(static_cast<int16_t>(value.low & 0xFFFF)));
    case tag::kInt: return format("%d", value.as_int());
    case tag::kInt64: return format("%" PRId64, value.as_int64());
    case tag::kFloat: return format("%.6g", static_cast<double>(value.as_float()));
    case tag::kDouble: return format("%.13g", value.as_double());
    case tag::kBool: return std::string(value.as_bool() ? "真" : "假");
    case tag::kDateTime: return date_time_text(value.as_double());
    default: return std::nullopt;
  }
}

std::string value_text(const ArgValue& value) {
  if (auto text = scalar_text(value)) return *text;
  if (value.tag == tag::kText) return std::string(text_of(value.text()));
  if (value.tag == tag::kBytes) {
    const BytesView bytes = bytes_of(value.block());
    return up_to_zero(bytes.data, bytes.size);
  }
  if (tag::is_array(value.tag) && is_numeric_type(tag::element_of(value.tag))) {
    const ArrayView array = array_of(value.block());
    return up_to_zero(array.elements, size_t{array.element_count} * element_size(tag::element_of(value.tag)));
  }
  return {};
}

}  // namespace rt::commands
