#pragma once

#include <cstdint>

#include "runtime/arg_value.h"

// The download library's five commands, in its command table's order.
// Argument 1 is always the DownloadObject, passed by reference.
namespace downlib {

// (object, TaskParam) -> logical: starts a task on an empty object.
void Start(rt::ArgValue* result, int32_t count, rt::ArgValue* args);
// (object, byte-set variable by reference) -> logical: a new TaskState in the variable.
void GetState(rt::ArgValue* result, int32_t count, rt::ArgValue* args);
// (object, TaskState, kind, index) -> int32; the object is not used.
void StateValue(rt::ArgValue* result, int32_t count, rt::ArgValue* args);
// (object) -> int32: bytes received since the previous call.
void TakeReceived(rt::ArgValue* result, int32_t count, rt::ArgValue* args);
// (object): stops the task and empties the object at once.
void Stop(rt::ArgValue* result, int32_t count, rt::ArgValue* args);

// Stops every active task and waits (a bounded time) for their controllers;
// the library's end notification.
void stop_all_tasks();

}  // namespace downlib
