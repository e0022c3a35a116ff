#include <windows.h>

#include <restartmanager.h>

#include <algorithm>

#include "platform/file_in_use.h"
#include "platform/path.h"

namespace platform {
namespace {

// The Restart Manager's functions, from rstrtmgr.dll in the system
// directory (never one beside the program); all null when it is missing, as
// before Windows Vista.
struct RestartManager {
  using Start = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
  using Register = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
  using GetList = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, DWORD*);
  using End = DWORD(WINAPI*)(DWORD);

  Start start = nullptr;
  Register register_resources = nullptr;
  GetList get_list = nullptr;
  End end = nullptr;

  bool usable() const { return start && register_resources && get_list && end; }
};

template <class F>
F function(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

RestartManager load_restart_manager() {
  RestartManager rm;
  wchar_t system[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return rm;
  const HMODULE module = LoadLibraryW((std::wstring(system, length) + L"\\rstrtmgr.dll").c_str());
  if (!module) return rm;  // kept loaded for the rest of the run
  rm.start = function<RestartManager::Start>(module, "RmStartSession");
  rm.register_resources = function<RestartManager::Register>(module, "RmRegisterResources");
  rm.get_list = function<RestartManager::GetList>(module, "RmGetList");
  rm.end = function<RestartManager::End>(module, "RmEndSession");
  return rm;
}

const RestartManager& restart_manager() {
  static const RestartManager rm = load_restart_manager();
  return rm;
}

// The file name of the process's program, when the process can be asked.
std::string image_name(DWORD process_id) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (!process) return {};
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  std::wstring name;
  if (QueryFullProcessImageNameW(process, 0, path, &size)) {
    name.assign(path, size);
    name = name.substr(name.find_last_of(L'\\') + 1);
  }
  CloseHandle(process);
  return gbk_from_wide(name);
}

std::vector<RM_PROCESS_INFO> holders(const RestartManager& rm, DWORD session) {
  std::vector<RM_PROCESS_INFO> found;
  // The list can grow between the call that sizes it and the one that fills it.
  for (int attempt = 0; attempt < 3; ++attempt) {
    UINT needed = 0;
    UINT count = static_cast<UINT>(found.size());
    DWORD reasons = 0;
    const DWORD result = rm.get_list(session, &needed, &count, found.empty() ? nullptr : found.data(), &reasons);
    if (result == ERROR_SUCCESS) {
      found.resize(std::min<size_t>(count, found.size()));
      return found;
    }
    if (result != ERROR_MORE_DATA || needed == 0) break;
    found.resize(needed);
  }
  return {};
}

}  // namespace

WriteAccess probe_write_access(const std::string& path) {
  const HANDLE file =
      CreateFileW(wide_path(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return WriteAccess::Granted;
  }
  switch (GetLastError()) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return WriteAccess::InUse;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return WriteAccess::Missing;
    default: return WriteAccess::Denied;
  }
}

std::vector<std::string> programs_holding(const std::string& path) {
  const RestartManager& rm = restart_manager();
  if (!rm.usable()) return {};
  DWORD session = 0;
  WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
  if (rm.start(&session, 0, key) != ERROR_SUCCESS) return {};
  std::vector<std::string> names;
  const std::wstring wide = wide_path(path);
  LPCWSTR files[] = {wide.c_str()};
  if (rm.register_resources(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS) {
    for (const RM_PROCESS_INFO& info : holders(rm, session)) {
      std::string name = image_name(info.Process.dwProcessId);
      if (name.empty()) name = gbk_from_wide(info.strAppName);
      if (!name.empty()) names.push_back(name);
    }
  }
  rm.end(session);
  return names;
}

}  // namespace platform
