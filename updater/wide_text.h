#pragma once

#include <optional>
#include <string>

// Texts crossing into the program from outside and leaving it: the program
// keeps GBK (code page 936) texts, the system speaks UTF-16, files and
// pipes read best as UTF-8.
namespace updater {

// The GBK form, or nothing when a character has none: a path with such a
// character could not be reached by the program's GBK file functions, and a
// look-alike substitute would name another file.
std::optional<std::string> gbk_exactly(const std::wstring& wide);

// UTF-8 bytes to UTF-16; nothing when they are not valid UTF-8.
std::optional<std::wstring> wide_from_utf8(const std::string& utf8);

std::string utf8_from_wide(const std::wstring& wide);

}  // namespace updater
