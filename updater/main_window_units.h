#pragma once

#include <cstdint>
#include <string>

// The main window's units, reached by name through the runtime's property
// entries, as the program reads and writes them. From any thread but the
// window thread an access is done on the window thread, and only while the
// main window is loaded: a write is then dropped and a read gives 0.
namespace updater::window {

inline constexpr uint32_t kMainWindow = 0x52010001;

uint32_t unit_id(const char* name);
bool loaded();  // whether the main window is loaded

void set_caption(const char* unit, const std::string& text);  // label, transparent label, edit box content
void set_text_colour(const char* label, uint32_t colour);
void set_disabled(const char* unit, bool disabled);
void set_visible(const char* unit, bool visible);
void set_checked(const char* unit, bool checked);
void set_position(const char* bar, int32_t position);
bool checked(const char* unit);
bool visible(const char* unit);
int32_t position(const char* bar);
std::string content(const char* edit_box);
std::string caption(const char* unit);  // tests and diagnostics
uint32_t text_colour(const char* label);
bool disabled(const char* unit);

inline constexpr uint32_t kRed = 0x0000FF;
inline constexpr uint32_t kGreen = 0x00FF00;

}  // namespace updater::window
