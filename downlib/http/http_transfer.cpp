// The HTTP probe and ranged open.
//
// Probe (first worker), one request per connection:
//
//   Prepare ──► FindAddress ──► Connect ──► Send ──► ReadHeader ──► Judge
//      ▲            │              │          │          │            │
//      │            └──────────────┴──────────┴──────────┴─► Retry    ├─ 200, 206 ──► Success
//      │                                                   (-1)       ├─ 301, 302 with a location
//      └──────────────────────── Redirect ◄────────────────────────────┘   (at most 20 in a row)
//                                   │                                 └─ anything else ──► Fail (0)
//                                   └─ cannot be applied ──► Fail (0)
//
// Prepare writes spaces of the target as %20 and cuts it to 1023 bytes.
// FindAddress resolves the proxy or the host (dotted addresses are used as
// they stand) and keeps the address for the task. A header over 4097 bytes,
// a request over the 1024-byte area and a status that is not followed are
// failures (0); everything the network does wrong is a retry (-1).
//
// Ranged open (every other open) connects to the kept address, asks for the
// range from the position on and judges the answer: 206 from the position,
// or 200 with the whole file when the position is 0, is success. A 200 with
// the whole file for a later position means the server ignores ranges.

#include "downlib/http/http_transfer.h"

#include "downlib/http/header_reader.h"
#include "downlib/http/redirect.h"
#include "downlib/http/request.h"
#include "downlib/http/response_header.h"
#include "downlib/mystrlib/text.h"
#include "downlib/net/socket_result.h"
#include "downlib/status_texts.h"
#include "downlib/task_param.h"
#include "downlib/task_state.h"
#include "platform/gbk_cut.h"
#include "platform/socket.h"

namespace downlib::http {
namespace {

using engine::OpenResult;
using engine::StepContext;
using text::format_text;

constexpr size_t kLargestTarget = 1023;

struct Endpoint {
  uint32_t address = 0;
  uint16_t port = 0;
};

enum class ConnectKind { Probe, ProbeThroughProxy, Ranged };

class HttpSession final : public engine::Session {
 public:
  explicit HttpSession(HttpProtocol& protocol) : m_protocol(protocol) {}

  OpenResult probe(StepContext& context, engine::ProbeResult& result, engine::OpenedBody& body) override;
  OpenResult open_at(StepContext& context, int64_t position, int32_t total_size, engine::WholeBody whole_body,
                     engine::OpenedBody& body) override;
  net::Connection& body() override { return m_connection; }
  void end(StepContext&, Ending) override { m_connection.close(); }

 private:
  enum class ProbeState { Prepare, FindAddress, Connect, Send, ReadHeader, Judge, Redirect };

  OpenResult find_address(StepContext& context, const HttpBlock& block, Endpoint& endpoint);
  OpenResult connect(StepContext& context, const Endpoint& endpoint, ConnectKind kind);
  OpenResult send_request(StepContext& context, const HttpBlock& block, const std::string& extra_line);
  OpenResult read_header(StepContext& context, engine::OpenedBody& body);

  HttpProtocol& m_protocol;
  net::Connection m_connection;
  ResponseHeader m_response;
};

// The host part of "host:port" texts: before the first ":" (the last for a proxy).
struct HostAndPort {
  std::string name;
  std::optional<uint16_t> port;
};

HostAndPort split_host(std::string_view text, bool at_last_colon) {
  const size_t colon = at_last_colon ? text.rfind(':') : text.find(':');
  if (colon == std::string_view::npos) return {std::string(text), std::nullopt};
  HostAndPort out{std::string(text.substr(0, colon)), std::nullopt};
  const auto port = mystrlib::decimal_value(text.substr(colon + 1), 65535);
  if (port && *port > 0) out.port = static_cast<uint16_t>(*port);
  return out;
}

OpenResult HttpSession::find_address(StepContext& context, const HttpBlock& block, Endpoint& endpoint) {
  std::string name;
  if (block.through_proxy()) {
    const HostAndPort proxy = split_host(*block.proxy, true);
    endpoint.port = proxy.port.value_or(80);
    name = proxy.name;
    if (mystrlib::is_dotted_ipv4(name)) {
      endpoint.address = mystrlib::dotted_ipv4_value(name);
      return OpenResult::Success;
    }
    context.report(kProgress, format_text(text::kResolvingProxy, name.c_str()));
    if (!platform::resolve_ipv4(name, &endpoint.address)) {
      context.report(kError, format_text(text::kResolveProxyFailed, name.c_str()));
      return OpenResult::Retry;
    }
    return OpenResult::Success;
  }
  endpoint.port = block.port;
  // User information before the host is no part of the name.
  std::string_view host = block.host;
  if (const size_t at = host.rfind('@'); at != std::string_view::npos) host.remove_prefix(at + 1);
  const HostAndPort parts = split_host(host, false);
  if (parts.port) endpoint.port = *parts.port;
  name = parts.name;
  // A dotted address is used as it stands: there is nothing to resolve.
  if (mystrlib::is_dotted_ipv4(name)) {
    endpoint.address = mystrlib::dotted_ipv4_value(name);
    return OpenResult::Success;
  }
  context.report(kProgress, format_text(text::kResolving, name.c_str()));
  if (!platform::resolve_ipv4(name, &endpoint.address)) {
    context.report(kError, format_text(text::kResolveFailed, name.c_str()));
    return OpenResult::Retry;
  }
  return OpenResult::Success;
}

OpenResult HttpSession::connect(StepContext& context, const Endpoint& endpoint, ConnectKind kind) {
  const std::string address = platform::dotted_ipv4(endpoint.address);
  const char* announce = kind == ConnectKind::ProbeThroughProxy ? text::kConnectingProxy : text::kConnecting;
  context.report(kProgress, format_text(announce, address.c_str(), endpoint.port));
  const int32_t result =
      m_connection.connect(endpoint.address, endpoint.port, context.timeouts().connect_ms, context.stop_flag());
  if (result == net::result::kStopped) return OpenResult::Retry;  // silently: the worker is stopping
  if (result != 0) {
    const char* failure = result == net::result::kConnectTimedOut ? text::kConnectTimedOut : text::kConnectFailed;
    context.report(kError, format_text(failure, address.c_str(), endpoint.port));
    return OpenResult::Retry;
  }
  const char* done = kind == ConnectKind::Ranged ? text::kRangedConnected : text::kProbeConnected;
  context.report(kProgress, format_text(done, address.c_str(), endpoint.port));
  return OpenResult::Success;
}

OpenResult HttpSession::send_request(StepContext& context, const HttpBlock& block, const std::string& extra_line) {
  const auto request =
      build_request({block.request_target, block.host, block.referer, extra_line, block.through_proxy()});
  if (!request) {
    context.report(kError, text::kRequestTooLong);
    return OpenResult::Fail;
  }
  context.report(kRequestSent, *request);
  const int32_t sent =
      m_connection.send(request->data(), static_cast<int32_t>(request->size()), context.timeouts().send_ms);
  if (sent != static_cast<int32_t>(request->size())) {
    context.report(kError, text::kSendFailed);
    return OpenResult::Retry;
  }
  return OpenResult::Success;
}

OpenResult HttpSession::read_header(StepContext& context, engine::OpenedBody& body) {
  HeaderReader reader;
  char piece[HeaderReader::kReadSize];
  while (reader.state() == HeaderReader::State::NeedMore) {
    const net::Received got =
        m_connection.receive(piece, sizeof piece, context.timeouts().receive_ms, 1, context.stop_flag());
    if (got.count > 0) reader.add(piece, static_cast<size_t>(got.count));
    if (reader.state() != HeaderReader::State::NeedMore) break;
    if (got.status != 0) {
      context.report(kError, net::socket_error_text(got.status));
      return OpenResult::Retry;
    }
  }
  if (reader.state() == HeaderReader::State::TooLong) {
    context.report(kError, text::kHeaderTooLong);
    return OpenResult::Fail;
  }
  context.report(kReplyReceived, std::string(reader.header()));
  m_response = parse_response_header(reader.header());
  body.early = std::string(reader.early_body());
  return OpenResult::Success;
}

OpenResult fail_for_status(StepContext& context, int32_t status) {
  if (status == 400 || status == 403 || status == 404)
    context.report(kError, text::kErrorStatus);
  else
    context.report(kError, format_text(text::kUnsupportedStatus, status));
  return OpenResult::Fail;
}

OpenResult HttpSession::probe(StepContext& context, engine::ProbeResult& result, engine::OpenedBody& body) {
  HttpBlock block = m_protocol.block();
  Endpoint endpoint;
  int redirects = 0;
  ProbeState state = ProbeState::Prepare;
  for (;;) {
    OpenResult step = OpenResult::Success;
    switch (state) {
      case ProbeState::Prepare:
        block.request_target = mystrlib::spaces_as_percent20(block.request_target);
        platform::cut_gbk(block.request_target, kLargestTarget);
        state = ProbeState::FindAddress;
        break;
      case ProbeState::FindAddress:
        step = find_address(context, block, endpoint);
        block.address = endpoint.address;
        block.port = endpoint.port;
        m_protocol.set_block(block);
        state = ProbeState::Connect;
        break;
      case ProbeState::Connect:
        step = connect(context, endpoint, block.through_proxy() ? ConnectKind::ProbeThroughProxy : ConnectKind::Probe);
        state = ProbeState::Send;
        break;
      case ProbeState::Send:
        step = send_request(context, block, block.cookie_line.value_or(""));
        state = ProbeState::ReadHeader;
        break;
      case ProbeState::ReadHeader:
        body = engine::OpenedBody{};
        step = read_header(context, body);
        state = ProbeState::Judge;
        break;
      case ProbeState::Judge: {
        const int32_t status = m_response.status;
        if (status == 200 || status == 206) {
          if (m_response.content_disposition)
            result.server_name = disposition_file_name(*m_response.content_disposition);
          if (m_response.bad_content_length) {
            context.report(kError, format_text(text::kBadContentLength, m_response.bad_content_length->c_str()));
            result.total_size = -1;
            return OpenResult::Fail;
          }
          result.total_size = static_cast<int32_t>(m_response.content_length);
          if (result.total_size < 0) {
            context.report(kError, text::kNoFileSize);
            return OpenResult::Fail;
          }
          return OpenResult::Success;
        }
        if (status != 301 && status != 302) return fail_for_status(context, status);
        if (!m_response.location) {
          context.report(kError, text::kRedirectWithoutLocation);
          return OpenResult::Fail;
        }
        context.report(kError, format_text(text::kRedirectTo, m_response.location->c_str()));
        state = ProbeState::Redirect;
        break;
      }
      case ProbeState::Redirect:
        if (++redirects > kLargestRedirectChain ||
            !apply_redirect(block, *m_response.location, m_response.set_cookie)) {
          context.report(kError, text::kRedirectFailed);
          return OpenResult::Fail;
        }
        m_protocol.set_block(block);
        m_connection.close();
        state = ProbeState::Prepare;
        break;
    }
    if (step != OpenResult::Success) return step;
  }
}

OpenResult HttpSession::open_at(StepContext& context, int64_t position, int32_t total_size,
                                engine::WholeBody whole_body, engine::OpenedBody& body) {
  const HttpBlock block = m_protocol.block_for_ranged_open();
  if (!block.address) return OpenResult::Fail;  // no probe ever found the server
  const Endpoint endpoint{*block.address, block.port};
  body = engine::OpenedBody{};
  if (const OpenResult step = connect(context, endpoint, ConnectKind::Ranged); step != OpenResult::Success) return step;
  if (const OpenResult step = send_request(context, block, range_line(position)); step != OpenResult::Success)
    return step;
  if (const OpenResult step = read_header(context, body); step != OpenResult::Success) return step;

  const ResponseHeader& r = m_response;
  const bool whole_file = r.status == 200 && r.content_length == total_size;
  if (r.status == 200 && whole_file && position > 0) {
    body.ranges = engine::OpenedBody::Ranges::Ignored;
    if (whole_body == engine::WholeBody::Refuse) {
      context.report(kError, text::kErrorStatus);
      return OpenResult::Fail;
    }
    body.skip = position;
    return OpenResult::Success;
  }
  if (r.status == 200) {
    if (whole_file) return OpenResult::Success;  // asked from 0: the whole file is the answer
    context.report(kError, text::kErrorStatus);  // another file than the probe found
    return OpenResult::Fail;
  }
  if (r.status == 206) {
    const bool from_position = r.range_first < 0 || r.range_first == position;
    const bool same_file = r.range_complete < 0 || r.range_complete == total_size;
    if (!from_position || !same_file) {
      context.report(kError, text::kErrorStatus);
      return OpenResult::Fail;
    }
    body.ranges = engine::OpenedBody::Ranges::Confirmed;
    return OpenResult::Success;
  }
  return fail_for_status(context, r.status);
}

}  // namespace

std::unique_ptr<engine::Session> HttpProtocol::new_session() { return std::make_unique<HttpSession>(*this); }

int32_t HttpProtocol::segment_count(int32_t size, int32_t threads) const { return size < 20480 ? 1 : threads; }

std::string HttpProtocol::path_name() const {
  const HttpBlock current = block();
  std::string_view path = current.request_target;
  if (current.through_proxy() && path.substr(0, 7) == "http://") {
    path.remove_prefix(7);
    const size_t slash = path.find('/');
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash);
  }
  return std::string(mystrlib::after_last(path, '/'));
}

// GetState asks for this at every Received event a handler sees: the fields
// are copied under the lock, not the whole block first.
void HttpProtocol::describe(TaskSnapshot& snapshot) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  snapshot.host = m_block.host;
  snapshot.request_target = m_block.request_target;
  snapshot.referer = m_block.referer;
  snapshot.user_agent = kUserAgent;
  snapshot.cookie_line = m_block.cookie_line;
  snapshot.protocol = 1;
  snapshot.port = m_block.port;
  snapshot.address = static_cast<int32_t>(m_block.address.value_or(0));
}

HttpBlock HttpProtocol::block() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_block;
}

void HttpProtocol::set_block(HttpBlock block) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_block = std::move(block);
}

HttpBlock HttpProtocol::block_for_ranged_open() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_block.cookie_line.reset();
  return m_block;
}

}  // namespace downlib::http
