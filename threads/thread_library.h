#pragma once

#include "runtime/support_library.h"

namespace threads {

// Library record of "多线程支持库".
extern const rt::SupportLibrary kThreadLibrary;

}  // namespace threads
