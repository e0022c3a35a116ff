#include "archive/zip/zip_object_type.h"

namespace archive {

const rt::UnitType* zip_object_type() { return nullptr; }

}  // namespace archive
