#include <cstdlib>

#include "runtime/runtime_app.h"
#include "runtime/runtime_app_platform.h"

// Natively the runtime has no windows: no hidden owner, no message queue, and
// the end of the program runs on the thread that asks for it.
namespace rt {

namespace detail {

void* process_heap() { return nullptr; }
bool is_live_window(void*) { return false; }
bool hand_end_to_window_thread(void*, int32_t, bool (*)()) { return false; }
void post_quit() {}

}  // namespace detail

void RuntimeApp::platform_initialise_ole() {}
void RuntimeApp::platform_create_hidden_owner() {}
void* RuntimeApp::default_icon() { return nullptr; }
void RuntimeApp::platform_release() {}
void RuntimeApp::run_message_loop(LoopMode) {}
void RuntimeApp::process_pending_messages() {}

}  // namespace rt
