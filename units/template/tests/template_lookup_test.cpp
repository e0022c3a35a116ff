#include <gtest/gtest.h>

#include "units/template/template_registry.h"

namespace {

using units::TemplateRegistry;
using units::UnitEntry;
using units::WindowTemplate;

UnitEntry entry(uint32_t id, const char* name) {
  UnitEntry e;
  e.id = id;
  e.name = name;
  return e;
}

WindowTemplate window_with_entries() {
  WindowTemplate w;
  w.id = 0x52010001;
  w.entries = {entry(0x06010000, "own"), entry(0x16010002, "first"), entry(0x16010003, "second")};
  return w;
}

TEST(TemplateLookup, entries_are_found_by_id_and_the_window_by_zero_or_its_own_id) {
  WindowTemplate w = window_with_entries();
  struct Case {
    uint32_t id;
    int index;
  };
  const Case cases[] = {{0, 0},          {0x52010001, 0},  {0x06010000, 0}, {0x16010002, 1},
                        {0x16010003, 2}, {0x16010004, -1}, {0x52020001, -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(TemplateRegistry::find_entry_index(w, c.id), c.index) << std::hex << "id 0x" << c.id;
    UnitEntry* found = TemplateRegistry::find_entry(w, c.id);
    UnitEntry* expected = c.index < 0 ? nullptr : &w.entries[c.index];
    EXPECT_EQ(found, expected) << std::hex << "id 0x" << c.id;
  }
}

TEST(TemplateLookup, a_loading_or_loaded_window_is_searched_in_its_live_copy) {
  WindowTemplate w = window_with_entries();
  w.live = w.entries;
  w.live[1].name = "live";

  EXPECT_EQ(TemplateRegistry::find_entry(w, 0x16010002), &w.entries[1]) << "not loaded: the stored entries";
  w.loading = true;
  EXPECT_EQ(TemplateRegistry::find_entry(w, 0x16010002), &w.live[1]) << "loading";
  EXPECT_EQ(TemplateRegistry::find_entry(w, 0), &w.live[0]);
  w.loading = false;
  w.loaded = true;
  EXPECT_EQ(TemplateRegistry::find_entry(w, 0x16010002)->name, "live") << "loaded";

  w.live.clear();
  EXPECT_EQ(TemplateRegistry::find_entry(w, 0x16010002), &w.entries[1]) << "loaded without a live copy";
}

TEST(TemplateLookup, a_window_without_entries_finds_nothing) {
  WindowTemplate w;
  w.id = 0x52010001;
  EXPECT_EQ(TemplateRegistry::find_entry_index(w, 0), -1);
  EXPECT_EQ(TemplateRegistry::find_entry(w, 0x52010001), nullptr);
}

}  // namespace
