#include <windows.h>

#include "archive/zip/unit_progress.h"
#include "archive/zip_library.h"
#include "runtime/event_record.h"
#include "runtime/system_function.h"

namespace archive {
namespace {

constexpr int32_t kProgressEvent = 1;

class UnitProgress final : public zip::UnpackProgress {
 public:
  UnitProgress(uint32_t window_id, uint32_t unit_id, HWND control)
      : m_window_id(window_id), m_unit_id(unit_id), m_control(control) {}

  zip::ProgressAnswer report(int32_t percent) override {
    if (!IsWindow(m_control)) return zip::ProgressAnswer::Continue;
    rt::EventRecord record = {};
    record.window_id = m_window_id;
    record.unit_id = m_unit_id;
    record.event = kProgressEvent;
    record.count = 1;
    record.args[0] = static_cast<uint32_t>(percent);
    const int64_t raised = zip_library_link().call(rt::sysfn::kRaiseEvent, reinterpret_cast<intptr_t>(&record));
    // Only a handler that ran and answered false stops it, and only while
    // the unit still lives: a handler that closed the window has no say.
    const bool stop =
        static_cast<int32_t>(raised) == 1 && record.has_result == 1 && record.result == 0 && IsWindow(m_control);
    return stop ? zip::ProgressAnswer::Stop : zip::ProgressAnswer::Continue;
  }

 private:
  uint32_t m_window_id;
  uint32_t m_unit_id;
  HWND m_control;
};

}  // namespace

std::unique_ptr<zip::UnpackProgress> unit_progress(uint32_t window_id, uint32_t unit_id) {
  const int64_t control = zip_library_link().call(rt::sysfn::kLiveControlOrError, static_cast<intptr_t>(window_id),
                                                  static_cast<intptr_t>(unit_id));
  return std::make_unique<UnitProgress>(window_id, unit_id, reinterpret_cast<HWND>(static_cast<intptr_t>(control)));
}

}  // namespace archive
