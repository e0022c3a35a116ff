#pragma once

#include "runtime/library_record.h"
#include "runtime/support_library.h"

namespace archive {

// Library record of "数据操作支持库一".
extern const rt::SupportLibrary kDigestLibrary;

// The runtime services this library was given at start.
const rt::RuntimeLink& digest_library_link();

}  // namespace archive
