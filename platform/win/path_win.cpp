#include "platform/path.h"

namespace platform {

std::string native_path(const std::string& program_path) { return program_path; }
std::string program_text(const std::string& native_name) { return native_name; }

}  // namespace platform
