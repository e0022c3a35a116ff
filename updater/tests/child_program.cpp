#include "updater/tests/child_program.h"

#include "platform/path.h"
#include "updater/tests/updater_test_support.h"

namespace updater::testing {
namespace {

// The program the build made, as Wine shows its Unix path (drive Z:).
std::string built_updater() {
  std::string path = "Z:" UPDATER_PROGRAM;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// One argument as CommandLineToArgvW reads it back: quoted when it holds a
// blank or a quote, backslashes doubled only before a quote.
std::wstring quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring text = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    text.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    text += c;
  }
  text.append(backslashes * 2, L'\\');
  return text + L"\"";
}

std::wstring class_of(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

BOOL CALLBACK collect(HWND window, LPARAM into) {
  reinterpret_cast<std::vector<HWND>*>(into)->push_back(window);
  return TRUE;
}

std::vector<HWND> descendants(HWND root) {
  std::vector<HWND> all;
  EnumChildWindows(root, collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

bool lies_inside(HWND inner, HWND outer) {
  RECT a, b;
  GetWindowRect(outer, &a);
  GetWindowRect(inner, &b);
  return b.left >= a.left && b.right <= a.right && b.top >= a.top && b.bottom <= a.bottom;
}

bool is_group_box(HWND window) {
  return class_of(window) == L"Button" && (GetWindowLongW(window, GWL_STYLE) & 0x0F) == BS_GROUPBOX;
}

}  // namespace

std::string fresh_program_directory(const std::string& folder) {
  const std::string directory = program_directory() + folder + "\\";
  remove_tree(directory);
  make_directories(directory);
  CopyFileW(platform::wide_path(built_updater()).c_str(), platform::wide_path(directory + "updater.exe").c_str(),
            FALSE);
  return directory;
}

ChildProgram::ChildProgram(const std::string& program_directory, const std::vector<std::string>& arguments,
                           const ChildStart& start) {
  std::wstring command = quoted(platform::wide_path(program_directory + "updater.exe"));
  for (const std::string& argument : arguments) command += L" " + quoted(platform::wide_path(argument));
  const std::wstring directory =
      platform::wide_path(start.working_directory.empty() ? program_directory : start.working_directory);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (start.use_standard_handles) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = start.input;
    startup.hStdOutput = start.output;
    startup.hStdError = start.error;
  }
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, start.inherit_handles, 0, nullptr, directory.c_str(),
                      &startup, &process))
    return;
  CloseHandle(process.hThread);
  m_process = process.hProcess;
  m_id = process.dwProcessId;
}

ChildProgram::~ChildProgram() {
  if (!m_process) return;
  if (!wait_for_exit(0)) kill(99);
  CloseHandle(m_process);
}

std::optional<DWORD> ChildProgram::wait_for_exit(int timeout_ms) const {
  if (!m_process || WaitForSingleObject(m_process, static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(m_process, &code);
  return code;
}

void ChildProgram::kill(DWORD code) {
  if (!m_process) return;
  TerminateProcess(m_process, code);
  WaitForSingleObject(m_process, INFINITE);
}

std::vector<HWND> ChildProgram::top_level_windows() const {
  std::vector<HWND> all, own;
  EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
  for (HWND window : all) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == m_id) own.push_back(window);
  }
  return own;
}

HWND ChildProgram::wait_for_window(const std::wstring& caption, int timeout_ms) const {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
  do {
    for (HWND window : top_level_windows())
      if (IsWindowVisible(window) && text_of(window) == caption) return window;
    Sleep(50);
  } while (GetTickCount64() < deadline && !wait_for_exit(0));
  return nullptr;
}

std::wstring text_of(HWND window) {
  wchar_t buffer[1024] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &copied);
  return std::wstring(buffer, copied);
}

HWND button_in_group(HWND window, const std::wstring& group, const std::wstring& button) {
  const std::vector<HWND> controls = descendants(window);
  for (HWND box : controls) {
    if (!is_group_box(box) || text_of(box) != group) continue;
    for (HWND candidate : controls)
      if (candidate != box && class_of(candidate) == L"Button" && text_of(candidate) == button &&
          lies_inside(candidate, box))
        return candidate;
  }
  return nullptr;
}

bool shows_text(HWND window, const std::wstring& part) {
  for (HWND control : descendants(window))
    if (IsWindowVisible(control) && text_of(control).find(part) != std::wstring::npos) return true;
  return false;
}

bool shows_control(HWND window, const std::wstring& control_class) {
  for (HWND control : descendants(window))
    if (class_of(control) == control_class) return IsWindowVisible(control) != 0;
  return false;
}

}  // namespace updater::testing
