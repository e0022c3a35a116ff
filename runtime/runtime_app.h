#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/calling_convention.h"
#include "runtime/program_header.h"
#include "runtime/toolkit/application.h"
#include "runtime/window_layer.h"

namespace rt {

using ExitRoutine = void (*)();
// The compiled program's entry routine: initialise, register the exit
// routine, load the start window, run; returns 0.
using ProgramEntry = int32_t (*)();

using IdleProcedure = void(RT_STDCALL*)(intptr_t argument);
struct IdleCallback {
  void* window;
  IdleProcedure procedure;
  intptr_t argument;
};

enum class LoopMode { UntilQuit = 0, Modal = 1 };

struct EventSource {
  uint32_t window_id = 0;
  uint32_t unit_id = 0;
};

// Declared DLL commands: names from the program header, resolved on first call.
struct DllCommandTable {
  std::vector<std::string> file_names;
  std::vector<std::string> function_names;
  std::vector<void*> addresses;
  std::vector<void*> modules;
};

// The one runtime object of the process: everything process-wide.
class RuntimeApp : public toolkit::Application {
 public:
  RuntimeApp(const ProgramHeader& header, ProgramEntry entry, WindowLayer& windows);
  ~RuntimeApp() override;

  // Start-up, in the documented order; runs once (runtime routine 6).
  void initialise();
  void register_exit_routine(ExitRoutine routine);
  // Service entry 11: a failure is the runtime error "载入启动窗口失败".
  bool load_start_window(uint32_t window_id);
  // Service entry 10: the message loop while any window lives.
  void run();
  // Ends the program from any thread; on a worker thread the end is handed to
  // the window thread. Returns only on a worker thread whose end was taken over.
  void end_program(int32_t code);

  void run_message_loop(LoopMode mode);
  void process_pending_messages();
  // A window was closed and unregistered: with none left alive after the
  // program started, the loop is asked to quit.
  void window_closed();

  void add_idle_callback(const IdleCallback& entry);
  void remove_idle_callback(void* window);

  void raise_error_depth() { ++m_error_depth; }
  void lower_error_depth();
  int32_t error_depth() const { return m_error_depth.load(); }

  // Only the error report uses this: no exit routine runs after an error.
  void forget_exit_routines();

  void set_event_source(EventSource source) { m_event_source = source; }
  EventSource event_source() const { return m_event_source; }

  bool ending() const { return m_ending.load(); }
  bool started() const { return m_started.load(); }
  bool on_window_thread() const;

  const ProgramHeader& header() const { return m_header; }
  WindowLayer& windows() { return m_windows; }
  const std::string& directory() const { return m_directory; }
  const std::string& file_name() const { return m_file_name; }
  uint32_t build_mode() const { return m_build_mode; }
  uint32_t build_stamp() const { return m_build_stamp; }
  const std::vector<const SupportLibrary*>& libraries() const { return m_libraries; }
  DllCommandTable& dll_commands() { return m_dll; }
  void* hidden_owner() const { return m_hidden_owner; }
  void* default_icon();
  void note_winsock_started() { m_winsock_started = true; }
  void*& modal_window() { return m_modal_window; }

  // The runtime object of this process, or null before one exists.
  static RuntimeApp* current();

 protected:
  bool start_step() override;
  int exit_step() override;
  bool idle_step(long idle_count) override;

 private:
  void notify_libraries(int32_t code);
  void end_on_this_thread(int32_t code);
  void run_idle_callbacks();
  // Platform parts of start and end.
  void platform_initialise_ole();
  void platform_create_hidden_owner();
  // Icons, hidden owner, Winsock and OLE.
  void platform_release();

  const ProgramHeader& m_header;
  ProgramEntry m_entry;
  WindowLayer& m_windows;

  void* m_heap = nullptr;
  uint32_t m_build_mode = 0;
  uint32_t m_reserved = 0;
  uint32_t m_build_stamp = 0;
  std::string m_directory;
  std::string m_file_name;
  std::vector<const SupportLibrary*> m_libraries;
  std::vector<uint32_t> m_library_words;
  DllCommandTable m_dll;
  void* m_modal_window = nullptr;
  std::vector<IdleCallback> m_idle_callbacks;
  std::vector<ExitRoutine> m_exit_routines;
  std::mutex m_exit_lock;
  std::atomic<bool> m_initialised{false};
  std::atomic<bool> m_ending{false};
  std::atomic<bool> m_started{false};
  uint32_t m_window_thread = 0;
  std::atomic<int32_t> m_error_depth{0};
  EventSource m_event_source;
  void* m_hidden_owner = nullptr;
  void* m_default_icon = nullptr;
  bool m_ole_initialised = false;
  bool m_winsock_started = false;
};

// Runs a compiled program: creates the runtime object and hands it to the
// toolkit; never returns (the program ends with ExitProcess).
[[noreturn]] void run_program(const ProgramHeader& header, ProgramEntry entry, WindowLayer& windows);

}  // namespace rt
