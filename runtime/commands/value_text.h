#pragma once

#include <optional>
#include <string>

#include "runtime/arg_value.h"

// The text forms of values, as ToText gives them.
namespace rt::commands {

// Numbers, logical values and date-times: byte "%u", short and int "%d",
// long decimal, float "%.6g", double "%.13g", logical "真"/"假", date-time
// as date_time_text. Nothing for any other type.
std::optional<std::string> scalar_text(const ArgValue& value);

// Every type: the scalars as above, a text as it is, a byte set or an array
// of a numeric type as its bytes up to the first zero byte; empty otherwise.
std::string value_text(const ArgValue& value);

// "%d年%d月%d日" and the shortest of "%d时%d分%d秒", "%d时%d分", "%d时" that
// keeps the non-zero parts of the time (nothing at midnight). `days` counts
// from 30 December 1899; the fraction is the time of day, also for dates
// before then. Clamped to the years 100 to 9999.
std::string date_time_text(double days);

// Element types whose arrays read as their raw bytes.
bool is_numeric_type(TypeTag element);

}  // namespace rt::commands
