#pragma once

#include <cstdint>

// A program's constant area begins with the empty text (four zero bytes) and
// the empty byte set {1, 0}; they stand in for null arguments of commands.
#define RT_CONSTANT_AREA_PREFIX 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0
