#pragma once

#include <windows.h>

#include <cstdint>

namespace units {

// A font as the program exchanges it whole: seven fields, the last a text.
struct FontRecord {
  int32_t angle;       // tenths of a degree
  int32_t bold;
  int32_t italic;
  int32_t strike_out;
  int32_t underline;
  int32_t point_size;
  const char* face_name;
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(FontRecord) == 28, "the font record is seven 32-bit fields");
#endif

// Field numbers for a font property read or written by field.
enum class FontField : int32_t { Angle = 0, Bold, Italic, StrikeOut, Underline, PointSize, FaceName };

// Field of a LOGFONT as the program sees it (the face name is not a number).
int32_t font_field(const LOGFONTA& font, FontField field);
// Changes one field; a face name of 1 to 31 bytes, anything else writes "宋体".
void set_font_field(LOGFONTA& font, FontField field, int32_t value, const char* face_name);
FontRecord font_record_of(const LOGFONTA& font);  // face_name points into `font`
void apply_font_record(LOGFONTA& font, const FontRecord& record);

}  // namespace units
