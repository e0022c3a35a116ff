#pragma once

#include "runtime/support_library.h"

namespace web {

// Library record of "互联网支持库".
extern const rt::SupportLibrary kWebLibrary;

}  // namespace web
