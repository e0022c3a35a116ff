#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The program's declared DLL functions (service entry 1), by their index in
// the program's table, in the forms the updater calls them.
namespace updater::dll {

uint64_t get_tick_count64();
void get_system_info(SYSTEM_INFO& info);

// A GBK text in UTF-16 (code page 936 whatever the system's), by strlen and
// MultiByteToWideChar.
std::wstring to_utf16(const std::string& gbk);
int32_t wide_length(const wchar_t* text);  // lstrlenW

// FindFirstFileW; INVALID_HANDLE_VALUE when nothing matches.
HANDLE find_first_file(const std::wstring& pattern, WIN32_FIND_DATAW& found);
bool find_next_file(HANDLE search, WIN32_FIND_DATAW& found);
void find_close(HANDLE search);
bool set_file_attributes(const std::wstring& path, uint32_t attributes);
bool delete_file(const std::wstring& path);
bool remove_directory(const std::wstring& path);
// PathIsDirectoryW: whether the path names an existing directory.
bool path_is_directory(const std::wstring& path);

// PeekMessageA with removal, for any window of this thread.
bool peek_message(MSG& message);
void translate_message(const MSG& message);
void dispatch_message(const MSG& message);

}  // namespace updater::dll
