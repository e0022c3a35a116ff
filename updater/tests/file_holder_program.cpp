// A stand-in for a running server program in the install tests: holds one
// file open, shared with nobody, until it is told to let go.
//
//   file_holder_program <file> <ready event> <release event>
//
// Sets the ready event once the file is open, waits (at most a minute) for
// the release event, then closes the file. Exit code 0, or 2 when the file
// could not be opened and 3 on a wrong command line.
#include <windows.h>

#include <shellapi.h>

int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count != 4) return 3;
  const HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, arguments[2]);
  const HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, arguments[3]);
  if (!ready || !release) return 3;
  const HANDLE file = CreateFileW(arguments[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  SetEvent(ready);
  WaitForSingleObject(release, 60000);
  CloseHandle(file);
  return 0;
}
