#include "runtime/commands/command_args.h"

#include <cmath>

namespace rt::commands {

const ArgValue& Args::operator[](int32_t i) const {
  static const ArgValue kOmitted;
  return i >= 0 && i < m_count ? m_values[i] : kOmitted;
}

std::string_view Args::text(int32_t i) const {
  const ArgValue& value = (*this)[i];
  return value.tag == tag::kText ? text_of(value.text()) : std::string_view();
}

BytesView Args::bytes(int32_t i) const {
  const ArgValue& value = (*this)[i];
  return value.tag == tag::kBytes ? bytes_of(value.block()) : BytesView();
}

int32_t Args::integer(int32_t i) const {
  const ArgValue& value = (*this)[i];
  switch (value.tag) {
    case tag::kFloat:
    case tag::kDouble: return truncate_to_int(number_of(value));
    case tag::kByte: return static_cast<int32_t>(value.low & 0xFF);
    case tag::kShort: return static_cast<int16_t>(value.low & 0xFFFF);
    default: return value.as_int();
  }
}

double Args::number(int32_t i) const { return number_of((*this)[i]); }

double number_of(const ArgValue& value) {
  switch (value.tag) {
    case tag::kByte: return static_cast<double>(value.low & 0xFF);
    case tag::kShort: return static_cast<double>(static_cast<int16_t>(value.low & 0xFFFF));
    case tag::kInt:
    case tag::kBool: return static_cast<double>(value.as_int());
    case tag::kInt64: return static_cast<double>(value.as_int64());
    case tag::kFloat: return static_cast<double>(value.as_float());
    case tag::kDouble:
    case tag::kDateTime: return value.as_double();
    default: return 0.0;
  }
}

int32_t truncate_to_int(double value) {
  const double whole = std::trunc(value);
  if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) return INT32_MIN;
  return static_cast<int32_t>(whole);
}

void set_text(ArgValue* result, std::string_view text) { *result = ArgValue::of_text(make_text(text)); }

void set_bytes(ArgValue* result, const void* data, uint32_t size) {
  *result = ArgValue::of_bytes(make_bytes(data, size));
}

void set_int(ArgValue* result, int32_t value) { *result = ArgValue::of_int(value); }
void set_bool(ArgValue* result, bool value) { *result = ArgValue::of_bool(value); }
void set_double(ArgValue* result, double value) { *result = ArgValue::of_double(value); }

}  // namespace rt::commands
