#include "runtime/command_call.h"

#include <cstring>
#include <vector>

#include "runtime/memory.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_error.h"
#include "runtime/service_table.h"

namespace rt {

ArgValue invoke_command(CommandFunction command, int32_t count, ArgValue* args) {
  ArgValue result;  // tag 0, payload 0
  command(&result, count, args);
  return result;
}

ArgValue call_command(CommandFunction command, std::initializer_list<ArgValue> args) {
  // Argument area: the count, then the records, as the compiled caller lays it out.
  const auto count = static_cast<int32_t>(args.size());
  std::vector<uint8_t> area(4 + sizeof(ArgValue) * args.size());
  std::memcpy(area.data(), &count, 4);
  auto* records = reinterpret_cast<ArgValue*>(area.data() + 4);
  size_t i = 0;
  for (ArgValue a : args) {
    if (a.tag == tag::kText && !a.text()) a.set_ref(constant_empty_text());
    if (a.tag == tag::kBytes && !a.block()) a.set_ref(constant_empty_bytes());
    std::memcpy(&records[i++], &a, sizeof a);
  }
  return services().call_command(command, count, records);
}

ArgValue call_library_command(uint32_t library, uint32_t number, std::initializer_list<ArgValue> args) {
  const RuntimeApp* app = RuntimeApp::current();
  const SupportLibrary* record = app && library < app->libraries().size() ? app->libraries()[library] : nullptr;
  if (!record || number >= static_cast<uint32_t>(record->command_count) || !record->commands[number])
    report_runtime_error_by_code(11, 0, 0);
  return call_command(record->commands[number], args);
}

}  // namespace rt
