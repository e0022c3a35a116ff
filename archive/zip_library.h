#pragma once

#include "runtime/support_library.h"

namespace archive {

// Library record of "压缩解压支持库".
extern const rt::SupportLibrary kZipLibrary;

}  // namespace archive
