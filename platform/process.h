#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The separator of the file system's paths: "\" on Windows, "/" natively.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Full path of the running executable.
std::string module_path();
bool set_current_directory(const std::string& path);
std::string current_directory();

uint32_t current_thread_id();

// Ends the process at once with the exit code.
[[noreturn]] void exit_process(int32_t code);

// Runs a program to its end and gives its exit code as a 32-bit value
// (-1 when it could not be started). Output goes where the caller's goes.
int32_t run_program_and_wait(const std::vector<std::string>& argv);

}  // namespace platform

namespace platform {
// The module handle of the program (null natively).
void* program_instance();
}  // namespace platform
