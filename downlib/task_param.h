#pragma once

#include <atomic>
#include <cstdint>

#include "runtime/arg_value.h"
#include "runtime/calling_convention.h"

// The download library's data types as the program holds them: the task
// parameters (twenty fields in their stored order) and the download object
// (one reference to the running task). The program passes both to the
// commands by reference: the payload of the ArgValue is the record's address.
namespace downlib {

// The library's number in the program's library table, and its commands.
inline constexpr uint32_t kLibraryNumber = 1;
enum Command : uint32_t { kStart = 0, kGetState = 1, kStateValue = 2, kTakeReceived = 3, kStop = 4 };

inline constexpr rt::TypeTag kDownloadObjectTag = rt::tag::unit(kLibraryNumber, 0);  // 0x00020001
inline constexpr rt::TypeTag kTaskParamTag = rt::tag::unit(kLibraryNumber, 3);       // 0x00020004

// Event codes given to the EventCallback.
enum Event : int32_t {
  kSizeKnown = 3,
  kTaskEnded = 4,
  kWorkerStarted = 5,
  kSegmentStarted = 6,
  kSegmentSwitched = 7,
  kWorkerDone = 8,
  kWorkerFailed = 9,
  kReceived = 16,
  kFileExists = 18,
};

// What the EventCallback answers to kFileExists.
enum FileExistsAnswer : int32_t { kRenameAutomatically = 0, kGiveUp = 1, kHandlerRenamed = 2 };

// Status levels given to the StatusCallback.
enum StatusLevel : int32_t { kProgress = 0, kRequestSent = 1, kReplyReceived = 2, kError = 3 };

// (event code, worker or 0, value 1, value 2, task) -> answer; only
// kFileExists reads the answer. Worker and task are references, so they
// widen with the pointer size.
using EventCallbackRoutine = int32_t(RT_STDCALL*)(int32_t code, intptr_t worker, int32_t value1, int32_t value2,
                                           intptr_t task);
// (worker, local time text, message text, level, task); the answer is ignored.
using StatusCallbackRoutine = int32_t(RT_STDCALL*)(intptr_t worker, const char* time, const char* message, int32_t level,
                                            intptr_t task);

// Texts are runtime blocks owned by the record (null = absent); a text field
// is replaced with assign_text, which frees the old block.
struct TaskParam {
  int32_t Mode;                    // 1
  char* Url;                       // 2
  char* SavePath;                  // 3: at most 259 bytes; a trailing "\" names a directory
  char* UserName;                  // 4
  char* Password;                  // 5
  int32_t ThreadCount;             // 6
  int32_t SpeedLimit;              // 7: bytes per second for the task, 0 = none
  int32_t ConnectTimeout;          // 8: ms
  int32_t SendTimeout;             // 9: ms
  int32_t ReceiveTimeout;          // 10: ms
  int32_t StopWait;                // 11: ms
  int32_t ReadSize;                // 12
  int32_t BlockSize;               // 13: upload only
  StatusCallbackRoutine StatusCallback;  // 14: optional
  EventCallbackRoutine EventCallback;    // 15: optional
  char* RemotePath;                // 16: upload only
  int32_t TransferType;            // 17: FTP 1 binary, 2 text, 3 by extension
  char* BinaryExtensions;          // 18
  char* Proxy;                     // 19: absent or empty = none
  char* Referer;                   // 20: absent = the URL up to its last "/"
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(TaskParam) == 20 * 4, "the task parameters are twenty words");
#endif

// The download object: empty, or the task it runs. The task clears the
// reference itself when it ends, from its controller thread.
struct DownloadObject {
  std::atomic<void*> task{nullptr};
};

// Fills the record with the library's defaults; the default texts are fresh
// runtime blocks. The record's previous texts are not freed.
void init_task_param(TaskParam& param);
// Frees the texts the record owns and fills it with the defaults again.
void reset_task_param(TaskParam& param);
// Frees the texts the record owns; the record is left with no texts.
void release_task_param(TaskParam& param);
// Replaces a text field with a runtime copy of `text` (null = absent).
void assign_text(char*& field, const char* text);

}  // namespace downlib
