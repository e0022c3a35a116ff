#include <pthread.h>

#include "platform/critical_section.h"

namespace platform {
namespace {

static_assert(sizeof(pthread_mutex_t) <= sizeof(CriticalSection::storage), "a mutex fits");

pthread_mutex_t* native(CriticalSection& section) { return reinterpret_cast<pthread_mutex_t*>(section.storage); }

}  // namespace

// Recursive, as a critical section may be entered again by its owner.
void initialize_critical_section(CriticalSection& section) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(native(section), &attributes);
  pthread_mutexattr_destroy(&attributes);
}
void enter_critical_section(CriticalSection& section) { pthread_mutex_lock(native(section)); }
void leave_critical_section(CriticalSection& section) { pthread_mutex_unlock(native(section)); }
void delete_critical_section(CriticalSection& section) { pthread_mutex_destroy(native(section)); }

}  // namespace platform
