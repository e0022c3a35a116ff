#include "updater/console_output.h"

#include <windows.h>

#include <algorithm>

#include "platform/path.h"
#include "updater/wide_text.h"

namespace updater::console {
namespace {

enum class Kind { Nowhere, Console, Bytes };

struct Destination {
  HANDLE handle = nullptr;
  Kind kind = Kind::Nowhere;
};

bool usable(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }

bool is_console(HANDLE handle) {
  DWORD mode = 0;
  return usable(handle) && GetConsoleMode(handle, &mode) != 0;
}

// The console of the prompt that started the program, once attached; the
// program may already have one (ERROR_ACCESS_DENIED), which serves as well.
HANDLE parent_console() {
  static const HANDLE console = [] {
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return INVALID_HANDLE_VALUE;
    return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
  }();
  return console;
}

Destination find_destination(Stream stream) {
  const HANDLE inherited = GetStdHandle(stream == Stream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (usable(inherited)) {
    if (is_console(inherited)) return {inherited, Kind::Console};
    const DWORD type = GetFileType(inherited);
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) return {inherited, Kind::Bytes};
    if (type == FILE_TYPE_CHAR) {
      // A console handle that works once the console is attached, or a
      // device such as NUL that takes bytes.
      parent_console();
      return {inherited, is_console(inherited) ? Kind::Console : Kind::Bytes};
    }
  }
  const HANDLE console = parent_console();
  if (usable(console)) return {console, Kind::Console};
  return {};
}

const Destination& destination(Stream stream) {
  static const Destination out = find_destination(Stream::Out);
  static const Destination error = find_destination(Stream::Error);
  return stream == Stream::Out ? out : error;
}

void write_console(HANDLE handle, const std::wstring& text) {
  for (size_t done = 0; done < text.size();) {
    DWORD written = 0;
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(text.size() - done, 8192));
    if (!WriteConsoleW(handle, text.data() + done, piece, &written, nullptr) || written == 0) return;
    done += written;
  }
}

void write_bytes(HANDLE handle, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    DWORD written = 0;
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 16));
    if (!WriteFile(handle, bytes.data() + done, piece, &written, nullptr) || written == 0) return;
    done += written;
  }
}

}  // namespace

void write(Stream stream, const std::string& gbk) {
  const Destination& to = destination(stream);
  if (to.kind == Kind::Nowhere || gbk.empty()) return;
  const std::wstring wide = platform::wide_path(gbk);
  if (to.kind == Kind::Console)
    write_console(to.handle, wide);
  else
    write_bytes(to.handle, utf8_from_wide(wide));
}

void write_line(Stream stream, const std::string& gbk) { write(stream, gbk + "\r\n"); }

bool is_terminal(Stream stream) { return destination(stream).kind == Kind::Console; }

}  // namespace updater::console
