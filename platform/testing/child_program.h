#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/testing/server_folder.h"  // read_whole_file

// Tests that need a whole program of their own (one that ends with a runtime
// error, say) start it as a child: `<program> <log file> <scenario>`. The
// program writes log lines, and the text of an error box to "<log>.box".
namespace test_support {

struct ChildRun {
  int32_t exit_code = 0;
  std::vector<std::string> log;
  std::string box;  // natively: what the program wrote to standard error
};

// Runs the program of that name from the test's own directory.
ChildRun run_child_program(const std::string& program, const std::string& scenario);

}  // namespace test_support
