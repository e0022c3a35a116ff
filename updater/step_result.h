#pragma once

#include <optional>
#include <string>
#include <utility>

// The result of a step that changes files: done (with a value), or the
// reason it failed, in words the operator reads in a message box.
namespace updater {

struct Failure {
  std::string reason;
};

template <class T>
class Result {
 public:
  Result(T value) : m_value(std::move(value)) {}
  Result(Failure failure) : m_reason(std::move(failure.reason)) {}
  bool ok() const { return m_value.has_value(); }
  T& value() { return *m_value; }
  const T& value() const { return *m_value; }
  const std::string& reason() const { return m_reason; }

 private:
  std::optional<T> m_value;
  std::string m_reason;
};

template <>
class Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : m_failed(true), m_reason(std::move(failure.reason)) {}
  bool ok() const { return !m_failed; }
  const std::string& reason() const { return m_reason; }

 private:
  bool m_failed = false;
  std::string m_reason;
};

}  // namespace updater

// Returns the failure of a step from the function that ran it.
#define UPDATER_TRY(step)                                                                   \
  do {                                                                                      \
    auto updater_try_result_ = (step);                                                      \
    if (!updater_try_result_.ok()) return ::updater::Failure{updater_try_result_.reason()}; \
  } while (0)
