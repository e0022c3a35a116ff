#pragma once

#include <cstdint>
#include <memory>

#include "archive/zip/unpack_progress.h"

namespace archive {

// Progress raised as event 1 (one argument, the percentage) of a ZIP object
// unit, while the unit's control is a live window; an answer of false from
// the handler asks to stop. The unit is looked up first: a unit that does
// not exist is the runtime error of that look-up. Natively there are no
// units and the progress goes nowhere.
std::unique_ptr<zip::UnpackProgress> unit_progress(uint32_t window_id, uint32_t unit_id);

}  // namespace archive
