#pragma once

#include <string>

#include "downlib/tests/scenario/outcome.h"
#include "downlib/tests/scenario/plan.h"

// Runs a scenario's task the way the program does: a TaskParam filled from
// the plan, Start through the download library's command table, and
// callbacks that record every status text and event until TaskEnded. Fills
// the outcome's started, ended, statuses, events and late_callbacks.
namespace scenario {

// The test-only setting that shortens the engine's retries ("count,wait_ms"),
// read by the engine when a task starts.
inline constexpr const char* kRetrySettingVariable = "UPDATER_TEST_RETRY";

TaskOutcome run_task(const Plan& plan, const std::string& target_directory);

}  // namespace scenario
