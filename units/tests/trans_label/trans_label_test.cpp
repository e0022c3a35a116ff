// The transparent label of the extended-interface library on live windows:
// its type record, its properties through the runtime's service entries and
// its own operations, and what it leaves on the screen, read back pixel by
// pixel over coloured parents.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/system_function.h"
#include "units/controls/unit_control.h"
#include "units/extended/trans_label_drawing.h"
#include "units/font_record.h"
#include "units/tests/window_pixels.h"
#include "units/tests/window_test_support.h"
#include "units/types/type_operations.h"

namespace units::testing {
namespace {

constexpr uint32_t kTransLabelReference = 0x00030005;  // library 2, type 4
constexpr uint32_t kNewFormatWindow = 0x52020001;
constexpr int32_t kLeft = 0, kTop = 1, kCaption = 8, kEffect = 9, kFont = 10, kTextColour = 11, kHAlign = 12,
                  kWordWrap = 13, kVAlign = 14;
constexpr COLORREF kWindowColour = RGB(0x20, 0x60, 0xA0);
constexpr COLORREF kGroupColour = RGB(0x40, 0xA0, 0x40);
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

uint64_t text_value(const char* text) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(text)); }

const rt::UnitType* type_by_reference(uint32_t reference) {
  const int64_t found = rt::system_function(rt::sysfn::kUnitType, static_cast<intptr_t>(reference), 0);
  return reinterpret_cast<const rt::UnitType*>(static_cast<uintptr_t>(found));
}

const rt::UnitType& trans_label() {
  static const rt::UnitType* type = type_by_reference(kTransLabelReference);
  if (!type) throw std::runtime_error("no transparent label type in library 2");
  return *type;
}

template <class Operation>
Operation operation(int32_t code) {
  return reinterpret_cast<Operation>(trans_label().lookup(code));
}

void* control_of(const char* name) { return layer().control(kTestWindow, unit(name).id); }

HWND top_window() { return static_cast<HWND>(layer().live_control(kTestWindow, 0)); }

// Own property `index` written straight through the type's operation, as a
// library would, without the runtime's conversions.
int32_t write_own(const char* name, int32_t index, uint64_t value, uint32_t length = 0, uint32_t* out = nullptr) {
  PropertyValue v;
  v.value = value;
  v.length = length;
  uint32_t ignored = 0;
  return operation<WritePropertyOperation>(op::kWriteProperty)(control_of(name), index, &v, out ? out : &ignored);
}

PropertyValue read_own(const char* name, int32_t index) {
  PropertyValue v;
  operation<ReadPropertyOperation>(op::kReadProperty)(control_of(name), index, &v);
  return v;
}

std::vector<uint8_t> u32_bytes(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

// A property block of version 1, packed field by field.
std::vector<uint8_t> block(uint32_t effect, uint32_t colour, uint32_t h_align, uint32_t v_align, uint32_t wrap,
                           const std::string& font, const std::string& caption, uint32_t version = 1) {
  std::vector<uint8_t> out;
  for (uint32_t v : {version, effect, colour, h_align, v_align, wrap}) {
    const auto b = u32_bytes(v);
    out.insert(out.end(), b.begin(), b.end());
  }
  for (const std::string* data : {&font, &caption}) {
    const auto b = u32_bytes(static_cast<uint32_t>(data->size()));
    out.insert(out.end(), b.begin(), b.end());
    out.insert(out.end(), data->begin(), data->end());
  }
  return out;
}

std::string logfont_bytes(const char* face, int height, BYTE quality = DEFAULT_QUALITY) {
  LOGFONTA font = {};
  font.lfHeight = height;
  font.lfWeight = FW_BOLD;
  font.lfQuality = quality;
  std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  return std::string(reinterpret_cast<const char*>(&font), sizeof font);
}

std::string describe(const RECT& r) {
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + "]";
}

// A bold font drawn without smoothed edges, so that every pixel of the text
// has exactly the colour it was drawn in.
void use_sharp_font(const char* name) {
  const std::string bytes = logfont_bytes("Tahoma", -22, NONANTIALIASED_QUALITY);
  write_own(name, kFont - 8, text_value(bytes.data()), static_cast<uint32_t>(bytes.size()));
}

RECT label_rect(const char* name) { return rect_in(handle(name), top_window()); }

// The label's rectangle with room for an effect's copy (two pixels off).
RECT with_effect_room(RECT r) {
  r.right += 3;
  r.bottom += 3;
  return r;
}

class TransLabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    close_test_window();
    load_test_window();
  }
};

TEST(TransLabelType, library_2_offers_it_as_type_4_and_nothing_else) {
  const rt::UnitType& type = trans_label();
  EXPECT_STREQ(type.name, "透明标签");
  EXPECT_STREQ(type.english_name, "TransLabel");
  EXPECT_EQ(type.state_flags, 0x12040u);
  EXPECT_EQ(type.event_count, 0);
  EXPECT_EQ(rt::system_function(rt::sysfn::kClassifyUnitType, kTransLabelReference, 0), 1);

  const uint32_t expected_types[] = {0xE0000000 | 1001,
                                     0xE0000000 | 1001,
                                     0xE0000000 | 1001,
                                     0xE0000000 | 1001,
                                     0xE0000000 | 1005,
                                     0xE0000000 | 1003,
                                     0xE0000000 | 1003,
                                     0xE0000000 | 1011,
                                     1005,
                                     1006,
                                     1013,
                                     1014,
                                     1006,
                                     1003,
                                     1006};
  ASSERT_EQ(type.property_count, 15);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(type.properties[i].type_word, expected_types[i]) << "property " << i;

  for (int32_t code = 1; code <= 10; ++code) {
    const bool offered = code == 1 || code == 4 || code == 5 || code == 6 || code == 9;
    EXPECT_EQ(type.lookup(code) != nullptr, offered) << "operation " << code;
  }
  for (uint32_t reference : {0x00030001u, 0x00030002u, 0x00030003u, 0x00030004u, 0x00030006u})
    EXPECT_EQ(type_by_reference(reference), nullptr) << std::hex << "type reference 0x" << reference;
}

TEST_F(TransLabelTest, a_unit_stored_without_a_block_shows_the_default_caption_centred) {
  EXPECT_EQ(read_text("透明标签3", kCaption), "透明标签");
  EXPECT_EQ(text_of(handle("透明标签3")), "透明标签");
  const struct {
    int32_t number;
    uint64_t expected;
  } defaults[] = {{kEffect, 0}, {kTextColour, 0}, {kHAlign, 0}, {kWordWrap, 0}, {kVAlign, 1}};
  for (const auto& d : defaults) EXPECT_EQ(read("透明标签3", d.number), d.expected) << "property " << d.number;
  EXPECT_EQ(read_own("透明标签3", kFont - 8).value, 0u) << "no font bytes";
}

TEST_F(TransLabelTest, its_window_sees_through_to_the_parent) {
  const HWND label = handle("透明标签2");
  EXPECT_EQ(GetClassLongPtrA(label, GCL_STYLE), CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS);
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(label, GCLP_HBRBACKGROUND)), GetStockObject(NULL_BRUSH));
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(label, GCLP_HCURSOR)),
            LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  EXPECT_TRUE(GetWindowLongA(label, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  const DWORD style = GetWindowLongA(label, GWL_STYLE);
  EXPECT_EQ(style & (WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE), DWORD{WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE});
}

TEST_F(TransLabelTest, stored_block_values_reach_the_control) {
  EXPECT_EQ(read_text("透明标签1", kCaption), "WWWWWWWW");
  EXPECT_EQ(read("透明标签1", kTextColour), 0x0000FFu);
  EXPECT_EQ(read("透明标签1", kVAlign), 1u);
  EXPECT_EQ(read("透明标签1", kFont, static_cast<int32_t>(FontField::PointSize)), 18u);
  EXPECT_EQ(read("透明标签4", kVAlign), 0u);
  EXPECT_EQ(read("透明标签4", kWordWrap), 1u);
}

TEST_F(TransLabelTest, choices_clamp_to_their_ranges) {
  // Through the runtime, which turns negative choices into 0 before the type sees them.
  const struct {
    int32_t number;
    int32_t written;
    uint32_t stored;
  } program_writes[] = {
      {kEffect, 7, 3},   {kEffect, -1, 0}, {kEffect, 2, 2}, {kHAlign, 3, 2},   {kHAlign, -4, 0},
      {kVAlign, 100, 2}, {kVAlign, -1, 0}, {kVAlign, 1, 1}, {kWordWrap, 5, 1}, {kTextColour, 0x123456, 0x123456},
  };
  for (const auto& c : program_writes) {
    write("透明标签2", c.number, static_cast<uint32_t>(c.written));
    EXPECT_EQ(read("透明标签2", c.number), c.stored) << "property " << c.number << " written " << c.written;
  }

  // Straight through the type's operation: the type clamps by itself.
  const struct {
    int32_t index;
    int32_t written;
    uint32_t stored;
  } own_writes[] = {
      {1, -1, 0}, {1, 7, 3}, {1, INT32_MIN, 0}, {4, -2, 0}, {4, 9, 2}, {6, INT32_MAX, 2}, {6, -5, 0}, {6, 0, 0},
  };
  for (const auto& c : own_writes) {
    uint32_t out = 77;
    EXPECT_EQ(write_own("透明标签2", c.index, static_cast<uint32_t>(c.written), 0, &out), 0) << "never re-created";
    EXPECT_EQ(out, 0u);
    EXPECT_EQ(read_own("透明标签2", c.index).value, c.stored) << "own " << c.index << " written " << c.written;
  }
}

TEST_F(TransLabelTest, read_property_knows_indexes_0_to_6_only) {
  auto read_op = operation<ReadPropertyOperation>(op::kReadProperty);
  for (int32_t index = -1; index <= 8; ++index) {
    PropertyValue v;
    EXPECT_EQ(read_op(control_of("透明标签2"), index, &v), index >= 0 && index <= 6 ? 1 : 0) << "index " << index;
  }
}

TEST_F(TransLabelTest, a_null_caption_writes_as_the_empty_text) {
  write_own("透明标签1", 0, 0);
  EXPECT_EQ(read_text("透明标签1", kCaption), "");
  EXPECT_EQ(text_of(handle("透明标签1")), "");
}

TEST_F(TransLabelTest, save_gives_a_version_1_block_of_the_current_values) {
  write("透明标签2", kCaption, text_value("保存"));
  write("透明标签2", kEffect, 2);
  write("透明标签2", kTextColour, 0x123456);
  write("透明标签2", kHAlign, 1);
  write("透明标签2", kVAlign, 2);
  write("透明标签2", kWordWrap, 1);
  write_own("透明标签2", 2, text_value("abc"), 3);

  HGLOBAL saved = static_cast<HGLOBAL>(operation<SaveOperation>(op::kSave)(control_of("透明标签2")));
  ASSERT_NE(saved, nullptr);
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(saved));
  const std::vector<uint8_t> got(bytes, bytes + GlobalSize(saved));
  GlobalUnlock(saved);
  GlobalFree(saved);
  EXPECT_EQ(got, block(2, 0x123456, 1, 2, 1, "abc", "保存"));
}

std::vector<std::string> g_texts;
void RT_STDCALL collect_text(const char* text, intptr_t user) {
  EXPECT_EQ(user, 42);
  g_texts.push_back(text);
}

TEST(TransLabelType, enumerate_texts_names_the_caption_and_a_whole_font_face) {
  const struct {
    const char* what;
    std::string font;
    std::vector<std::string> texts;
  } cases[] = {
      {"60-byte font", logfont_bytes("Tahoma", -16), {"标题", "Tahoma"}},
      {"59-byte font", logfont_bytes("Tahoma", -16).substr(0, 59), {"标题"}},
      {"no font", "", {"标题"}},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> stored = block(3, 0xFF, 2, 0, 1, c.font, "标题");
    g_texts.clear();
    HGLOBAL again = static_cast<HGLOBAL>(operation<EnumerateTextsOperation>(op::kEnumerateTexts)(
        stored.data(), static_cast<uint32_t>(stored.size()), collect_text, 42));
    EXPECT_EQ(g_texts, c.texts) << c.what;
    ASSERT_NE(again, nullptr) << c.what;
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(again));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + GlobalSize(again)), stored) << c.what;
    GlobalUnlock(again);
    GlobalFree(again);
  }
}

TEST(TransLabelType, create_refuses_a_block_of_a_later_version) {
  const std::vector<uint8_t> later = block(0, 0, 0, 1, 0, "", "新", 2);
  auto create = operation<CreateOperation>(op::kCreate);
  EXPECT_EQ(create(later.data(), static_cast<uint32_t>(later.size()), 0, nullptr, 100, nullptr, 0, 0, 10, 10,
                   kNewFormatWindow, 0x16020002, nullptr, 0),
            nullptr);
  EXPECT_FALSE(layer().load_window(kNewFormatWindow, false, nullptr));
  EXPECT_EQ(layer().live_control(kNewFormatWindow, 0), nullptr);
}

TEST(TransLabelFormat, wrapped_text_ignores_the_vertical_alignment) {
  const UINT horizontal[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  const UINT vertical[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
  for (uint32_t h = 0; h < 3; ++h)
    for (uint32_t v = 0; v < 3; ++v)
      for (bool wrap : {false, true}) {
        const UINT expected =
            DT_NOCLIP | horizontal[h] | (wrap ? DT_WORDBREAK | DT_VCENTER : DT_SINGLELINE | vertical[v]);
        EXPECT_EQ(extended::trans_label_format(h, wrap, v), expected) << "h " << h << " v " << v << " wrap " << wrap;
      }
}

// ---- What the screen shows ----

TEST_F(TransLabelTest, an_empty_caption_leaves_the_parent_visible_through_the_whole_label) {
  const RECT area = label_rect("透明标签2");
  const WindowPixels pixels(top_window());
  EXPECT_EQ(points_not_of(pixels, area, kWindowColour), "") << "label at " << describe(area);
}

struct OverParent {
  const char* label;
  COLORREF parent_colour;
};
const OverParent kOverParents[] = {{"透明标签1", kGroupColour}, {"透明标签2", kWindowColour}};

TEST_F(TransLabelTest, a_changed_caption_leaves_no_trace_of_the_old_text) {
  for (const OverParent& c : kOverParents) {
    SCOPED_TRACE(c.label);
    write(c.label, kTextColour, 0x0000FF);
    write(c.label, kCaption, text_value("WWWWWWWW"));
    const RECT area = with_effect_room(label_rect(c.label));
    EXPECT_GT(find_colour(WindowPixels(top_window()), area, kRed).count, 20) << "the text shows";

    write(c.label, kCaption, text_value(""));
    EXPECT_EQ(points_not_of(WindowPixels(top_window()), area, c.parent_colour), "") << "emptied";

    write(c.label, kCaption, text_value("WWWWWWWW"));
    write(c.label, kCaption, text_value("I"));
    RECT beyond = area;
    beyond.left += 40;  // past the new, narrow text
    EXPECT_EQ(points_not_of(WindowPixels(top_window()), beyond, c.parent_colour), "") << "shortened";

    write(c.label, kCaption, text_value("WWWWWWWW"));
    write(c.label, kTextColour, 0x00FF00);
    const WindowPixels recoloured(top_window());
    EXPECT_EQ(find_colour(recoloured, area, kRed).count, 0) << "recoloured";
    EXPECT_GT(find_colour(recoloured, area, kGreen).count, 20) << "recoloured";
  }
}

TEST_F(TransLabelTest, a_label_on_a_tab_page_returns_to_what_lay_beneath) {
  write("透明标签4", kCaption, text_value(""));
  const RECT area = with_effect_room(label_rect("透明标签4"));
  const WindowPixels before(top_window());
  write("透明标签4", kCaption, text_value("新版本已下载 WWWW"));
  EXPECT_GT(find_colour(WindowPixels(top_window()), area, kRed).count, 20) << "the text shows";
  write("透明标签4", kCaption, text_value(""));
  const WindowPixels after(top_window());
  int differing = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) differing += before.at(x, y) != after.at(x, y);
  EXPECT_EQ(differing, 0) << "pixels of " << describe(area) << " that kept a trace";
}

TEST_F(TransLabelTest, a_moved_label_draws_its_text_once_and_leaves_nothing_behind) {
  const struct {
    const char* label;
    COLORREF parent_colour;
    int32_t property;
    int32_t by;
  } cases[] = {
      {"透明标签2", kWindowColour, kTop, 40},
      {"透明标签2", kWindowColour, kLeft, -15},
      {"透明标签1", kGroupColour, kLeft, 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.label) + (c.property == kTop ? " down " : " across ") + std::to_string(c.by));
    write(c.label, kTextColour, 0x0000FF);
    write(c.label, kCaption, text_value("WWWW"));
    const RECT old_area = with_effect_room(label_rect(c.label));
    const std::vector<POINT> text_before = footprint(WindowPixels(top_window()), old_area, c.parent_colour);
    ASSERT_GT(text_before.size(), 20u);

    write(c.label, c.property, static_cast<uint32_t>(static_cast<int32_t>(read(c.label, c.property)) + c.by));
    const RECT new_area = with_effect_room(label_rect(c.label));
    const WindowPixels moved(top_window());
    const std::vector<POINT> text_after = footprint(moved, new_area, c.parent_colour);
    EXPECT_TRUE(same_points(text_after, text_before)) << "the text moved with its label: " << text_after.size()
                                                      << " pixels drawn, " << text_before.size() << " before";
    // What the label left: the old rectangle outside the new one.
    RECT left_behind[4] = {
        {old_area.left, old_area.top, old_area.right, std::min(old_area.bottom, new_area.top)},
        {old_area.left, std::max(old_area.top, new_area.bottom), old_area.right, old_area.bottom},
        {old_area.left, old_area.top, std::min(old_area.right, new_area.left), old_area.bottom},
        {std::max(old_area.left, new_area.right), old_area.top, old_area.right, old_area.bottom},
    };
    for (const RECT& strip : left_behind)
      EXPECT_EQ(points_not_of(moved, strip, c.parent_colour), "") << "left behind in " << describe(strip);
    write(c.label, c.property, static_cast<uint32_t>(static_cast<int32_t>(read(c.label, c.property)) - c.by));
  }
}

TEST_F(TransLabelTest, a_moved_empty_label_leaves_the_window_as_it_was) {
  // Moving copies the label's pixels along, which are those of what lay
  // beneath it; over another background they would stay as a patch.
  const struct {
    const char* label;
    int32_t property;
    int32_t by;
  } cases[] = {
      {"透明标签4", kTop, -50},   // onto the tab's page headers
      {"透明标签4", kLeft, 250},  // across the page's right edge
      {"透明标签1", kTop, -28},   // onto the group box's frame and caption
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.label) + (c.property == kTop ? " down " : " across ") + std::to_string(c.by));
    write(c.label, kCaption, text_value(""));
    const WindowPixels before(top_window());
    write(c.label, c.property, static_cast<uint32_t>(static_cast<int32_t>(read(c.label, c.property)) + c.by));
    const WindowPixels after(top_window());
    int differing = 0;
    RECT first = {0, 0, 0, 0};
    for (int y = 0; y < before.height(); ++y)
      for (int x = 0; x < before.width(); ++x)
        if (before.at(x, y) != after.at(x, y) && differing++ == 0) first = {x, y, x, y};
    EXPECT_EQ(differing, 0) << "pixels changed, the first at " << describe(first);
  }
}

TEST_F(TransLabelTest, effects_draw_their_copy_where_they_should) {
  const char* label = "透明标签1";  // over the green group box
  use_sharp_font(label);
  write(label, kCaption, text_value("HHHH"));
  const RECT area = with_effect_room(label_rect(label));
  write(label, kEffect, 0);
  const RECT plain = find_colour(WindowPixels(top_window()), area, kRed).bounds;
  ASSERT_GT(find_colour(WindowPixels(top_window()), area, kRed).count, 20);

  // Where the copy's edges must lie, against the plain text's exact bounds:
  // only the edges that the text drawn over it cannot cover.
  enum Edges { RightBottom, LeftTop };
  const struct {
    uint32_t effect;
    COLORREF copy_colour;  // the extra copy, if any
    int text_shift;        // how far the text itself moved
    Edges edges;
    int copy_shift;  // how far those edges of the copy lie from the plain text's
  } cases[] = {
      {1, kWhite, 0, RightBottom, 1},  // sunken
      {2, kWhite, 1, LeftTop, 0},      // raised
      {3, kBlack, 0, RightBottom, 2},  // shadow
      {0, CLR_INVALID, 0, RightBottom, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("effect " + std::to_string(c.effect));
    write(label, kEffect, c.effect);
    const WindowPixels pixels(top_window());
    const PixelBox text = find_colour(pixels, area, kRed);
    RECT shifted = plain;
    OffsetRect(&shifted, c.text_shift, c.text_shift);
    EXPECT_TRUE(EqualRect(&text.bounds, &shifted))
        << "text at " << describe(text.bounds) << ", expected " << describe(shifted);
    for (COLORREF other : {kWhite, kBlack}) {
      const PixelBox copy = find_colour(pixels, area, other);
      if (other != c.copy_colour) {
        EXPECT_EQ(copy.count, 0) << "a copy in " << std::hex << other << " at " << describe(copy.bounds);
        continue;
      }
      ASSERT_GT(copy.count, 0);
      if (c.edges == RightBottom) {
        EXPECT_EQ(copy.bounds.right, plain.right + c.copy_shift) << "copy at " << describe(copy.bounds);
        EXPECT_EQ(copy.bounds.bottom, plain.bottom + c.copy_shift) << "copy at " << describe(copy.bounds);
      } else {
        EXPECT_EQ(copy.bounds.left, plain.left + c.copy_shift) << "copy at " << describe(copy.bounds);
        EXPECT_EQ(copy.bounds.top, plain.top + c.copy_shift) << "copy at " << describe(copy.bounds);
      }
    }
  }
}

TEST_F(TransLabelTest, alignments_place_the_text_and_wrapping_keeps_it_at_the_top) {
  const char* label = "透明标签2";  // 200 x 60 over the window
  use_sharp_font(label);
  write(label, kTextColour, 0x0000FF);
  write(label, kCaption, text_value("HHHH"));
  const RECT area = label_rect(label);
  enum Where { Start, Centre, End };
  const struct {
    uint32_t h_align, wrap, v_align;
    Where x, y;
  } cases[] = {
      {0, 0, 0, Start, Start}, {0, 0, 1, Start, Centre}, {0, 0, 2, Start, End},   {1, 0, 1, Centre, Centre},
      {2, 0, 2, End, End},     {0, 1, 0, Start, Start},  {0, 1, 1, Start, Start}, {2, 1, 2, End, Start},
  };
  auto placed = [](Where where, LONG low, LONG high, LONG first, LONG last) {
    const LONG before = first - low, after = high - 1 - last;
    switch (where) {
      case Start: return before <= 8 && after >= 20;
      case End: return after <= 8 && before >= 20;
      default: return std::abs(before - after) <= 2;
    }
  };
  for (const auto& c : cases) {
    write(label, kHAlign, c.h_align);
    write(label, kWordWrap, c.wrap);
    write(label, kVAlign, c.v_align);
    const PixelBox text = find_colour(WindowPixels(top_window()), area, kRed);
    const std::string what = "h " + std::to_string(c.h_align) + " wrap " + std::to_string(c.wrap) + " v " +
                             std::to_string(c.v_align) + ": text at " + describe(text.bounds) + " in " + describe(area);
    ASSERT_GT(text.count, 10) << what;
    EXPECT_TRUE(placed(c.x, area.left, area.right, text.bounds.left, text.bounds.right)) << what;
    EXPECT_TRUE(placed(c.y, area.top, area.bottom, text.bounds.top, text.bounds.bottom)) << what;
  }
}

TEST_F(TransLabelTest, font_bytes_of_another_length_are_kept_but_drawn_with_the_default_font) {
  const char* label = "透明标签2";
  write(label, kTextColour, 0x0000FF);
  write(label, kCaption, text_value("Font"));
  const RECT area = with_effect_room(label_rect(label));
  const std::vector<POINT> default_font = footprint(WindowPixels(top_window()), area, kWindowColour);
  ASSERT_GT(default_font.size(), 10u);

  const std::string big = logfont_bytes("Tahoma", -30);
  const struct {
    const char* what;
    std::string bytes;
    bool drawn_as_default;
  } cases[] = {
      {"10 bytes", "0123456789", true},
      {"59 bytes", big.substr(0, 59), true},
      {"61 bytes", big + "x", true},
      {"60 bytes", big, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    write_own(label, 2, text_value(c.bytes.data()), static_cast<uint32_t>(c.bytes.size()));
    const PropertyValue kept = read_own(label, 2);
    ASSERT_NE(kept.value, 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(static_cast<uintptr_t>(kept.value)), kept.length), c.bytes);
    const std::vector<POINT> drawn = footprint(WindowPixels(top_window()), area, kWindowColour);
    EXPECT_EQ(same_points(drawn, default_font), c.drawn_as_default)
        << drawn.size() << " text pixels, " << default_font.size() << " with the default font";
  }
}

}  // namespace
}  // namespace units::testing
