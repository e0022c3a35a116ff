#include "downlib/task_param.h"

#include <cstring>
#include <initializer_list>

#include "runtime/memory.h"

namespace downlib {
namespace {

constexpr char kDefaultUserName[] = "anonymous";
constexpr char kDefaultPassword[] = "anonymous@example.com";
constexpr char kDefaultBinaryExtensions[] = ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm";

// A runtime copy of the text; an empty text is a block of its own, because
// here an empty text is not the same as an absent one.
char* runtime_copy(const char* text) {
  if (!text) return nullptr;
  const size_t size = std::strlen(text) + 1;
  auto* copy = static_cast<char*>(rt::allocate(static_cast<uint32_t>(size)));
  std::memcpy(copy, text, size);
  return copy;
}

}  // namespace

void init_task_param(TaskParam& param) {
  param = TaskParam{};
  param.Mode = 1;
  param.UserName = runtime_copy(kDefaultUserName);
  param.Password = runtime_copy(kDefaultPassword);
  param.ThreadCount = 1;
  param.SpeedLimit = 0;
  param.ConnectTimeout = 20000;
  param.SendTimeout = 20000;
  param.ReceiveTimeout = 20000;
  param.StopWait = 1000;
  param.ReadSize = 20480;
  param.BlockSize = 1024;
  param.TransferType = 1;
  param.BinaryExtensions = runtime_copy(kDefaultBinaryExtensions);
}

void release_task_param(TaskParam& param) {
  for (char** field : {&param.Url, &param.SavePath, &param.UserName, &param.Password, &param.RemotePath,
                       &param.BinaryExtensions, &param.Proxy, &param.Referer}) {
    rt::release(*field);
    *field = nullptr;
  }
}

void reset_task_param(TaskParam& param) {
  release_task_param(param);
  init_task_param(param);
}

void assign_text(char*& field, const char* text) {
  char* copy = runtime_copy(text);
  rt::release(field);
  field = copy;
}

}  // namespace downlib
