// Logging in to an FTP server, on a control connection of the worker's own.
//
//   FindAddress ──► Connect ──► Greeting ──► User ──┬─ 230 ─────────────────► LoggedIn (1)
//        │             │            │          │     └─ 331 ──► Pass ─ 230 ─► LoggedIn (1)
//        │             │            │          │                  │
//        │             │            │          │                  ├─ 530: "出现错误"
//        │             │            │          │                  └─ other: "暂时不支持的回应"
//        │             │            │          └─ other reply ──────────────┐
//        │             │            │                                        ▼
//        │             │            └─ not 220: "无法得到欢迎消息" (-1)   Refused: "登录失败" (-1)
//        │             └─ timed out or refused (-1); stopped (-1, silently)
//        └─ the name does not resolve (0)
//
// FindAddress takes the address an earlier login of the task kept, else a
// dotted address as it stands, else resolves the host and keeps the result.
// The greeting, USER, PASS wait ConnectTimeout for their replies. A user
// name or password over 250 bytes is never sent: the login fails (0).

#include "downlib/ftp/login.h"

#include "downlib/ftp/ftp_texts.h"
#include "downlib/mystrlib/text.h"
#include "downlib/net/socket_result.h"
#include "downlib/status_texts.h"
#include "downlib/task_param.h"
#include "platform/socket.h"

namespace downlib::ftp {
namespace {

using engine::OpenResult;
using engine::StepContext;
using text::format_text;

enum class LoginState { FindAddress, Connect, Greeting, User, Pass, Refused, LoggedIn };

OpenResult find_address(StepContext& context, FtpProtocol& protocol, uint32_t& address) {
  if (const auto kept = protocol.address()) {
    address = *kept;
    return OpenResult::Success;
  }
  const std::string& host = protocol.block().host;
  if (mystrlib::is_dotted_ipv4(host)) {
    address = mystrlib::dotted_ipv4_value(host);
  } else {
    context.report(kProgress, format_text(text::kResolving, host.c_str()));
    if (!platform::resolve_ipv4(host, &address)) {
      context.report(kError, format_text(text::kResolveFailed, host.c_str()));
      return OpenResult::Fail;
    }
  }
  protocol.keep_address(address);
  return OpenResult::Success;
}

OpenResult connect(StepContext& context, ControlChannel& control, uint32_t address, uint16_t port) {
  const std::string dotted = platform::dotted_ipv4(address);
  context.report(kProgress, format_text(text::kConnecting, dotted.c_str(), port));
  const int32_t result =
      control.connection().connect(address, port, context.timeouts().connect_ms, context.stop_flag());
  if (result == net::result::kStopped) return OpenResult::Retry;  // silently: the worker is stopping
  if (result != 0) {
    const char* failure = result == net::result::kConnectTimedOut ? text::kConnectTimedOut : text::kConnectFailed;
    context.report(kError, format_text(failure, dotted.c_str(), port));
    return OpenResult::Retry;
  }
  context.report(kProgress, text::kWaitingForGreeting);
  return OpenResult::Success;
}

}  // namespace

OpenResult log_in(StepContext& context, FtpProtocol& protocol, ControlChannel& control) {
  const FtpBlock& block = protocol.block();
  const int32_t wait_ms = context.timeouts().connect_ms;
  uint32_t address = 0;
  LoginState state = LoginState::FindAddress;
  for (;;) {
    switch (state) {
      case LoginState::FindAddress:
        if (const OpenResult found = find_address(context, protocol, address); found != OpenResult::Success)
          return found;
        state = LoginState::Connect;
        break;
      case LoginState::Connect:
        if (const OpenResult connected = connect(context, control, address, block.port);
            connected != OpenResult::Success)
          return connected;
        state = LoginState::Greeting;
        break;
      case LoginState::Greeting:
        if (control.read_reply(context, wait_ms).code != 220) {
          context.report(kError, text::kNoGreeting);
          return OpenResult::Retry;
        }
        state = LoginState::User;
        break;
      case LoginState::User: {
        if (block.user.size() > kLongestCredential) {
          context.report(kError, text::kCredentialsTooLong);
          context.report(kError, text::kLoginFailed);
          return OpenResult::Fail;
        }
        const int32_t code = control.exchange(context, "USER " + block.user, wait_ms).code;
        state = code == 230 ? LoginState::LoggedIn : code == 331 ? LoginState::Pass : LoginState::Refused;
        break;
      }
      case LoginState::Pass: {
        if (block.password.size() > kLongestCredential) {
          context.report(kError, text::kCredentialsTooLong);
          context.report(kError, text::kLoginFailed);
          return OpenResult::Fail;
        }
        const int32_t code = control.exchange(context, "PASS " + block.password, wait_ms, text::kPasswordShown).code;
        if (code == 230) {
          state = LoginState::LoggedIn;
          break;
        }
        context.report(kError, code == 530 ? text::kPasswordRefused : text::kUnsupportedReply);
        state = LoginState::Refused;
        break;
      }
      case LoginState::Refused: context.report(kError, text::kLoginFailed); return OpenResult::Retry;
      case LoginState::LoggedIn: context.report(kReplyReceived, text::kLoggedIn); return OpenResult::Success;
    }
  }
}

}  // namespace downlib::ftp
