#pragma once

#include <cstdint>
#include <cstring>

namespace rt {

// The 32-bit data type of a value. System types have the top bit set; a unit of
// library L, type T is ((L + 1) << 16) | (T + 1); bit 29 marks an array.
using TypeTag = uint32_t;

namespace tag {
inline constexpr TypeTag kNone = 0;  // argument omitted
inline constexpr TypeTag kByte = 0x80000101;
inline constexpr TypeTag kShort = 0x80000201;
inline constexpr TypeTag kInt = 0x80000301;
inline constexpr TypeTag kInt64 = 0x80000401;
inline constexpr TypeTag kFloat = 0x80000501;
inline constexpr TypeTag kDouble = 0x80000601;
inline constexpr TypeTag kBool = 0x80000002;
inline constexpr TypeTag kDateTime = 0x80000003;
inline constexpr TypeTag kText = 0x80000004;
inline constexpr TypeTag kBytes = 0x80000005;
inline constexpr TypeTag kSubroutine = 0x80000006;
inline constexpr TypeTag kSystem8 = 0x80000008;
inline constexpr TypeTag kArrayFlag = 0x20000000;

constexpr TypeTag unit(uint32_t library, uint32_t type) { return ((library + 1) << 16) | (type + 1); }
inline constexpr TypeTag kWindowUnit = unit(0, 0);
inline constexpr TypeTag kMenuItemUnit = unit(0, 2);

constexpr bool is_array(TypeTag t) { return (t & kArrayFlag) != 0 && t != kNone; }
constexpr TypeTag element_of(TypeTag t) { return t & ~kArrayFlag; }
}  // namespace tag

// Classes compare the tag as a signed value: 0, system (0x80000000-0xBFFFFFFF),
// reserved (0x40000000-0x7FFFFFFF) and library types (everything else).
enum class TagClass { None = 0, System = 1, Reserved = 2, Library = 3 };

constexpr TagClass classify(TypeTag t) {
  const auto s = static_cast<int32_t>(t);
  if (s == 0) return TagClass::None;
  if (t >= 0x80000000u && t <= 0xBFFFFFFFu) return TagClass::System;
  if (s >= 0x40000000 && s <= 0x7FFFFFFF) return TagClass::Reserved;
  return TagClass::Library;
}

// Library number and type number of a library-type tag (valid for TagClass::Library).
constexpr uint32_t library_of(TypeTag t) { return ((t >> 16) & 0xFFFF) - 1; }
constexpr uint32_t type_of(TypeTag t) { return (t & 0xFFFF) - 1; }

// One typed value: payload low word, payload high word, type tag. References
// fill the low word in the 32-bit build and both words in the 64-bit builds,
// so the record stays 12 bytes everywhere.
struct ArgValue {
  uint32_t low = 0;
  uint32_t high = 0;
  TypeTag tag = tag::kNone;

  bool present() const { return tag != tag::kNone; }
  int32_t as_int() const { return static_cast<int32_t>(low); }
  int64_t as_int64() const { return static_cast<int64_t>((uint64_t{high} << 32) | low); }
  double as_double() const { return bits_as<double>(); }
  float as_float() const { return bits_as<float>(); }
  bool as_bool() const { return low != 0; }

  template <class T>
  T* ref() const {
    uintptr_t p = 0;
    std::memcpy(&p, this, sizeof p);
    return reinterpret_cast<T*>(p);
  }
  char* text() const { return ref<char>(); }
  void* block() const { return ref<void>(); }

  static ArgValue of_int(int32_t v) { return {static_cast<uint32_t>(v), 0, tag::kInt}; }
  static ArgValue of_bool(bool v) { return {v ? 1u : 0u, 0, tag::kBool}; }
  static ArgValue of_int64(int64_t v) {
    return {static_cast<uint32_t>(v), static_cast<uint32_t>(static_cast<uint64_t>(v) >> 32), tag::kInt64};
  }
  static ArgValue of_double(double v) { return of_bits(v, tag::kDouble); }
  static ArgValue of_float(float v) { return of_bits(v, tag::kFloat); }
  static ArgValue of_ref(const void* p, TypeTag t) {
    ArgValue a;
    const auto bits = reinterpret_cast<uintptr_t>(p);
    std::memcpy(static_cast<void*>(&a), &bits, sizeof bits);
    a.tag = t;
    return a;
  }
  static ArgValue of_text(const char* s) { return of_ref(s, tag::kText); }
  static ArgValue of_bytes(const void* block) { return of_ref(block, tag::kBytes); }
  static ArgValue of_unit(uint32_t window_id, uint32_t unit_id, TypeTag t) { return {window_id, unit_id, t}; }

  // Stores a reference into the payload, keeping the tag.
  void set_ref(const void* p) {
    const TypeTag keep = tag;
    *this = of_ref(p, keep);
  }

 private:
  template <class T>
  T bits_as() const {
    T v{};
    std::memcpy(&v, this, sizeof v);
    return v;
  }
  template <class T>
  static ArgValue of_bits(T v, TypeTag t) {
    ArgValue a;
    std::memcpy(static_cast<void*>(&a), &v, sizeof v);
    a.tag = t;
    return a;
  }
};

static_assert(sizeof(ArgValue) == 12, "ArgValue is three 32-bit words");

}  // namespace rt
