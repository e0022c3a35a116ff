#include "units/font_record.h"

#include <cstring>

namespace units {
namespace {

int screen_dpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

void set_face(LOGFONTA& font, const char* face) {
  const size_t n = face ? std::strlen(face) : 0;
  const char* chosen = n >= 1 && n <= 31 ? face : "宋体";
  std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
  std::memcpy(font.lfFaceName, chosen, std::strlen(chosen));
}

}  // namespace

int32_t font_field(const LOGFONTA& font, FontField field) {
  switch (field) {
    case FontField::Angle: return font.lfEscapement;
    case FontField::Bold: return font.lfWeight >= FW_BOLD ? 1 : 0;
    case FontField::Italic: return font.lfItalic ? 1 : 0;
    case FontField::StrikeOut: return font.lfStrikeOut ? 1 : 0;
    case FontField::Underline: return font.lfUnderline ? 1 : 0;
    case FontField::PointSize: return MulDiv(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight, 72, screen_dpi());
    case FontField::FaceName: return 0;
  }
  return 0;
}

void set_font_field(LOGFONTA& font, FontField field, int32_t value, const char* face_name) {
  switch (field) {
    case FontField::Angle:
      font.lfEscapement = font.lfOrientation = value % 3600;
      break;
    case FontField::Bold: font.lfWeight = value ? FW_BOLD : 0; break;
    case FontField::Italic: font.lfItalic = value ? 1 : 0; break;
    case FontField::StrikeOut: font.lfStrikeOut = value ? 1 : 0; break;
    case FontField::Underline: font.lfUnderline = value ? 1 : 0; break;
    case FontField::PointSize: font.lfHeight = -MulDiv(value, screen_dpi(), 72); break;
    case FontField::FaceName: set_face(font, face_name); break;
  }
}

FontRecord font_record_of(const LOGFONTA& font) {
  FontRecord record;
  record.angle = font_field(font, FontField::Angle);
  record.bold = font_field(font, FontField::Bold);
  record.italic = font_field(font, FontField::Italic);
  record.strike_out = font_field(font, FontField::StrikeOut);
  record.underline = font_field(font, FontField::Underline);
  record.point_size = font_field(font, FontField::PointSize);
  record.face_name = font.lfFaceName;
  return record;
}

void apply_font_record(LOGFONTA& font, const FontRecord& record) {
  set_font_field(font, FontField::Angle, record.angle, nullptr);
  set_font_field(font, FontField::Bold, record.bold, nullptr);
  set_font_field(font, FontField::Italic, record.italic, nullptr);
  set_font_field(font, FontField::StrikeOut, record.strike_out, nullptr);
  set_font_field(font, FontField::Underline, record.underline, nullptr);
  set_font_field(font, FontField::PointSize, record.point_size, nullptr);
  set_font_field(font, FontField::FaceName, 0, record.face_name);
}

}  // namespace units
