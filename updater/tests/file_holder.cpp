#include "updater/tests/file_holder.h"

#include "platform/path.h"
#include "updater/tests/updater_test_support.h"

namespace updater::testing {
namespace {

std::wstring event_name(const wchar_t* what) {
  static LONG serial = 0;
  return L"updater_file_holder_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
         std::to_wstring(InterlockedIncrement(&serial)) + L"_" + what;
}

}  // namespace

FileHolder::FileHolder(const std::string& path) {
  const std::wstring ready = event_name(L"ready"), release = event_name(L"release");
  m_ready = CreateEventW(nullptr, TRUE, FALSE, ready.c_str());
  m_release = CreateEventW(nullptr, TRUE, FALSE, release.c_str());
  const std::wstring program = platform::wide_path(program_directory() + "file_holder_program.exe");
  std::wstring command =
      L"\"" + program + L"\" \"" + platform::wide_path(path) + L"\" \"" + ready + L"\" \"" + release + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &m_process))
    return;
  const HANDLE either[] = {m_ready, m_process.hProcess};
  m_holding = WaitForMultipleObjects(2, either, FALSE, 20000) == WAIT_OBJECT_0;
}

FileHolder::~FileHolder() {
  SetEvent(m_release);
  if (m_process.hProcess) {
    WaitForSingleObject(m_process.hProcess, 20000);
    CloseHandle(m_process.hProcess);
    CloseHandle(m_process.hThread);
  }
  CloseHandle(m_ready);
  CloseHandle(m_release);
}

}  // namespace updater::testing
