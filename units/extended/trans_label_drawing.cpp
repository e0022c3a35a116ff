#include "units/extended/trans_label_drawing.h"

namespace extended {

UINT trans_label_format(uint32_t h_align, bool word_wrap, uint32_t v_align) {
  UINT format = DT_NOCLIP;
  if (h_align == 1) format |= DT_CENTER;
  if (h_align == 2) format |= DT_RIGHT;
  if (word_wrap) return format | DT_WORDBREAK | DT_VCENTER;
  format |= DT_SINGLELINE;
  if (v_align == 1) format |= DT_VCENTER;
  if (v_align == 2) format |= DT_BOTTOM;
  return format;
}

EffectPass effect_pass(uint32_t effect) {
  switch (effect) {
    case 1: return {true, RGB(255, 255, 255), 1, 0};  // sunken: a white copy below and right
    case 2: return {true, RGB(255, 255, 255), 0, 1};  // raised: white in place, the text below and right
    case 3: return {true, RGB(0, 0, 0), 2, 0};        // shadow: black, two pixels off
    default: return {false, 0, 0, 0};
  }
}

}  // namespace extended
