#pragma once

#include <cstdint>

// Threads that run a routine in the Win32 thread-procedure form, and handles
// to them small enough for a 32-bit variable of the program.
namespace platform {

#if defined(_WIN32) && !defined(_WIN64)
#define PLATFORM_STDCALL __stdcall
#else
#define PLATFORM_STDCALL
#endif

using ThreadRoutine = uint32_t(PLATFORM_STDCALL*)(uint32_t parameter);

// A kernel handle on Windows (kernel handles keep to 32 bits, sign-extended),
// natively an entry of this layer's handle table. 0 is no handle.
using ThreadHandle = int32_t;

inline constexpr uint32_t kWaitForever = 0xFFFFFFFF;

// Runs routine(parameter) on a new thread with the default stack; 0 when
// no thread could be made.
ThreadHandle start_thread(ThreadRoutine routine, uint32_t parameter);

// The thread keeps running; only the handle goes.
void close_thread_handle(ThreadHandle handle);

enum class WaitResult { Ended, TimedOut, Failed };

// Waits up to timeout_ms (or kWaitForever) for the thread to end and then
// gives the routine's result as its exit code.
WaitResult wait_for_thread(ThreadHandle handle, uint32_t timeout_ms, uint32_t* exit_code = nullptr);

// Runs routine(context) on a new thread that nobody waits for; the thread
// ends when the routine returns. False when no thread could be made. For
// the engine's own threads, whose context is a pointer.
using DetachedRoutine = void (*)(void* context);
bool start_detached_thread(DetachedRoutine routine, void* context);

// How many handles the process holds open: every kernel handle on Windows,
// the thread handles of this layer natively. Tests use the difference.
uint32_t open_handle_count();

}  // namespace platform
