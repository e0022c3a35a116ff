#pragma once

#include "runtime/support_library.h"

namespace downlib {

// Library record of "网络传送支持库".
extern const rt::SupportLibrary kDownloadLibrary;

}  // namespace downlib
