#include "platform/testing/child_program.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/process.h"

namespace test_support {

ChildRun run_child_program(const std::string& program, const std::string& scenario) {
  const std::string module = platform::module_path();
  const std::string directory = module.substr(0, module.rfind(platform::kPathSeparator) + 1);
#ifdef _WIN32
  const std::string executable = directory + program + ".exe";
#else
  const std::string executable = directory + program;
#endif
  const std::string log = directory + program + "_" + scenario + ".log";
  std::remove(log.c_str());
  std::remove((log + ".box").c_str());
  ChildRun run;
  run.exit_code = platform::run_program_and_wait({executable, log, scenario});
  std::istringstream lines(read_whole_file(log));
  for (std::string line; std::getline(lines, line);) run.log.push_back(line);
  run.box = read_whole_file(log + ".box");
  return run;
}

}  // namespace test_support
