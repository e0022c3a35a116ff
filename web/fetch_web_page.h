#pragma once

#include "runtime/arg_value.h"

namespace web {

// Command 0 of the web library: GETs the URL given as text and returns the
// response body as a new byte set, whatever the status. Every failure gives
// the empty byte set (or the part of the body read before it); none shows a
// message or raises a runtime error. Blocks the calling thread.
void FetchWebPage(rt::ArgValue* result, int32_t count, rt::ArgValue* args);

}  // namespace web
