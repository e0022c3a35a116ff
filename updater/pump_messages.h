#pragma once

// Handles every window message waiting for the window thread (through the
// program's declared PeekMessageA, TranslateMessage and DispatchMessageA),
// so that the window stays alive during a long walk. A quit request is left
// for the message loop: it is put back and the pump stops.
namespace updater {

void PumpMessages();

}  // namespace updater
