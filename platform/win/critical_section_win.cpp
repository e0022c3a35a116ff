#include <windows.h>

#include "platform/critical_section.h"

namespace platform {
namespace {

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(CriticalSection::storage), "a CRITICAL_SECTION fits");

CRITICAL_SECTION* native(CriticalSection& section) { return reinterpret_cast<CRITICAL_SECTION*>(section.storage); }

}  // namespace

void initialize_critical_section(CriticalSection& section) { InitializeCriticalSection(native(section)); }
void enter_critical_section(CriticalSection& section) { EnterCriticalSection(native(section)); }
void leave_critical_section(CriticalSection& section) { LeaveCriticalSection(native(section)); }
void delete_critical_section(CriticalSection& section) { DeleteCriticalSection(native(section)); }

}  // namespace platform
