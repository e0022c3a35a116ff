#pragma once

#include <string>

namespace units {

// The cursor a unit's mouse-pointer data stands for: null for empty data or
// the default (0); a standard cursor for numbers 1-14 or a system cursor id;
// the cursor file held in the data for -1 (or, with more than 10 bytes, when
// the whole data is a cursor file).
void* cursor_from_data(const std::string& data);

// A number 1-14 of the standard-cursor table to its system cursor id, and back;
// other values pass unchanged.
int32_t cursor_number_to_id(int32_t number);
int32_t cursor_id_to_number(int32_t id);

}  // namespace units
