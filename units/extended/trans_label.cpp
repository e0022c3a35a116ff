#include "units/extended/trans_label.h"

#include <cstring>
#include <string>

#include "units/controls/unit_control.h"
#include "units/extended/see_through_repaint.h"
#include "units/extended/trans_label_drawing.h"
#include "units/types/core_types.h"
#include "units/types/unit_type_builder.h"

namespace extended {
namespace {

using units::BlockField;
using units::BlockLayout;
using units::FieldForm;

constexpr int kCaption = 0, kEffect = 1, kFont = 2, kTextColour = 3, kHAlign = 4, kWordWrap = 5, kVAlign = 6;

// Property block, version 1: effect, colour, alignments, wrap, font, caption.
constexpr BlockField kFields[] = {
    {FieldForm::U32, 9, 1},  {FieldForm::U32, 11, 1},   {FieldForm::U32, 12, 1}, {FieldForm::U32, 14, 1},
    {FieldForm::U32, 13, 1}, {FieldForm::Bytes, 10, 1}, {FieldForm::Text, 8, 1},
};
constexpr BlockLayout kLayout{1, kFields, std::size(kFields)};
constexpr uint32_t kOwnTypes[] = {1005, 1006, 1013, 1014, 1006, 1003, 1006};

// The common properties carry the design bits 0xE0000000 on their type words;
// this library's own properties carry none.
struct PropertyRecords {
  rt::UnitProperty items[8 + std::size(kOwnTypes)];
};
constexpr PropertyRecords make_property_records() {
  PropertyRecords records{};
  for (size_t i = 0; i < 8; ++i) records.items[i] = {"", "", "", 0xE0000000 | units::kCommonTypes[i], 0};
  for (size_t i = 0; i < std::size(kOwnTypes); ++i) records.items[8 + i] = {"", "", "", kOwnTypes[i], 0};
  return records;
}
constexpr PropertyRecords kProperties = make_property_records();

constexpr char kClassName[] = "TransLabel";
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;

// Highest value of each choice property; -1 for the others.
int32_t choice_limit(int index) {
  switch (index) {
    case kEffect: return 3;
    case kHAlign:
    case kVAlign: return 2;
    default: return -1;
  }
}

class TransLabel final : public units::UnitControl {
 public:
  TransLabel(uint32_t window_id, uint32_t unit_id) : UnitControl(window_id, unit_id, std::size(kOwnTypes)) {
    // What a unit stored without a property block shows.
    m_properties.set_data(kCaption, "透明标签");
    m_properties.set_number(kVAlign, 1);
  }
  const BlockLayout& layout() const override { return kLayout; }
  uint32_t data_type(int index) const override {
    return index >= 0 && static_cast<size_t>(index) < std::size(kOwnTypes) ? kOwnTypes[index] : 0;
  }

  bool create(const units::CreateArguments& args) override {
    if (!units::register_runtime_class(kClassName, kClassStyle, true)) return false;
    return create_window(WS_EX_TRANSPARENT, kClassName, m_properties.data(kCaption).c_str(),
                         args.style | WS_CHILD | WS_CLIPSIBLINGS, args);
  }

  int32_t write_property(int index, const units::PropertyValue& value) override {
    if (index < 0 || static_cast<size_t>(index) >= std::size(kOwnTypes)) return 0;
    UnitControl::write_property(index, value);
    if (const int32_t limit = choice_limit(index); limit >= 0)
      m_properties.set_number(index, units::clamp_choice(m_properties.number(index), limit));
    if (index == kCaption) SetWindowTextA(handle(), m_properties.data(kCaption).c_str());
    repaint_see_through(handle());
    return 0;  // every change shows without re-creating the control
  }

 protected:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(handle(), &ps);
        paint(dc);
        EndPaint(handle(), &ps);
        return 0;
      }
      case WM_MOVE: {
        const LRESULT result = default_procedure(message, wparam, lparam);
        // Moving copies the old pixels along, the old text among them.
        repaint_see_through(handle());
        return result;
      }
      default: return default_procedure(message, wparam, lparam);
    }
  }

 private:
  void paint(HDC dc) {
    RECT rect;
    GetClientRect(handle(), &rect);
    const std::string text = window_text();
    if (text.empty()) return;

    HFONT created = nullptr;
    const std::string& font_bytes = m_properties.data(kFont);
    if (font_bytes.size() == sizeof(LOGFONTA)) {
      LOGFONTA font;
      std::memcpy(&font, font_bytes.data(), sizeof font);
      created = CreateFontIndirectA(&font);
    }
    const HGDIOBJ old_font = SelectObject(dc, created ? created : GetStockObject(DEFAULT_GUI_FONT));
    const UINT format = trans_label_format(m_properties.number(kHAlign), m_properties.number(kWordWrap) != 0,
                                           m_properties.number(kVAlign));
    SetBkMode(dc, TRANSPARENT);

    auto draw = [&](COLORREF colour, RECT at) {
      SetTextColor(dc, colour);
      DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &at, format);
    };
    const EffectPass effect = effect_pass(m_properties.number(kEffect));
    if (effect.drawn) {
      RECT copy = rect;
      OffsetRect(&copy, effect.copy_offset, effect.copy_offset);
      draw(effect.colour, copy);
      OffsetRect(&rect, effect.text_offset, effect.text_offset);
    }
    draw(static_cast<COLORREF>(m_properties.number(kTextColour)), rect);

    SelectObject(dc, old_font);
    if (created) DeleteObject(created);
  }

  std::string window_text() const {
    const int length = GetWindowTextLengthA(handle());
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(handle(), text.data(), length + 1)));
    return text;
  }
};

}  // namespace

rt::UnitType trans_label_type() {
  return {"透明标签",
          "TransLabel",
          "",
          0,
          nullptr,
          0x12040,
          0,
          0,
          nullptr,
          static_cast<int32_t>(std::size(kProperties.items)),
          kProperties.items,
          units::lookup<TransLabel>,
          0,
          nullptr};
}

}  // namespace extended
