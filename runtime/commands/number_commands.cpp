// Number formatting, bit operations, integer division and the tick count.
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/clock.h"
#include "runtime/commands/command_args.h"
#include "runtime/commands/command_functions.h"
#include "runtime/runtime_error.h"

namespace rt::commands {
namespace {

std::string format_number(const char* pattern, int precision, double value) {
  const int length = std::snprintf(nullptr, 0, pattern, precision, value);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), pattern, precision, value);
  text.resize(static_cast<size_t>(length));
  return text;
}

// Half away from zero at `decimals` places (negative: left of the point). The
// 1e-12 nudge makes 1.005 at two places give 1.01, although 1.005 is stored a
// little below it. A value too large to have such places stays as it is.
double round_to(double value, int32_t decimals) {
  const double scale = std::pow(10.0, std::abs(decimals));
  const double magnitude = std::fabs(value);
  if (!std::isfinite(scale)) return decimals > 0 ? value : 0.0;
  const double scaled = (decimals >= 0 ? magnitude * scale : magnitude / scale) + 1e-12;
  if (!std::isfinite(scaled)) return value;
  double whole;
  if (std::modf(scaled, &whole) >= 0.5) whole += 1.0;
  const double rounded = decimals >= 0 ? whole / scale : whole * scale;
  // A value that rounds to zero shows as 0, not as -0.
  return value < 0 && rounded != 0.0 ? -rounded : rounded;
}

// Exactly `decimals` digits after the point, adding the point when missing.
void pad_decimals(std::string& text, int32_t decimals) {
  size_t point = text.find('.');
  if (point == std::string::npos) {
    point = text.size();
    text += '.';
  }
  const size_t have = text.size() - point - 1;
  if (have < static_cast<size_t>(decimals)) text.append(static_cast<size_t>(decimals) - have, '0');
}

// A comma before every third digit left of the point, for texts made only of
// digits and points after an optional minus sign.
void group_thousands(std::string& text) {
  const size_t digits_start = !text.empty() && text[0] == '-' ? 1 : 0;
  if (digits_start == text.size()) return;
  for (size_t i = digits_start; i < text.size(); ++i)
    if (!((text[i] >= '0' && text[i] <= '9') || text[i] == '.')) return;
  size_t point = text.find('.');
  if (point == std::string::npos) point = text.size();
  for (size_t at = point; at > digits_start + 3; at -= 3) text.insert(at - 3, 1, ',');
}

}  // namespace

void NumberToFormattedText(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  double value = a.number(0);
  const bool rounded = a.given(1);
  const int32_t decimals = a.integer(1);
  if (rounded) value = round_to(value, decimals);
  std::string text = format_number("%.*g", 13, value);
  if (rounded && decimals > 0 && std::isfinite(value)) {
    // "%.13g" writes large and tiny numbers with an exponent, after which
    // padding would make no sense; such numbers are written out in full.
    if (text.find_first_of("eE") != std::string::npos)
      text = format_number("%.*f", decimals, value);
    else
      pad_decimals(text, decimals);
  }
  if (a.flag(2)) group_thousands(text);
  set_text(result, text);
}

void BitAnd(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  int32_t bits = a.integer(0);
  for (int32_t i = 1; i < a.count(); ++i)
    if (a.given(i)) bits &= a.integer(i);
  set_int(result, bits);
}

void BitNot(ArgValue* result, int32_t count, ArgValue* args) { set_int(result, ~Args(count, args).integer(0)); }

void IntDivide(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  double value = a.number(0);
  for (int32_t i = 1; i < a.count(); ++i) {
    if (!a.given(i)) continue;
    const double divisor = a.number(i);
    if (divisor == 0.0) report_runtime_error("不能整除于零", 0, 0, 0);
    value = std::trunc(value / divisor);
  }
  set_double(result, value);
}

void TickCount(ArgValue* result, int32_t, ArgValue*) { set_int(result, static_cast<int32_t>(platform::tick_count())); }

}  // namespace rt::commands
