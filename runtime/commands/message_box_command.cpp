// ShowMessage: a message box with the value as its text.
#include <string>

#include "runtime/commands/command_args.h"
#include "runtime/commands/command_functions.h"
#include "runtime/commands/message_box.h"
#include "runtime/commands/value_text.h"
#include "runtime/system_function.h"

namespace rt::commands {
namespace {

// Numbers, logical values and date-times as ToText writes them; a text as it
// is; anything else shows nothing.
std::string message_text(const ArgValue& value) {
  if (value.tag == tag::kText) return std::string(text_of(value.text()));
  return scalar_text(value).value_or(std::string());
}

// Only a fourth argument names a parent: a window unit, or a handle as int.
void* parent_window(const Args& a) {
  if (a.count() < 4) return nullptr;
  const ArgValue& parent = a[3];
  if (parent.tag == tag::kInt) return reinterpret_cast<void*>(static_cast<intptr_t>(parent.as_int()));
  if (parent.tag != tag::kWindowUnit) return nullptr;
  // The live control of a unit is its window handle.
  return reinterpret_cast<void*>(static_cast<intptr_t>(
      system_function(sysfn::kLiveControl, static_cast<intptr_t>(parent.low), static_cast<intptr_t>(parent.high))));
}

// Button ids IDOK (1) to IDNO (7) become 0 to 6; -1 for anything else,
// including a box that could not be shown.
int32_t renumbered(int32_t button) { return button >= 1 && button <= 7 ? button - 1 : -1; }

}  // namespace

void ShowMessage(ArgValue* result, int32_t count, ArgValue* args) {
  const Args a(count, args);
  const auto buttons = static_cast<uint32_t>(a.integer(1));
  // Or-ed, not added: a value that already holds the task-modal bit would
  // otherwise turn into the help button.
  const uint32_t style = (buttons & kSystemModal) ? buttons : buttons | kTaskModal;
  const std::string caption = a.given(2) ? std::string(a.text(2)) : std::string("信息：");
  set_int(result, renumbered(show_message_box(parent_window(a), message_text(a[0]), caption, style)));
}

}  // namespace rt::commands
