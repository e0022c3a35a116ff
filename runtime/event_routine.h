#pragma once

#include <cstdint>

// The program's event handler routines. The program keeps them in one table
// whose address is its code base; the window templates address a handler by
// its offset in that table, so a relocated handler is the address of the
// table slot that holds the routine.
namespace rt {

// Arguments as the event passes them: up to twelve 64-bit words, each holding
// the low word only or both payload words as the event's form says.
struct EventArguments {
  int32_t count = 0;
  uint64_t words[12] = {};
};

// What the routine gives back: nothing, or a value.
struct EventAnswer {
  bool given = false;
  int64_t value = 0;
};

using EventRoutine = EventAnswer (*)(const EventArguments& arguments);

inline EventRoutine routine_at(uintptr_t handler) { return *reinterpret_cast<const EventRoutine*>(handler); }

inline EventAnswer no_answer() { return {}; }
inline EventAnswer answer(int64_t value) { return {true, value}; }

}  // namespace rt
