#include "downlib/engine/task_settings.h"

#include <algorithm>

#include "downlib/mystrlib/text.h"

namespace downlib::engine {
namespace {

std::optional<std::string> copied(const char* text) {
  if (!text) return std::nullopt;
  return mystrlib::without_line_breaks(text);
}

}  // namespace

std::optional<TaskSettings> copy_settings(const TaskParam& param) {
  TaskSettings s;
  const int32_t mode = param.Mode | 0x1000;
  s.operation = (mode >> 8) & 0xFF;
  s.url = copied(param.Url).value_or("");
  s.save_path = copied(param.SavePath).value_or("");
  if (s.save_path.size() > kLargestTargetPath) return std::nullopt;
  s.user_name = copied(param.UserName);
  s.password = copied(param.Password);
  s.remote_path = copied(param.RemotePath);
  s.binary_extensions = copied(param.BinaryExtensions);
  s.proxy = copied(param.Proxy);
  s.referer = copied(param.Referer);
  s.thread_count = std::clamp(param.ThreadCount, 1, kLargestThreadCount);
  s.speed_limit = std::max(param.SpeedLimit, 0);
  s.timeouts = {param.ConnectTimeout, param.SendTimeout, param.ReceiveTimeout};
  s.stop_wait_ms = std::max(param.StopWait, 0);
  s.read_size = param.ReadSize > 0 ? std::min(param.ReadSize, kReceiveBufferSize) : kReceiveBufferSize;
  s.transfer_type = param.TransferType;
  s.status_callback = param.StatusCallback;
  s.event_callback = param.EventCallback;
  return s;
}

}  // namespace downlib::engine
