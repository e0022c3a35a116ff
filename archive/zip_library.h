#pragma once

#include "runtime/library_record.h"
#include "runtime/support_library.h"

namespace archive {

// Library record of "压缩解压支持库".
extern const rt::SupportLibrary kZipLibraryRecord;
// The record with the ZIP object's unit type where the build has window units.
const rt::SupportLibrary& zip_library();

// The runtime services this library was given at start.
const rt::RuntimeLink& zip_library_link();

}  // namespace archive
