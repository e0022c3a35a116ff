#pragma once

#include <cstdint>

// The parts of the runtime object that differ between Windows and the native
// build. Natively there are no windows: no hidden owner, no message queue, and
// an end request runs on the thread that makes it.
namespace rt::detail {

void* process_heap();
bool is_live_window(void* window);
// Hands the end of the program to the window thread; true when the caller
// must not end the process itself.
bool hand_end_to_window_thread(void* hidden_owner, int32_t code, bool (*ending)());
void post_quit();

}  // namespace rt::detail
