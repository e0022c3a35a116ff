#pragma once

#include "runtime/arg_value.h"

namespace archive {

// Command 0 of the digest library: the MD5 digest of a byte set as a new
// 32-character lowercase hexadecimal text owned by the caller.
void ComputeMd5(rt::ArgValue* result, int32_t count, rt::ArgValue* args);

}  // namespace archive
