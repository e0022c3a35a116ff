#include "archive/tests/embedded_files.h"

#include <gtest/gtest.h>

namespace zip_test {

std::string embedded(const std::string& name) {
  for (size_t i = 0; i < kEmbeddedFileCount; ++i)
    if (name == kEmbeddedFiles[i].name)
      return std::string(reinterpret_cast<const char*>(kEmbeddedFiles[i].data), kEmbeddedFiles[i].size);
  ADD_FAILURE() << "no embedded file " << name;
  return {};
}

std::vector<EmbeddedFile> embedded_folder(const std::string& folder) {
  std::vector<EmbeddedFile> files;
  for (size_t i = 0; i < kEmbeddedFileCount; ++i)
    if (std::string(kEmbeddedFiles[i].name).rfind(folder + "/", 0) == 0) files.push_back(kEmbeddedFiles[i]);
  return files;
}

}  // namespace zip_test
