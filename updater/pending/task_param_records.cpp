// The task parameters' record helpers, for a tree whose download library
// does not implement them yet (UPDATER_WITH_DOWNLOAD_ENGINE off). The library
// itself then has no commands: every download fails to start and says so on
// the status line. Not compiled once the engine is in the tree.
#include <cstring>

#include "downlib/task_param.h"
#include "runtime/blocks.h"
#include "runtime/memory.h"

namespace downlib {
namespace {

char* copy_of(const char* text) {
  if (!text) return nullptr;
  char* copy = static_cast<char*>(rt::allocate(static_cast<uint32_t>(std::strlen(text) + 1)));
  std::memcpy(copy, text, std::strlen(text) + 1);
  return copy;
}

}  // namespace

void init_task_param(TaskParam& param) {
  param = TaskParam{};
  param.Mode = 1;
  param.UserName = copy_of("anonymous");
  param.Password = copy_of("updater@localhost");
  param.ThreadCount = 1;
  param.ConnectTimeout = 20000;
  param.SendTimeout = 20000;
  param.ReceiveTimeout = 20000;
  param.StopWait = 1000;
  param.ReadSize = 20480;
  param.BlockSize = 1024;
  param.TransferType = 1;
  param.BinaryExtensions = copy_of(".exe|.rar|.zip|.gif|.jpg|.mp3|.rm");
}

void release_task_param(TaskParam& param) {
  for (char** text : {&param.Url, &param.SavePath, &param.UserName, &param.Password, &param.RemotePath,
                      &param.BinaryExtensions, &param.Proxy, &param.Referer}) {
    rt::release(*text);
    *text = nullptr;
  }
}

void reset_task_param(TaskParam& param) {
  release_task_param(param);
  init_task_param(param);
}

void assign_text(char*& field, const char* text) {
  rt::release(field);
  field = copy_of(text);
}

}  // namespace downlib
