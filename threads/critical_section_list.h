#pragma once

#include <cstddef>

#include "platform/critical_section.h"

// The thread library's critical sections, for the whole process: a singly
// linked list of heap nodes, each a critical section followed by the link to
// the next. They live until the program ends.
namespace threads {

// A new, initialised critical section at the head of the list.
platform::CriticalSection& add_critical_section();

size_t critical_section_count();

// Deletes every critical section, frees its node and empties the list.
void release_critical_sections();

}  // namespace threads
