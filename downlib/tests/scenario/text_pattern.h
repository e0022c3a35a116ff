#pragma once

#include <string>
#include <string_view>
#include <vector>

// Expected texts of a scenario plan: GBK bytes in which a 0x01 byte (never
// part of a GBK text) starts a marker: 0x01 'N' any decimal number, 0x01 'A'
// any text (also none), and 0x01 '|' between alternatives.
namespace scenario {

std::vector<std::string> split_alternatives(std::string_view pattern);

// Whether the whole text matches one of the pattern's alternatives.
bool pattern_matches(std::string_view pattern, std::string_view text);

// The pattern as a scenario file writes it (%N%, %ANY%, " || "), still GBK.
std::string pattern_source(std::string_view pattern);

}  // namespace scenario
