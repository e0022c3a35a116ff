#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The updater program run as a child of the test, as an operator, a script or
// a scheduled task runs it: copied into a program directory of its own,
// started with its arguments, watched from outside (its top-level windows,
// the controls in them) and waited for.
namespace updater::testing {

// A fresh program directory program_directory() + `folder` + "\" holding a
// copy of the updater.exe the build made and nothing else.
std::string fresh_program_directory(const std::string& folder);

// How the child starts: from which directory (its program directory when
// empty), with which standard handles, and whether it inherits handles.
struct ChildStart {
  std::string working_directory;
  bool use_standard_handles = false;  // the three below, null ones included
  HANDLE input = nullptr, output = nullptr, error = nullptr;
  bool inherit_handles = false;
};

class ChildProgram {
 public:
  // Starts program_directory + "updater.exe" with the arguments (GBK), each
  // quoted as the child's command-line parser reads it back.
  ChildProgram(const std::string& program_directory, const std::vector<std::string>& arguments,
               const ChildStart& start = {});
  ~ChildProgram();  // kills the process if it still runs
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  bool started() const { return m_process != nullptr; }

  // The exit code once the process has ended within the time.
  std::optional<DWORD> wait_for_exit(int timeout_ms) const;
  // Ends the process now with that code and waits for its end.
  void kill(DWORD code);

  // The process's top-level windows, hidden ones included.
  std::vector<HWND> top_level_windows() const;
  // Its visible top-level window with that caption, once it shows (null
  // when the time is up or the process has ended).
  HWND wait_for_window(const std::wstring& caption, int timeout_ms) const;

 private:
  HANDLE m_process = nullptr;
  DWORD m_id = 0;
};

// Another process's controls, read with WM_GETTEXT (GetWindowText gives only
// the stored caption of another process's window).
std::wstring text_of(HWND window);
// The button of that caption lying inside the group box of that caption.
HWND button_in_group(HWND window, const std::wstring& group, const std::wstring& button);
// Whether a visible control of the window holds `part` in its text.
bool shows_text(HWND window, const std::wstring& part);
// Whether the window's first control of that class is visible.
bool shows_control(HWND window, const std::wstring& control_class);

}  // namespace updater::testing
