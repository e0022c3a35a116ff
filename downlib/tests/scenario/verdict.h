#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "downlib/tests/scenario/outcome.h"
#include "downlib/tests/scenario/plan.h"

// Compares a run with its plan. Each difference is one message that says
// what was checked, what came and what was expected, in a form a UTF-8
// terminal shows (program texts converted from GBK, control bytes escaped).
namespace scenario {

std::vector<std::string> judge(const Plan& plan, const TaskOutcome& outcome);

// The status callback's time text: "%d年%d月%d日" followed by "%d时%d分%d秒",
// "%d时%d分", "%d时" or nothing.
bool is_local_time_text(std::string_view text);

}  // namespace scenario
