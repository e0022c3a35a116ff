#include "updater/pump_messages.h"

#include "updater/dll_functions.h"

namespace updater {

void PumpMessages() {
  MSG message;
  while (dll::peek_message(message)) {
    if (message.message == WM_QUIT) {
      // Taken out here it would be lost, and the program would never end.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    dll::translate_message(message);
    dll::dispatch_message(message);
  }
}

}  // namespace updater
