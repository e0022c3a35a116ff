#pragma once

// The application object of the window-object layer: a start step, a message
// pump with idle processing and an exit step. The runtime derives its own
// application from it. Natively there is no message queue: the pump reports
// the end at once.
namespace toolkit {

class Application {
 public:
  virtual ~Application() = default;

  // Start step; when it fails, straight to the exit step; otherwise the
  // toolkit's own loop until the quit message, then the exit step.
  int run_application(void* instance);
  void* instance() const { return m_instance; }

 protected:
  virtual bool start_step() = 0;
  virtual int exit_step() = 0;
  // One idle pass; true asks for more idle time.
  virtual bool idle_step(long idle_count) { return false; }

  // Waits for one message, translates and dispatches it. False on the quit
  // message (which is then consumed).
  bool pump_message();
  // Messages that happen all the time without anything changing (a mouse
  // move to where it already is, paint, the caret's timer) do not end idling.
  bool last_message_resets_idle() const;

 private:
  void* m_instance = nullptr;
  // Last message pumped: type and position, for the idle-neutral test.
  unsigned m_last_message = 0;
  long m_last_point = -1;
  long m_previous_point = -1;
};

}  // namespace toolkit
