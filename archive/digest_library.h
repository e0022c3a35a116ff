#pragma once

#include "runtime/support_library.h"

namespace archive {

// Library record of "数据操作支持库一".
extern const rt::SupportLibrary kDigestLibrary;

}  // namespace archive
