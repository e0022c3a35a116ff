#pragma once

#include <cstdint>
#include <string>

// INI files read and written as the Win32 private-profile functions do:
// section and key names are found case-insensitively and with surrounding
// blanks ignored, values come back trimmed and without enclosing quotes, a
// missing file or key gives the default, and a write creates the file, the
// section and the key as needed.
namespace platform {

// The value of the key, or the default (trailing spaces dropped); at most
// `buffer_size` - 1 bytes, never ending inside a two-byte character.
std::string read_profile_string(const std::string& file, const std::string& section, const std::string& key,
                                const std::string& default_value, uint32_t buffer_size);

// Sets the key to the value. A null value deletes the key; a null key deletes
// the whole section. False when the file cannot be written.
bool write_profile_string(const std::string& file, const std::string& section, const char* key, const char* value);

}  // namespace platform
