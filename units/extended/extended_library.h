#pragma once

#include "runtime/support_library.h"

namespace extended {

// Library record of "扩展界面支持库一".
extern const rt::SupportLibrary kExtendedLibrary;

}  // namespace extended
