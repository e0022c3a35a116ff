#pragma once

#include <cstdint>

// Data types of unit properties (the low 16 bits of a property's type word)
// and how a value of each is exchanged with the program.
namespace units {

enum class DataClass {
  Integer,  // 1000, 1001
  Wide,     // 1002, 1004: both payload words
  Logical,  // 1003: 1 = true; any non-zero writes as 1
  Text,     // 1005, 1007, 1008, 1016, 1018-1022
  Choice,   // 1006: a negative value writes as 0
  Bytes,    // 1009, 1010, 1012, 1023, 1024
  Cursor,   // 1011: cursor data as a byte set
  Font,     // 1013: a LOGFONT, whole or by field
  Colour,   // 1014, 1015, 1017
  Unknown,
};

constexpr DataClass data_class(uint32_t type_word) {
  switch (type_word & 0xFFFF) {
    case 1000: case 1001: return DataClass::Integer;
    case 1002: case 1004: return DataClass::Wide;
    case 1003: return DataClass::Logical;
    case 1005: case 1007: case 1008: case 1016: case 1018: case 1019: case 1020: case 1021: case 1022:
      return DataClass::Text;
    case 1006: return DataClass::Choice;
    case 1009: case 1010: case 1012: case 1023: case 1024: return DataClass::Bytes;
    case 1011: return DataClass::Cursor;
    case 1013: return DataClass::Font;
    case 1014: case 1015: case 1017: return DataClass::Colour;
    default: return DataClass::Unknown;
  }
}

namespace data_type {
inline constexpr uint32_t kInteger = 1001;
inline constexpr uint32_t kLogical = 1003;
inline constexpr uint32_t kText = 1005;
inline constexpr uint32_t kChoice = 1006;
inline constexpr uint32_t kBytes = 1009;
inline constexpr uint32_t kIcon = 1010;
inline constexpr uint32_t kCursor = 1011;
inline constexpr uint32_t kFont = 1013;
inline constexpr uint32_t kColour = 1014;
inline constexpr uint32_t kPageData = 1024;
}  // namespace data_type

// The default colour: painted as the button face, left out of gradients.
inline constexpr uint32_t kDefaultColour = 0xFF000000;

}  // namespace units
