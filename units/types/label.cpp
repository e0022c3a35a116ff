// 标签 (Label): a text drawn by the runtime itself, with an optional frame,
// gradient border, picture or gradient background and a text effect.
#include <algorithm>

#include "units/property_types.h"
#include "units/types/border_style.h"
#include "units/types/core_types.h"
#include "units/types/gradient.h"
#include "units/types/picture.h"
#include "units/types/unit_type_builder.h"

namespace units {
namespace {

constexpr BlockField kFields[] = {
    {FieldForm::U32, 9, 1},   {FieldForm::U32, 10, 1},  {FieldForm::U32, 11, 1},  {FieldForm::U32, 12, 1},
    {FieldForm::U32, 13, 1},  {FieldForm::U32, 14, 1},  {FieldForm::U32, 16, 1},  {FieldForm::U32, 17, 1},
    {FieldForm::U32, 19, 1},  {FieldForm::U32, 20, 1},  {FieldForm::U32, 21, 1},  {FieldForm::U32, 22, 1},
    {FieldForm::U32, 23, 1},  {FieldForm::U32, 24, 1},  {FieldForm::U32, 25, 1},  {FieldForm::U32, 26, 1},
    {FieldForm::Bytes, 15, 1}, {FieldForm::Bytes, 18, 1}, {FieldForm::Text, 8, 1}, {FieldForm::Text, 27, 2},
    {FieldForm::Text, 28, 2},
};
constexpr BlockLayout kLayout{2, kFields, std::size(kFields)};
constexpr uint32_t kOwnTypes[] = {1005, 1006, 1006, 1001, 1014, 1014, 1014, 1013, 1014, 1014, 1009,
                                  1006, 1006, 1014, 1014, 1014, 1006, 1003, 1006, 1005, 1005};
constexpr auto kProperties = property_table(kOwnTypes);

constexpr int kCaption = 0, kEffect = 1, kBorder = 2, kBorderWidth = 3, kBorderColour1 = 4, kBorderColour2 = 5,
              kBorderColour3 = 6, kFont = 7, kTextColour = 8, kBackground = 9, kPicture = 10, kPictureMode = 11,
              kGradientMode = 12, kGradient1 = 13, kGradient2 = 14, kGradient3 = 15, kHAlign = 16, kWordWrap = 17,
              kVAlign = 18;

// Highest value of each choice property, for clamping.
int32_t choice_limit(int index) {
  switch (index) {
    case kEffect: return 3;
    case kBorder: return 6;
    case kPictureMode: return 2;
    case kGradientMode: return 8;
    case kHAlign:
    case kVAlign: return 2;
    default: return -1;
  }
}

constexpr UINT kLabelEvent = 0x8075;

class Label final : public UnitControl {
 public:
  Label(uint32_t window_id, uint32_t unit_id) : UnitControl(window_id, unit_id, std::size(kOwnTypes)) {
    for (int i : {kBorderColour1, kBorderColour2, kBorderColour3, kBackground, kGradient1, kGradient2, kGradient3})
      m_properties.set_number(i, kDefaultColour);
    m_properties.set_number(kBorderWidth, 5);
  }
  const BlockLayout& layout() const override { return kLayout; }
  uint32_t data_type(int index) const override {
    return index >= 0 && static_cast<size_t>(index) < std::size(kOwnTypes) ? kOwnTypes[index] : 0;
  }

  bool create(const CreateArguments& args) override {
    register_runtime_class("_QW_Label", 11, true);
    if (!create_window(0, "_QW_Label", m_properties.data(kCaption).c_str(), args.style | WS_CHILD | WS_CLIPSIBLINGS,
                       args))
      return false;
    const uint32_t border = clamp_choice(m_properties.number(kBorder), 6);
    if (border != 6) apply_border_style(handle(), border);
    return true;
  }

  int32_t write_property(int index, const PropertyValue& value) override {
    UnitControl::write_property(index, value);
    if (const int32_t limit = choice_limit(index); limit >= 0)
      m_properties.set_number(index, clamp_choice(m_properties.number(index), limit));
    switch (index) {
      case kCaption: SetWindowTextA(handle(), m_properties.data(kCaption).c_str()); break;
      case kBorder: apply_border_style(handle(), m_properties.number(kBorder) == 6 ? 0 : m_properties.number(kBorder)); break;
      case kBorderWidth:
        if (m_properties.integer(kBorderWidth) < 5) m_properties.set_number(kBorderWidth, 5);
        break;
      case kPicture: m_picture.reset(); break;
    }
    repaint();
    return 0;
  }

 protected:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_PAINT: {
        if (!GetUpdateRect(handle(), nullptr, FALSE)) return 0;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(handle(), &ps);
        paint(dc);
        EndPaint(handle(), &ps);
        return 0;
      }
      case WM_ERASEBKGND: return 1;  // painted whole in WM_PAINT
      case kLabelEvent:
        raise_event(0, {static_cast<uint32_t>(wparam), static_cast<uint32_t>(lparam)});
        return 0;
      default: return default_procedure(message, wparam, lparam);
    }
  }

 private:
  void paint(HDC dc) {
    RECT rect;
    GetClientRect(handle(), &rect);
    const int border_width = m_properties.integer(kBorderWidth);
    if (m_properties.number(kBorder) == 6 && border_width > 0) {
      const auto colours = gradient_colours({m_properties.number(kBorderColour1), m_properties.number(kBorderColour2),
                                             m_properties.number(kBorderColour3)});
      if (colours.size() >= 2) {
        draw_gradient_frame(dc, rect, colours, border_width);
        InflateRect(&rect, -border_width, -border_width);
      }
    }

    HRGN region = CreateRectRgnIndirect(&rect);
    if (!m_properties.data(kPicture).empty() && (!m_picture.empty() || m_picture.decode(m_properties.data(kPicture)))) {
      draw_picture(dc, rect, region);
    } else if (m_properties.number(kGradientMode) != 0) {
      const auto colours = gradient_colours(
          {m_properties.number(kGradient1), m_properties.number(kGradient2), m_properties.number(kGradient3)});
      if (colours.size() >= 2) {
        fill_gradient(dc, rect, colours, m_properties.number(kGradientMode));
        SetRectRgn(region, 0, 0, 0, 0);
      }
    }
    HBRUSH background = CreateSolidBrush(paint_colour(m_properties.number(kBackground)));
    FillRgn(dc, region, background);
    DeleteObject(background);
    DeleteObject(region);

    const std::string& caption = m_properties.data(kCaption);
    if (caption.empty()) return;
    const LOGFONTA logfont = font_or_default(m_properties.data(kFont));
    HFONT font = CreateFontIndirectA(&logfont);
    HGDIOBJ old_font = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    static constexpr UINT kHorizontal[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    static constexpr UINT kVertical[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
    UINT format = DT_NOCLIP | kHorizontal[m_properties.number(kHAlign) % 3];
    if (m_properties.number(kWordWrap))
      format |= DT_WORDBREAK | DT_VCENTER;
    else
      format |= DT_SINGLELINE | kVertical[m_properties.number(kVAlign) % 3];
    SetBkMode(dc, TRANSPARENT);
    draw_caption(dc, caption, rect, format);
    SelectObject(dc, old_font);
    if (font) DeleteObject(font);
  }

  void draw_caption(HDC dc, const std::string& caption, RECT rect, UINT format) {
    auto draw = [&](COLORREF colour, RECT r) {
      SetTextColor(dc, colour);
      DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r, format);
    };
    switch (m_properties.number(kEffect)) {
      case 1: draw(RGB(255, 255, 255), {rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1}); break;
      case 2:
        draw(RGB(255, 255, 255), rect);
        OffsetRect(&rect, 1, 1);
        break;
      case 3: draw(RGB(0, 0, 0), {rect.left + 2, rect.top + 2, rect.right + 2, rect.bottom + 2}); break;
      default: break;
    }
    draw(paint_colour(m_properties.number(kTextColour)), rect);
  }

  void draw_picture(HDC dc, const RECT& rect, HRGN region) {
    const SIZE size = m_picture.size();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    switch (m_properties.number(kPictureMode)) {
      case 1:  // tiled: nothing is left
        for (int y = rect.top; y < rect.bottom && size.cy > 0; y += size.cy)
          for (int x = rect.left; x < rect.right && size.cx > 0; x += size.cx)
            m_picture.draw(dc, {x, y, x + size.cx, y + size.cy});
        SetRectRgn(region, 0, 0, 0, 0);
        return;
      case 2: {  // centred, scaled down keeping its aspect
        double scale = 1.0;
        if (size.cx > width || size.cy > height)
          scale = std::min(static_cast<double>(width) / size.cx, static_cast<double>(height) / size.cy);
        const int w = static_cast<int>(size.cx * scale), h = static_cast<int>(size.cy * scale);
        const RECT target = {rect.left + (width - w) / 2, rect.top + (height - h) / 2, 0, 0};
        const RECT drawn = {target.left, target.top, target.left + w, target.top + h};
        m_picture.draw(dc, drawn);
        take_out(region, drawn);
        return;
      }
      default: {
        const RECT drawn = {rect.left, rect.top, rect.left + size.cx, rect.top + size.cy};
        m_picture.draw(dc, drawn);
        take_out(region, drawn);
        return;
      }
    }
  }

  static void take_out(HRGN region, const RECT& r) {
    HRGN part = CreateRectRgnIndirect(&r);
    CombineRgn(region, region, part, RGN_DIFF);
    DeleteObject(part);
  }

  Picture m_picture;
};

}  // namespace

rt::UnitType label_type() {
  return {"标签", "Label", "", 0, nullptr, 0x84012040, 0, 0, nullptr,
          static_cast<int32_t>(std::size(kProperties.items)), kProperties.items, lookup<Label>, 0, nullptr};
}

}  // namespace units
