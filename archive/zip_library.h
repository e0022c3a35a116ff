#pragma once

#include "runtime/support_library.h"

namespace archive {

// Library record of "压缩解压支持库".
extern const rt::SupportLibrary kZipLibraryRecord;
// The record with the ZIP object's unit type where the build has window units.
const rt::SupportLibrary& zip_library();

}  // namespace archive
