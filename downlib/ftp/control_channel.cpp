#include "downlib/ftp/control_channel.h"

#include "downlib/ftp/ftp_texts.h"
#include "downlib/status_texts.h"
#include "downlib/task_param.h"

namespace downlib::ftp {
namespace {

constexpr int32_t kReadPiece = 4096;
constexpr size_t kLastWordsSize = 256;

}  // namespace

bool ControlChannel::send(engine::StepContext& context, const std::string& command, int32_t timeout_ms, int32_t level,
                          const char* shown) {
  context.report(level, shown ? std::string(shown) : command);
  const std::string line = command + "\r\n";
  const int32_t sent = m_connection.send(line.data(), static_cast<int32_t>(line.size()), timeout_ms);
  if (sent == static_cast<int32_t>(line.size())) return true;
  context.report(kError, text::kSendFailed);
  return false;
}

Reply ControlChannel::read_reply(engine::StepContext& context, int32_t timeout_ms) {
  ReplyReader reader;
  size_t reported = 0;
  const auto report_new_lines = [&] {
    for (; reported < reader.lines().size(); ++reported) context.report(kReplyReceived, reader.lines()[reported]);
  };
  for (;;) {
    const size_t taken = reader.add(m_unread);
    m_unread.erase(0, taken);
    report_new_lines();
    if (reader.state() != ReplyReader::State::NeedMore) break;
    char piece[kReadPiece];
    const net::Received got = m_connection.receive(piece, kReadPiece, timeout_ms, 1, context.stop_flag());
    m_unread.append(piece, static_cast<size_t>(got.count));
    if (got.count == 0 && got.status != 0) break;
  }
  if (reader.state() != ReplyReader::State::Complete) {
    const std::atomic<bool>* stop = context.stop_flag();
    if (stop && stop->load()) return {};  // the worker is stopping: nothing to tell
    if (reader.state() == ReplyReader::State::TooLong) context.report(kError, text::kReplyTooLong);
    context.report(kError, text::kReplyUnreadable);
    return {};
  }
  return {reader.code(), reader.code_line(), reader.text()};
}

Reply ControlChannel::exchange(engine::StepContext& context, const std::string& command, int32_t timeout_ms,
                               const char* shown) {
  if (!send(context, command, timeout_ms, kRequestSent, shown)) return {};
  return read_reply(context, timeout_ms);
}

std::string ControlChannel::take_last_words(engine::StepContext& context, int32_t timeout_ms) {
  std::string words = m_unread.substr(0, kLastWordsSize);
  m_unread.clear();
  if (words.empty()) {
    char piece[kLastWordsSize];
    const net::Received got = m_connection.receive(piece, sizeof piece, timeout_ms, 1, context.stop_flag());
    words.assign(piece, static_cast<size_t>(got.count));
  }
  while (!words.empty() && (words.back() == '\n' || words.back() == '\r')) words.pop_back();
  return words;
}

void ControlChannel::close() {
  m_connection.close();
  m_unread.clear();
}

}  // namespace downlib::ftp
