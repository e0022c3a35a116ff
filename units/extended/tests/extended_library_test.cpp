// The record of library 2 and its notify entry, in every build.
#include "units/extended/extended_library.h"

#include <gtest/gtest.h>

#include <cstring>

#include "runtime/unit_type.h"

namespace {

int64_t RT_STDCALL no_service(int32_t, intptr_t, intptr_t) { return 0; }

TEST(ExtendedLibrary, record_names_the_library_and_its_unit_types) {
  const rt::SupportLibrary& library = extended::kExtendedLibrary;
  EXPECT_EQ(library.format_version, rt::kLibraryFormatVersion);
  EXPECT_STREQ(library.name, "扩展界面支持库一");
  EXPECT_EQ(std::strlen(library.identifier), 32u);
  EXPECT_EQ(library.major_version, 2);
  EXPECT_EQ(library.minor_version, 0);
  EXPECT_EQ(library.build_number, 3);
  EXPECT_EQ(library.flags, 0u);
  EXPECT_EQ(library.command_count, 0);
#ifdef _WIN32
  // Five slots; only the transparent label (type 4) is filled.
  ASSERT_EQ(library.unit_type_count, 5);
  for (int i = 0; i < 4; ++i) {
    const rt::UnitType& slot = library.unit_types[i];
    EXPECT_TRUE(!slot.name && !slot.lookup && !slot.properties && slot.state_flags == 0) << "slot " << i;
  }
  EXPECT_STREQ(library.unit_types[4].english_name, "TransLabel");
#else
  EXPECT_EQ(library.unit_type_count, 0);
  EXPECT_EQ(library.unit_types, nullptr);
#endif
}

TEST(ExtendedLibrary, notify_answers_start_and_end_and_refuses_the_rest) {
  const struct {
    int32_t code;
    intptr_t value1;
    int32_t answer;
  } cases[] = {
      {rt::kNotifyStart, reinterpret_cast<intptr_t>(&no_service), 0},
      {rt::kNotifyEnd, 0, 0},
      {rt::kNotifyInterfaceId, 4, rt::kNotifyUnhandled},
      {2, 0, rt::kNotifyUnhandled},
      {0, 0, rt::kNotifyUnhandled},
  };
  for (const auto& c : cases)
    EXPECT_EQ(extended::kExtendedLibrary.notify(c.code, c.value1, 0), c.answer) << "code " << c.code;
}

}  // namespace
