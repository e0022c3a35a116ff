#include "downlib/commands.h"

#include <cstring>

#include "downlib/engine/controller.h"
#include "downlib/engine/task.h"
#include "downlib/engine/task_registry.h"
#include "downlib/ftp/ftp_transfer.h"
#include "downlib/http/http_transfer.h"
#include "downlib/task_param.h"
#include "downlib/task_state.h"
#include "downlib/task_target.h"
#include "downlib/url.h"
#include "runtime/blocks.h"
#include "runtime/commands/command_args.h"
#include "runtime/memory.h"

namespace downlib {
namespace {

using engine::Task;

// At the end of the process the stopped tasks get this long to deliver
// TaskEnded; a handler that waits for the window thread (busy ending the
// program) cannot hold the end up for longer.
constexpr uint32_t kEndWaitMs = 2000;

DownloadObject* object_of(const rt::commands::Args& args) {
  const rt::ArgValue& value = args[0];
  return value.tag == kDownloadObjectTag ? value.ref<DownloadObject>() : nullptr;
}

std::shared_ptr<Task> task_of(const rt::commands::Args& args) {
  DownloadObject* object = object_of(args);
  return object ? engine::find_active_task(object->task.load()) : nullptr;
}

std::unique_ptr<engine::Protocol> make_protocol(const engine::TaskSettings& settings, const UrlParts& url) {
  switch (url.protocol) {
    case Protocol::Http:
      return std::make_unique<http::HttpProtocol>(
          http::make_http_block(settings.url, url.authority, url.path, url.port, settings.proxy, settings.referer));
    case Protocol::Ftp: {
      const ftp::FtpParameters parameters{settings.user_name, settings.password, settings.transfer_type,
                                          settings.binary_extensions};
      auto block = ftp::make_ftp_block(url.authority, url.port, url.path, parameters);
      if (!block) return nullptr;  // a path that cannot be decoded safely
      return std::make_unique<ftp::FtpProtocol>(std::move(*block));
    }
    default: return nullptr;  // streaming URLs are refused
  }
}

bool start(DownloadObject* object, const TaskParam* param) {
  if (!object || !param || object->task.load() != nullptr) return false;
  const auto settings = engine::copy_settings(*param);
  if (!settings) return false;
  const auto url = recognise_url(settings->url);
  if (!url) return false;
  auto protocol = make_protocol(*settings, *url);
  if (!protocol) return false;

  auto task = std::make_shared<Task>(*settings, std::move(protocol), engine::retry_policy_for_new_task(), object);
  void* empty = nullptr;
  if (!object->task.compare_exchange_strong(empty, task.get())) return false;
  engine::add_active_task(task);
  if (settings->operation == engine::kOperationHeld) return true;  // kept, never run
  if (!engine::start_controller(task)) {
    engine::remove_active_task(task.get());
    task->detach_from_object();
    return false;
  }
  return true;
}

}  // namespace

void Start(rt::ArgValue* result, int32_t count, rt::ArgValue* args) {
  const rt::commands::Args in(count, args);
  const TaskParam* param = in[1].tag == kTaskParamTag ? in[1].ref<TaskParam>() : nullptr;
  *result = rt::ArgValue::of_bool(start(object_of(in), param));
}

void GetState(rt::ArgValue* result, int32_t count, rt::ArgValue* args) {
  const rt::commands::Args in(count, args);
  const std::shared_ptr<Task> task = task_of(in);
  auto** variable = in[1].tag == rt::tag::kBytes ? in[1].ref<void*>() : nullptr;
  if (!task || !variable) {
    *result = rt::ArgValue::of_bool(false);
    return;
  }
  const std::vector<uint8_t> state = encode_task_state(task->snapshot());
  rt::release(*variable);
  *variable = rt::make_bytes(state.data(), static_cast<uint32_t>(state.size()));
  *result = rt::ArgValue::of_bool(true);
}

void StateValue(rt::ArgValue* result, int32_t count, rt::ArgValue* args) {
  const rt::commands::Args in(count, args);
  const rt::BytesView state = in.bytes(1);
  *result = rt::ArgValue::of_int(state_value(state.data, state.size, in.integer(2), in.integer(3)));
}

void TakeReceived(rt::ArgValue* result, int32_t count, rt::ArgValue* args) {
  const rt::commands::Args in(count, args);
  const std::shared_ptr<Task> task = task_of(in);
  *result = rt::ArgValue::of_int(task ? task->take_received() : 0);
}

void Stop(rt::ArgValue*, int32_t count, rt::ArgValue* args) {
  const rt::commands::Args in(count, args);
  const std::shared_ptr<Task> task = task_of(in);
  if (!task) return;
  if (task->settings().operation == engine::kOperationHeld) {
    engine::remove_active_task(task.get());  // it never ran: nothing to wait for
  } else {
    task->stop();
  }
  task->detach_from_object();
}

void stop_all_tasks() {
  for (const auto& task : engine::active_tasks()) {
    if (task->settings().operation == engine::kOperationHeld) {
      engine::remove_active_task(task.get());
      task->detach_from_object();
    } else {
      task->stop();
    }
  }
  engine::wait_for_controllers(kEndWaitMs);
}

bool SetTaskTargetPath(intptr_t task_reference, const char* path) {
  const auto task = engine::find_active_task(reinterpret_cast<const void*>(task_reference));
  if (!task || !path || std::strlen(path) > engine::kLargestTargetPath) return false;
  task->set_target_path(path);
  return true;
}

}  // namespace downlib
