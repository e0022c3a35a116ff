#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/thread.h"

namespace platform {
namespace {

HANDLE to_handle(ThreadHandle handle) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle)); }

// The system information class 64 (extended handle list) of ntdll.
struct ExtendedHandleEntry {
  void* object;
  ULONG_PTR process_id;
  ULONG_PTR handle_value;
  ULONG granted_access;
  USHORT creator_back_trace_index;
  USHORT object_type_index;
  ULONG attributes;
  ULONG reserved;
};
struct ExtendedHandleList {
  ULONG_PTR count;
  ULONG_PTR reserved;
  ExtendedHandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG information_class, void* buffer, ULONG size, ULONG* needed);
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

uint32_t count_handles_in_system_list() {
  const auto query = reinterpret_cast<QuerySystemInformation>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  std::vector<uint8_t> buffer(1 << 16);
  LONG status;
  ULONG needed = 0;
  while ((status = query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                         &needed)) == kInfoLengthMismatch)
    buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
  if (status < 0) return 0;
  const auto* list = reinterpret_cast<const ExtendedHandleList*>(buffer.data());
  const ULONG_PTR self = GetCurrentProcessId();
  uint32_t count = 0;
  for (ULONG_PTR i = 0; i < list->count; ++i)
    if (list->entries[i].process_id == self) ++count;
  return count;
}

}  // namespace

ThreadHandle start_thread(ThreadRoutine routine, uint32_t parameter) {
  // The routine has the thread-procedure form already: one 32-bit value in,
  // one out, the standard calling convention; it is started directly.
  const auto start = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void (*)()>(routine));
  HANDLE handle = CreateThread(nullptr, 0, start, reinterpret_cast<void*>(uintptr_t{parameter}), 0, nullptr);
  return static_cast<ThreadHandle>(reinterpret_cast<intptr_t>(handle));
}

void close_thread_handle(ThreadHandle handle) {
  if (handle) CloseHandle(to_handle(handle));
}

WaitResult wait_for_thread(ThreadHandle handle, uint32_t timeout_ms, uint32_t* exit_code) {
  switch (WaitForSingleObject(to_handle(handle), timeout_ms)) {
    case WAIT_OBJECT_0: {
      DWORD code = 0;
      if (!GetExitCodeThread(to_handle(handle), &code)) return WaitResult::Failed;
      if (exit_code) *exit_code = code;
      return WaitResult::Ended;
    }
    case WAIT_TIMEOUT: return WaitResult::TimedOut;
    default: return WaitResult::Failed;
  }
}

// Wine answers GetProcessHandleCount with 0, so the count falls back to
// the system's handle list, filtered by this process.
uint32_t open_handle_count() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
  return count_handles_in_system_list();
}

namespace {

struct DetachedStart {
  DetachedRoutine routine;
  void* context;
};

DWORD WINAPI run_detached(void* start) {
  const DetachedStart what = *static_cast<DetachedStart*>(start);
  delete static_cast<DetachedStart*>(start);
  what.routine(what.context);
  return 0;
}

}  // namespace

bool start_detached_thread(DetachedRoutine routine, void* context) {
  auto* start = new DetachedStart{routine, context};
  HANDLE handle = CreateThread(nullptr, 0, run_detached, start, 0, nullptr);
  if (!handle) {
    delete start;
    return false;
  }
  CloseHandle(handle);
  return true;
}

}  // namespace platform
