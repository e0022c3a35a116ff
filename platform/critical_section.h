#pragma once

// A recursive lock with the life cycle of a Win32 critical section. The
// storage sits inside the caller's own record, as a CRITICAL_SECTION would.
namespace platform {

struct alignas(8) CriticalSection {
  unsigned char storage[48];
};

void initialize_critical_section(CriticalSection& section);
void enter_critical_section(CriticalSection& section);
void leave_critical_section(CriticalSection& section);
void delete_critical_section(CriticalSection& section);

}  // namespace platform
