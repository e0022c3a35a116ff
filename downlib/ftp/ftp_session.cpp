// A worker's FTP session: the probe (first worker) and the ranged opens
// (other workers, and any worker opening again after a failure).
//
//   Login ──► Binary ──► RestartCheck ──┬─ probe ──► Size ──┐
//                             │         └─ ranged ──────────┤
//                             │                             ▼
//                             └─ ranged, no restart (0)    Type
//                                                           │
//              ┌── task in active mode ─────────────────────┤
//              │                                            ▼
//              │      PASV refused, reply broken,        Passive
//              │      or data connect failed: the           │
//              ▼      task switches to active mode          │
//            Active ◄───────────────────────────────────────┤
//              │                                            │
//              └──────────────────────┬─────────────────────┘
//                                     ├─ ranged ──► Rest ──┐
//                                     └─ probe ────────────┤
//                                                          ▼
//                                    Ready (1) ◄─ Accept ◄─ Retrieve
//                                        ▲       (active)     │
//                                        └────── (passive) ───┘
//
// Login is login.cpp. Binary sends TYPE I: sizes and restart positions are
// byte counts of the file only in binary mode, and servers that start in
// the standard's text mode refuse REST and SIZE there. Type sends TYPE A
// for a text transfer and nothing more for a binary one. The restart check
// is REST 100 answered 350 with "Restart" or "restart" in the reply. Any 350
// is followed by REST 0: a server that took the marker would otherwise
// start the next RETR at byte 100, whether or not its reply had the word.
//
// Passive sends PASV and connects to the port of its 227 reply on the
// control connection's peer, whatever address the reply names. A reply
// other than 227, one without six numbers of 0-255 in brackets, or a
// failed connect switch the whole task to active mode, and this open goes
// on in Active: a listening socket on the control connection's own
// address, PORT with it, and after RETR the server's call is accepted.
// Once the task is in active mode every open starts in Active.
//
// Size: no 213 reply fails the probe (0): the engine needs the size. Rest
// (ranged opens): a position the server does not take (no 350) fails the
// open (0), because RETR would send the file from its start. RETR answered
// other than 125 or 150 is a retry (-1), as are all failures of the
// network. The session's end closes the data connection, and after a
// transfer that was neither stopped nor failed reads the server's last
// reply (up to 256 bytes) before it closes the control connection.

#include <algorithm>

#include "downlib/ftp/control_channel.h"
#include "downlib/ftp/ftp_texts.h"
#include "downlib/ftp/ftp_transfer.h"
#include "downlib/ftp/login.h"
#include "downlib/ftp/passive_reply.h"
#include "downlib/mystrlib/text.h"
#include "downlib/net/listener.h"
#include "downlib/net/socket_result.h"
#include "downlib/status_texts.h"
#include "downlib/task_param.h"
#include "downlib/task_state.h"
#include "platform/socket.h"

namespace downlib::ftp {
namespace {

using engine::OpenResult;
using engine::StepContext;
using text::format_text;

enum class OpenKind { Probe, Ranged };

class FtpSession final : public engine::Session {
 public:
  explicit FtpSession(FtpProtocol& protocol) : m_protocol(protocol) {}

  OpenResult probe(StepContext& context, engine::ProbeResult& result, engine::OpenedBody& body) override;
  OpenResult open_at(StepContext& context, int64_t position, int32_t total_size, engine::WholeBody whole_body,
                     engine::OpenedBody& body) override;
  net::Connection& body() override { return m_data; }
  void end(StepContext& context, Ending how) override;

 private:
  enum class State { Login, Binary, RestartCheck, Size, Type, Passive, Active, Rest, Retrieve, Accept, Ready };

  OpenResult run(StepContext& context, OpenKind kind, int64_t position, int32_t& size);
  OpenResult restart_check(StepContext& context, OpenKind kind, bool& supported);
  OpenResult size(StepContext& context, int32_t& size);
  void type(StepContext& context, TransferType type);
  // Passive: Success with the data connection made; Fail means "go active".
  OpenResult passive(StepContext& context);
  OpenResult active(StepContext& context);
  OpenResult rest(StepContext& context, int64_t position);
  OpenResult retrieve(StepContext& context);
  OpenResult accept(StepContext& context);
  uint32_t server_address() const;
  void close_all();

  FtpProtocol& m_protocol;
  ControlChannel m_control;
  net::Connection m_data;
  net::Listener m_listener;
};

uint32_t FtpSession::server_address() const {
  // The peer of the control connection is the server, whatever its replies say.
  if (const auto peer = m_control.connection().peer_address()) return *peer;
  return m_protocol.address().value_or(0);
}

OpenResult FtpSession::restart_check(StepContext& context, OpenKind kind, bool& supported) {
  const Reply reply = m_control.exchange(context, "REST 100", context.timeouts().receive_ms);
  supported = reply.code == 350 &&
              (reply.text.find("Restart") != std::string::npos || reply.text.find("restart") != std::string::npos);
  context.report(kError, supported                   ? text::kRestartSupported
                         : kind == OpenKind::Probe ? text::kRestartUnsupported
                                                   : text::kRestartUnsupportedHere);
  if (!supported && kind == OpenKind::Ranged) return OpenResult::Fail;
  // A server that answered 350 holds the marker, whatever its words: REST 0
  // keeps the next RETR from starting at byte 100.
  if (reply.code != 350) return OpenResult::Success;
  if (!m_control.send(context, "REST 0", context.timeouts().receive_ms, kRequestSent)) return OpenResult::Retry;
  m_control.read_reply(context, context.timeouts().receive_ms);
  return OpenResult::Success;
}

OpenResult FtpSession::size(StepContext& context, int32_t& size) {
  const Reply reply =
      m_control.exchange(context, "SIZE " + m_protocol.block().command_path(), context.timeouts().receive_ms);
  if (reply.code == 550) {
    context.report(kError, text::kFileMissing);
    return OpenResult::Fail;
  }
  if (reply.code != 213) {
    context.report(kError, text::kNoFileSize);
    return OpenResult::Fail;
  }
  const std::string_view number = std::string_view(reply.code_line).substr(4);
  const auto value = mystrlib::decimal_value(number, 0x7FFFFFFF);
  if (!value) {
    context.report(kError, format_text(text::kBadFileSize, std::string(number).c_str()));
    return OpenResult::Fail;
  }
  size = static_cast<int32_t>(*value);
  return OpenResult::Success;
}

void FtpSession::type(StepContext& context, TransferType type) {
  const char* command = type == TransferType::Binary ? "TYPE I" : "TYPE A";
  // The type goes out reported as a reply is; whatever the server answers, the transfer goes on.
  if (m_control.send(context, command, context.timeouts().receive_ms, kReplyReceived))
    m_control.read_reply(context, context.timeouts().receive_ms);
}

OpenResult FtpSession::passive(StepContext& context) {
  const Reply reply = m_control.exchange(context, "PASV", context.timeouts().receive_ms);
  if (reply.code != 227) {
    context.report(kError, text::kPassiveRefused);
    return OpenResult::Fail;
  }
  const auto named = parse_passive_reply(reply.code_line);
  if (!named) {
    context.report(kError, text::kPassiveReplyMalformed);
    return OpenResult::Fail;
  }
  const uint32_t server = server_address();
  if (named->address != server) {
    context.report(kProgress, format_text(text::kPassiveAddressIgnored, platform::dotted_ipv4(named->address).c_str(),
                                          platform::dotted_ipv4(server).c_str(), named->port));
  }
  const int32_t result = m_data.connect(server, named->port, context.timeouts().connect_ms, context.stop_flag());
  if (result == net::result::kStopped) return OpenResult::Retry;
  if (result != 0) {
    context.report(kError, text::kDataConnectFailed);
    return OpenResult::Fail;
  }
  return OpenResult::Success;
}

OpenResult FtpSession::active(StepContext& context) {
  const auto local = m_control.connection().local_address();
  if (!local || m_listener.open(*local) != 0) {
    context.report(kError, text::kNoListener);
    return OpenResult::Retry;
  }
  const uint32_t a = *local;
  const uint16_t port = m_listener.port();
  const std::string command = format_text("PORT %u,%u,%u,%u,%u,%u", a >> 24, (a >> 16) & 0xFF, (a >> 8) & 0xFF,
                                          a & 0xFF, static_cast<unsigned>(port >> 8), port & 0xFFu);
  const int32_t code = m_control.exchange(context, command, context.timeouts().connect_ms).code;
  if (code == 200) return OpenResult::Success;
  context.report(kError, code == 0 ? text::kNoPortReply : text::kActiveRefused);
  return OpenResult::Retry;
}

OpenResult FtpSession::rest(StepContext& context, int64_t position) {
  const Reply reply = m_control.exchange(context, "REST " + std::to_string(position), context.timeouts().receive_ms);
  // From byte 0 any answer will do; further on, a server that did not take
  // the position would send the file from its start into the wrong place.
  if (position == 0 || reply.code == 350) return OpenResult::Success;
  if (reply.code == 0) return OpenResult::Retry;
  context.report(kError, text::kRestartUnsupportedHere);
  return OpenResult::Fail;
}

OpenResult FtpSession::retrieve(StepContext& context) {
  const int32_t code =
      m_control.exchange(context, "RETR " + m_protocol.block().command_path(), context.timeouts().receive_ms).code;
  if (code == 125 || code == 150) return OpenResult::Success;
  context.report(kError, text::kTransferRefused);
  return OpenResult::Retry;
}

OpenResult FtpSession::accept(StepContext& context) {
  const int32_t result =
      m_listener.accept_from(server_address(), m_data, context.timeouts().connect_ms, context.stop_flag());
  m_listener.close();  // the one call it was opened for has come, or will not
  if (result == net::result::kStopped) return OpenResult::Retry;
  if (result != 0) {
    context.report(kError, text::kDataConnectFailed);
    return OpenResult::Retry;
  }
  return OpenResult::Success;
}

OpenResult FtpSession::run(StepContext& context, OpenKind kind, int64_t position, int32_t& file_size) {
  close_all();
  State state = State::Login;
  for (;;) {
    OpenResult step = OpenResult::Success;
    switch (state) {
      case State::Login:
        step = log_in(context, m_protocol, m_control);
        state = State::Binary;
        break;
      case State::Binary:
        type(context, TransferType::Binary);
        state = State::RestartCheck;
        break;
      case State::RestartCheck: {
        bool supported = false;
        step = restart_check(context, kind, supported);
        if (kind == OpenKind::Probe) m_protocol.set_restart_supported(supported);
        state = kind == OpenKind::Probe ? State::Size : State::Type;
        break;
      }
      case State::Size:
        step = size(context, file_size);
        state = State::Type;
        break;
      case State::Type:
        if (m_protocol.block().type == TransferType::Text) type(context, TransferType::Text);
        state = m_protocol.data_mode() == DataMode::Active ? State::Active : State::Passive;
        break;
      case State::Passive:
        step = passive(context);
        if (step == OpenResult::Fail) {
          context.report(kError, text::kTryingActive);
          m_protocol.switch_to_active();
          m_data.close();
          step = OpenResult::Success;
          state = State::Active;
        } else {
          state = kind == OpenKind::Ranged ? State::Rest : State::Retrieve;
        }
        break;
      case State::Active:
        step = active(context);
        state = kind == OpenKind::Ranged ? State::Rest : State::Retrieve;
        break;
      case State::Rest:
        step = rest(context, position);
        state = State::Retrieve;
        break;
      case State::Retrieve:
        step = retrieve(context);
        state = m_listener.is_open() ? State::Accept : State::Ready;
        break;
      case State::Accept:
        step = accept(context);
        state = State::Ready;
        break;
      case State::Ready: return OpenResult::Success;
    }
    if (step != OpenResult::Success) {
      close_all();
      return step;
    }
  }
}

OpenResult FtpSession::probe(StepContext& context, engine::ProbeResult& result, engine::OpenedBody& body) {
  body = engine::OpenedBody{};
  int32_t file_size = 0;
  const OpenResult opened = run(context, OpenKind::Probe, 0, file_size);
  result.total_size = file_size;
  if (opened == OpenResult::Success && m_protocol.restart_supported())
    body.ranges = engine::OpenedBody::Ranges::Confirmed;
  return opened;
}

OpenResult FtpSession::open_at(StepContext& context, int64_t position, int32_t, engine::WholeBody,
                               engine::OpenedBody& body) {
  body = engine::OpenedBody{};
  int32_t unused = 0;
  const OpenResult opened = run(context, OpenKind::Ranged, position, unused);
  if (opened == OpenResult::Success) body.ranges = engine::OpenedBody::Ranges::Confirmed;
  return opened;
}

void FtpSession::end(StepContext& context, Ending how) {
  // The server answers for the transfer once the data connection is gone.
  m_data.close();
  if (how == Ending::Normal && m_control.connection().is_open()) {
    const std::string words = m_control.take_last_words(context, context.timeouts().receive_ms);
    if (!words.empty()) context.report(kReplyReceived, words);
  }
  close_all();
}

void FtpSession::close_all() {
  m_data.close();
  m_listener.close();
  m_control.close();
}

}  // namespace

std::unique_ptr<engine::Session> FtpProtocol::new_session() { return std::make_unique<FtpSession>(*this); }

int32_t FtpProtocol::segment_count(int32_t, int32_t threads) const {
  // In text mode the server converts line ends on the way: positions in the
  // stream are no offsets in the file, so one connection reads it all.
  return restart_supported() && m_block.type == TransferType::Binary ? threads : 1;
}

std::string FtpProtocol::path_name() const { return std::string(mystrlib::after_last(m_block.url_path, '/')); }

void FtpProtocol::describe(TaskSnapshot& snapshot) const {
  snapshot.host = m_block.host;
  snapshot.request_target = m_block.remote_path;
  snapshot.protocol = 2;
  snapshot.port = m_block.port;
  snapshot.address = static_cast<int32_t>(address().value_or(0));
}

std::optional<uint32_t> FtpProtocol::address() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_address;
}

void FtpProtocol::keep_address(uint32_t address) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_address = address;
}

}  // namespace downlib::ftp
