#pragma once

#include <windows.h>

#include <cstdint>

// How a transparent label lays out and decorates its text. Kept apart from the
// control so that the tests can check the format flags themselves.
namespace extended {

// DrawText flags for the alignments and the wrap flag. A wrapped text is
// always centred vertically (DT_VCENTER) whatever the vertical alignment says.
UINT trans_label_format(uint32_t h_align, bool word_wrap, uint32_t v_align);

// The extra copy an effect draws before the text itself: its colour, where it
// goes, and how far the text is then moved.
struct EffectPass {
  bool drawn;
  COLORREF colour;
  int copy_offset;  // the copy lies this many pixels right and down
  int text_offset;  // and the text itself is moved this far afterwards
};

// 0 none, 1 sunken, 2 raised, 3 shadow; any other value draws nothing extra.
EffectPass effect_pass(uint32_t effect);

}  // namespace extended
