// Conversions between the value types: ToText, ToBytes, ToInteger.
#include <cstring>

#include "runtime/blocks.h"
#include "runtime/commands/command_args.h"
#include "runtime/commands/command_functions.h"
#include "runtime/commands/gbk_text.h"
#include "runtime/commands/value_text.h"

namespace rt::commands {
namespace {

// Size of the raw payload of a scalar type, 0 for the others.
uint32_t payload_size(TypeTag type) {
  switch (type) {
    case tag::kByte: return 1;
    case tag::kShort: return 2;
    case tag::kInt:
    case tag::kFloat:
    case tag::kBool: return 4;
    case tag::kInt64:
    case tag::kDouble:
    case tag::kDateTime: return 8;
    case tag::kSubroutine: return sizeof(void*);  // a 32-bit code address in the 32-bit build
    default: return 0;
  }
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// atoi: leading blanks, an optional sign, then digits; 0 when there are none.
// Values beyond 32 bits stop at the nearest limit instead of overflowing.
int32_t parse_integer(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && is_blank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;
  }
  if (negative) return static_cast<int32_t>(-value);
  return static_cast<int32_t>(value > INT32_MAX ? INT32_MAX : value);
}

}  // namespace

void ToText(ArgValue* result, int32_t count, ArgValue* args) { set_text(result, value_text(Args(count, args)[0])); }

void ToBytes(ArgValue* result, int32_t count, ArgValue* args) {
  const ArgValue& value = Args(count, args)[0];
  if (value.tag == tag::kText) {
    const std::string_view text = text_of(value.text());
    return set_bytes(result, text.data(), static_cast<uint32_t>(text.size()));
  }
  if (value.tag == tag::kBytes) {
    const BytesView bytes = bytes_of(value.block());
    return set_bytes(result, bytes.data, bytes.size);
  }
  if (tag::is_array(value.tag) && is_numeric_type(tag::element_of(value.tag))) {
    const ArrayView array = array_of(value.block());
    return set_bytes(result, array.elements, array.element_count * element_size(tag::element_of(value.tag)));
  }
  uint8_t payload[8];
  std::memcpy(payload, &value, sizeof payload);
  set_bytes(result, payload, payload_size(value.tag));
}

void ToInteger(ArgValue* result, int32_t count, ArgValue* args) {
  const ArgValue& value = Args(count, args)[0];
  switch (value.tag) {
    case tag::kInt:
    case tag::kSubroutine:
    case tag::kBool:
    case tag::kInt64: return set_int(result, value.as_int());
    case tag::kByte: return set_int(result, static_cast<int32_t>(value.low & 0xFF));
    case tag::kShort: return set_int(result, static_cast<int16_t>(value.low & 0xFFFF));
    case tag::kFloat:
    case tag::kDouble: return set_int(result, truncate_to_int(number_of(value)));
    case tag::kText: return set_int(result, parse_integer(to_half_width(text_of(value.text()))));
    default: return set_int(result, 0);
  }
}

}  // namespace rt::commands
