#pragma once

#include <string>

// Test-only settings handed to the code under test through the process
// environment.
namespace test_support {

// Sets the variable for this process, where both the C runtime (getenv) and,
// on Windows, the system (GetEnvironmentVariableA) see it.
void set_environment_variable(const std::string& name, const std::string& value);

}  // namespace test_support
