#include "runtime/toolkit/application.h"

namespace toolkit {

int Application::run_application(void* instance) {
  m_instance = instance;
  start_step();
  return exit_step();
}

bool Application::pump_message() { return false; }

bool Application::last_message_resets_idle() const { return false; }

}  // namespace toolkit
