#include "updater/delete_tree.h"

#include "updater/dll_functions.h"

namespace updater {
namespace {

void delete_tree(std::wstring directory) {
  if (directory.empty()) return;
  if (directory.back() != L'\\') directory += L'\\';
  WIN32_FIND_DATAW found;
  const HANDLE search = dll::find_first_file(directory + L"*.*", found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name(found.cFileName, static_cast<size_t>(dll::wide_length(found.cFileName)));
    if (name == L"." || name == L"..") continue;
    const std::wstring path = directory + name;
    const DWORD attributes = found.dwFileAttributes;
    if (attributes & FILE_ATTRIBUTE_READONLY) dll::set_file_attributes(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
      dll::delete_file(path);
    else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
      dll::remove_directory(path);
    else
      delete_tree(path);
  } while (dll::find_next_file(search, found));
  dll::find_close(search);
  dll::remove_directory(directory);
}

}  // namespace

void DeleteTree(const std::string& directory) { delete_tree(dll::to_utf16(directory)); }

}  // namespace updater
