#pragma once

#include "runtime/library_record.h"
#include "runtime/support_library.h"

namespace web {

// Library record of "互联网支持库".
extern const rt::SupportLibrary kWebLibrary;

// The runtime services this library was given at start.
const rt::RuntimeLink& web_library_link();

}  // namespace web
