#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/arg_value.h"
#include "runtime/blocks.h"

// How a kernel command reads its arguments and fills its result. An optional
// argument that the caller left out is present with tag 0; the commands test
// the tag, never the payload. An argument beyond the count reads as left out,
// so a caller that passes too few cannot make a command read past the array.
namespace rt::commands {

class Args {
 public:
  Args(int32_t count, const ArgValue* values) : m_count(count > 0 ? count : 0), m_values(values) {}

  int32_t count() const { return m_count; }
  const ArgValue& operator[](int32_t i) const;
  bool given(int32_t i) const { return (*this)[i].present(); }

  // A text argument; anything else reads as the empty text.
  std::string_view text(int32_t i) const;
  // A byte-set argument; anything else reads as empty.
  BytesView bytes(int32_t i) const;
  // Numeric arguments of any numeric type, converted as the caller would.
  int32_t integer(int32_t i) const;
  double number(int32_t i) const;
  bool flag(int32_t i) const { return (*this)[i].low != 0; }

 private:
  int32_t m_count;
  const ArgValue* m_values;
};

// Results. Texts and byte sets are fresh runtime blocks; empty ones are null.
void set_text(ArgValue* result, std::string_view text);
void set_bytes(ArgValue* result, const void* data, uint32_t size);
void set_int(ArgValue* result, int32_t value);
void set_bool(ArgValue* result, bool value);
void set_double(ArgValue* result, double value);

// A numeric value of any numeric type as a double; 0 for anything else.
double number_of(const ArgValue& value);
// Truncation toward zero to 32 bits; a value out of range (or not a number)
// gives 0x80000000, as the processor's conversion does.
int32_t truncate_to_int(double value);

}  // namespace rt::commands
