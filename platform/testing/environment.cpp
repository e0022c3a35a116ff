#include "platform/testing/environment.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdlib>

namespace test_support {

void set_environment_variable(const std::string& name, const std::string& value) {
#ifdef _WIN32
  // The C runtime keeps a copy of its own; set both.
  SetEnvironmentVariableA(name.c_str(), value.c_str());
  _putenv_s(name.c_str(), value.c_str());
#else
  setenv(name.c_str(), value.c_str(), 1);
#endif
}

}  // namespace test_support
