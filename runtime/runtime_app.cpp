#include "runtime/runtime_app.h"

#include <algorithm>

#include "platform/process.h"
#include "runtime/dll_commands.h"
#include "runtime/memory.h"
#include "runtime/runtime_app_platform.h"
#include "runtime/runtime_error.h"
#include "runtime/system_function.h"

namespace rt {
namespace {

std::atomic<RuntimeApp*> g_app{nullptr};

bool app_is_ending() {
  RuntimeApp* app = g_app.load();
  return app && app->ending();
}

}  // namespace

RuntimeApp* RuntimeApp::current() { return g_app.load(); }

RuntimeApp::RuntimeApp(const ProgramHeader& header, ProgramEntry entry, WindowLayer& windows)
    : m_header(header), m_entry(entry), m_windows(windows) {
  g_app = this;
}

RuntimeApp::~RuntimeApp() {
  RuntimeApp* self = this;
  g_app.compare_exchange_strong(self, nullptr);
}

bool RuntimeApp::start_step() {
  // The entry routine is the whole life of the program; its result (0) tells
  // the toolkit that there is no loop of its own to run.
  return m_entry() != 0;
}

int RuntimeApp::exit_step() {
  end_program(0);
  return 0;
}

void RuntimeApp::initialise() {
  if (m_initialised.exchange(true)) return;

  m_heap = detail::process_heap();
  m_build_mode = m_header.build_mode;
  m_reserved = m_header.reserved;
  m_build_stamp = m_header.build_stamp + 1;

  platform_initialise_ole();

  const std::string module = platform::module_path();
  const size_t split = module.rfind(platform::kPathSeparator);
  m_directory = split == std::string::npos ? std::string() : module.substr(0, split);
  m_file_name = split == std::string::npos ? module : module.substr(split + 1);
  platform::set_current_directory(m_directory);

  platform_create_hidden_owner();
  m_window_thread = platform::current_thread_id();
  set_constant_area(m_header.constant_data, m_header.constant_size);

  m_dll = {};
  for (uint32_t i = 0; i < m_header.dll_command_count; ++i) {
    m_dll.file_names.emplace_back(m_header.dll_file_names[i] ? m_header.dll_file_names[i] : "");
    m_dll.function_names.emplace_back(m_header.dll_function_names[i] ? m_header.dll_function_names[i] : "");
  }
  m_dll.addresses.assign(m_header.dll_command_count, nullptr);
  m_dll.modules.assign(m_header.dll_command_count, nullptr);

  for (uint32_t i = 0; i < m_header.library_count; ++i) {
    const SupportLibrary* library = m_header.libraries[i];
    if (library && library->notify)
      library->notify(kNotifyStart, reinterpret_cast<intptr_t>(&system_function), 0);
  }
  m_libraries.assign(m_header.libraries, m_header.libraries + m_header.library_count);
  m_library_words.assign(m_header.library_count, 0);

  if (!m_windows.read_templates(m_header.template_data, m_header.template_size, m_header.code_base))
    report_runtime_error("载入窗口模板数据段出错!", 0, 0, 0);
}

void RuntimeApp::register_exit_routine(ExitRoutine routine) {
  std::lock_guard lock(m_exit_lock);
  if (std::find(m_exit_routines.begin(), m_exit_routines.end(), routine) == m_exit_routines.end())
    m_exit_routines.push_back(routine);
}

void RuntimeApp::forget_exit_routines() {
  std::lock_guard lock(m_exit_lock);
  m_exit_routines.clear();
}

bool RuntimeApp::load_start_window(uint32_t window_id) {
  if (!m_windows.load_window(window_id, false, nullptr))
    report_runtime_error("载入启动窗口失败", 0, static_cast<int32_t>(window_id), 0);
  return true;
}

void RuntimeApp::run() {
  m_started = true;
  if (m_windows.any_window_alive()) run_message_loop(LoopMode::UntilQuit);
}

void RuntimeApp::window_closed() {
  if (m_started && !m_windows.any_window_alive()) detail::post_quit();
}

bool RuntimeApp::on_window_thread() const { return platform::current_thread_id() == m_window_thread; }

void RuntimeApp::lower_error_depth() {
  int32_t depth = m_error_depth.load();
  while (depth > 0 && !m_error_depth.compare_exchange_weak(depth, depth - 1)) {
  }
}

void RuntimeApp::add_idle_callback(const IdleCallback& entry) {
  if (!detail::is_live_window(entry.window)) return;
  for (const auto& existing : m_idle_callbacks)
    if (existing.window == entry.window) return;
  m_idle_callbacks.push_back(entry);
}

void RuntimeApp::remove_idle_callback(void* window) {
  m_idle_callbacks.erase(std::remove_if(m_idle_callbacks.begin(), m_idle_callbacks.end(),
                                        [window](const IdleCallback& e) { return e.window == window; }),
                         m_idle_callbacks.end());
}

void RuntimeApp::run_idle_callbacks() {
  for (size_t i = m_idle_callbacks.size(); i-- > 0;) {
    if (i >= m_idle_callbacks.size()) continue;  // a callback removed entries
    const IdleCallback entry = m_idle_callbacks[i];
    if (!detail::is_live_window(entry.window))
      m_idle_callbacks.erase(m_idle_callbacks.begin() + static_cast<std::ptrdiff_t>(i));
    else
      entry.procedure(entry.argument);
  }
}

bool RuntimeApp::idle_step(long idle_count) { return false; }

void RuntimeApp::end_program(int32_t code) {
  if (m_window_thread != 0 && !on_window_thread()) {
    if (detail::hand_end_to_window_thread(m_hidden_owner, code, &app_is_ending)) return;
  }
  end_on_this_thread(code);
}

void RuntimeApp::end_on_this_thread(int32_t code) {
  // An end requested while the program is already ending (from an exit
  // routine, say) ends the process at once.
  if (m_ending.exchange(true)) platform::exit_process(code);

  raise_error_depth();
  m_idle_callbacks.clear();
  m_windows.release_templates();

  std::vector<ExitRoutine> routines;
  {
    std::lock_guard lock(m_exit_lock);
    routines.swap(m_exit_routines);
  }
  for (ExitRoutine routine : routines) routine();

  notify_libraries(kNotifyEnd);
  m_libraries.clear();
  m_library_words.clear();

  release_dll_modules(m_dll);
  platform_release();
  platform::exit_process(code);
}

void RuntimeApp::notify_libraries(int32_t code) {
  for (size_t i = 0; i < m_libraries.size(); ++i) {
    const SupportLibrary* library = m_libraries[i];
    if (library && library->notify) library->notify(code, m_library_words[i], 0);
  }
}

}  // namespace rt
