#include "downlib/tests/fuzz/fuzz_checks.h"

#include <string_view>
#include <vector>

#include "downlib/engine/target_name.h"
#include "downlib/ftp/ftp_block.h"
#include "downlib/ftp/passive_reply.h"
#include "downlib/ftp/reply_reader.h"
#include "downlib/http/header_reader.h"
#include "downlib/http/http_block.h"
#include "downlib/http/redirect.h"
#include "downlib/http/response_header.h"
#include "downlib/task_state.h"
#include "downlib/url.h"

namespace downlib_fuzz {
namespace {

bool fail(std::string* problem, const std::string& what) {
  if (problem) *problem = what;
  return false;
}

// A safe name is a plain name: no separators, no dots or spaces at its end,
// never "." or "..", no character Windows refuses.
bool plain_name(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  if (name.back() == '.' || name.back() == ' ' || name.front() == ' ') return false;
  for (size_t i = 0; i < name.size();) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c >= 0x81 && c <= 0xFE) {
      if (i + 1 >= name.size()) return false;
      i += 2;
      continue;
    }
    if (c < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
        c == '|')
      return false;
    ++i;
  }
  return true;
}

}  // namespace

bool check_response_header(const uint8_t* data, size_t size, std::string* problem) {
  const auto* text = reinterpret_cast<const char*>(data);
  const size_t split = size == 0 ? 0 : data[0] % (size + 1);
  downlib::http::HeaderReader reader;
  reader.add(text, split);
  if (reader.state() == downlib::http::HeaderReader::State::NeedMore) reader.add(text + split, size - split);
  if (reader.state() == downlib::http::HeaderReader::State::Complete) {
    const std::string_view header = reader.header();
    if (header.size() > downlib::http::HeaderReader::kLargestHeader) return fail(problem, "header over the limit");
    if (header.substr(0, 7) != "HTTP/1.") return fail(problem, "header does not start with HTTP/1.");
    if (header.size() < 4 || header.substr(header.size() - 4) != "\r\n\r\n")
      return fail(problem, "header does not end with an empty line");
    if (header.size() + reader.early_body().size() > size) return fail(problem, "more bytes than were given");
  }
  // The parser takes any text, header or not.
  const auto parsed = downlib::http::parse_response_header(std::string_view(text, size));
  if (parsed.status < 0 || parsed.status > 999) return fail(problem, "status outside three digits");
  if (parsed.content_length < -1 || parsed.content_length > 0x7FFFFFFF)
    return fail(problem, "content length out of range");
  if (parsed.content_length >= 0 && parsed.bad_content_length) return fail(problem, "length both good and bad");
  if (parsed.content_disposition) {
    if (const auto name = downlib::http::disposition_file_name(*parsed.content_disposition)) {
      const auto safe = downlib::engine::safe_file_name(*name);
      if (safe && !plain_name(*safe)) return fail(problem, "unsafe server name: " + *safe);
    }
  }
  if (const auto name = downlib::engine::safe_file_name(std::string_view(text, size)); name && !plain_name(*name))
    return fail(problem, "unsafe name: " + *name);
  return true;
}

bool check_url(const uint8_t* data, size_t size, std::string* problem) {
  const std::string url(reinterpret_cast<const char*>(data), size);
  const auto parts = downlib::recognise_url(url);
  if (parts) {
    if (parts->authority.empty()) return fail(problem, "empty authority accepted");
    if (parts->path.empty() || parts->path[0] != '/') return fail(problem, "path without its /");
    if (parts->port == 0) return fail(problem, "port 0");
    if (parts->prefix_length + parts->authority.size() + parts->path.size() != url.size())
      return fail(problem, "parts do not make up the URL");
    if (url.compare(parts->prefix_length, parts->authority.size(), parts->authority) != 0)
      return fail(problem, "authority is not the URL's");
    auto block =
        downlib::http::make_http_block(url, parts->authority, parts->path, parts->port, std::nullopt, std::nullopt);
    if (block.referer.size() > 1024) return fail(problem, "referer over 1024 bytes");
    const auto name = downlib::engine::safe_file_name(downlib::engine::url_file_name(parts->path));
    if (name && !plain_name(*name)) return fail(problem, "unsafe URL name: " + *name);
  }
  // The same text as a redirect location, directly and through a proxy.
  for (bool proxied : {false, true}) {
    auto block =
        downlib::http::make_http_block("http://h/dir/a.zip", "h", "/dir/a.zip", 80,
                                       proxied ? std::optional<std::string>("p:1") : std::nullopt, std::nullopt);
    const auto before = block;
    const bool applied = downlib::http::apply_redirect(block, url, std::string(url.substr(0, 5000)));
    if (!applied && (block.request_target != before.request_target || block.host != before.host))
      return fail(problem, "a refused redirect changed the block");
    if (applied && block.host.empty()) return fail(problem, "redirect to an empty host");
  }
  return true;
}

namespace {

struct ReplyRun {
  std::vector<int32_t> codes;  // of the complete replies, in order
  std::vector<size_t> lines;   // lines and pieces of each reply
  size_t taken = 0;
  downlib::ftp::ReplyReader::State last = downlib::ftp::ReplyReader::State::NeedMore;
};

// Reads replies from the bytes until they run out or a reply is too long;
// the bytes arrive in two pieces, cut at `split`.
bool read_replies(std::string_view bytes, size_t split, ReplyRun& run, std::string* problem) {
  using downlib::ftp::ReplyReader;
  ReplyReader reader;
  size_t fed = 0;  // bytes of the current piece given to the reader so far
  for (size_t piece_end : {split, bytes.size()}) {
    while (fed < piece_end) {
      const size_t taken = reader.add(bytes.substr(fed, piece_end - fed));
      if (taken > piece_end - fed) return fail(problem, "the reader took more bytes than it was given");
      fed += taken;
      run.taken += taken;
      if (reader.state() == ReplyReader::State::NeedMore) {
        if (fed != piece_end) return fail(problem, "an unfinished reply left bytes behind");
        continue;
      }
      for (const std::string& line : reader.lines())
        if (line.size() > ReplyReader::kLongestLine) return fail(problem, "a line over 5120 bytes");
      if (reader.state() == ReplyReader::State::TooLong) {
        run.last = ReplyReader::State::TooLong;
        return true;
      }
      const int32_t code = reader.code();
      // Any three digits and a space make a code line, "027 " too (27): the
      // steps accept only the codes they know.
      if (code < 0 || code > 999 || reader.code_line().size() < 4 ||
          downlib::ftp::reply_line_code(reader.code_line()) != code)
        return fail(problem, "a code that its line does not give");
      if (reader.text().size() > ReplyReader::kLargestReply + 2 * reader.lines().size())
        return fail(problem, "a reply over 64 KiB completed");
      // The 227 parser on every line: an answer must be six numbers of 0-255.
      for (const std::string& line : reader.lines()) {
        if (const auto passive = downlib::ftp::parse_passive_reply(line)) {
          const size_t open = line.find('(');
          if (open == std::string::npos || line.find(')', open) == std::string::npos)
            return fail(problem, "a 227 address without its brackets");
        }
      }
      run.codes.push_back(code);
      run.lines.push_back(reader.lines().size());
      reader.reset();
    }
  }
  run.last = reader.state();
  return true;
}

}  // namespace

bool check_ftp_reply(const uint8_t* data, size_t size, std::string* problem) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ReplyRun whole, split;
  if (!read_replies(bytes, size, whole, problem)) return false;
  if (!read_replies(bytes, size == 0 ? 0 : data[0] % (size + 1), split, problem)) return false;
  if (whole.codes != split.codes || whole.lines != split.lines || whole.taken != split.taken ||
      whole.last != split.last)
    return fail(problem, "a split changed the replies read");
  if (whole.last != downlib::ftp::ReplyReader::State::TooLong && whole.taken != size)
    return fail(problem, "bytes were left unread");

  // The parser on the whole text: a port and address made of six numbers.
  if (const auto passive = downlib::ftp::parse_passive_reply(bytes)) {
    const std::string again =
        "(" + std::to_string(passive->address >> 24) + "," + std::to_string((passive->address >> 16) & 0xFF) + "," +
        std::to_string((passive->address >> 8) & 0xFF) + "," + std::to_string(passive->address & 0xFF) + "," +
        std::to_string(passive->port >> 8) + "," + std::to_string(passive->port & 0xFF) + ")";
    const auto reparsed = downlib::ftp::parse_passive_reply(again);
    if (!reparsed || reparsed->address != passive->address || reparsed->port != passive->port)
      return fail(problem, "a 227 address that does not read back");
  }

  // The bytes as an FTP URL's path: decoded safely or refused.
  const auto block = downlib::ftp::make_ftp_block("h", 21, "/" + std::string(bytes), {});
  if (block) {
    if (block->remote_path.size() > downlib::ftp::kLongestRemotePath) return fail(problem, "a path over 1023 bytes");
    if (block->remote_path.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
      return fail(problem, "a path that would end its command");
  }
  return true;
}

bool check_state_value(const uint8_t* data, size_t size, std::string* problem) {
  for (int32_t kind : {0, 1, 2, 3, 7}) downlib::state_value(data, size, kind, 0);
  for (int32_t index : {-1, 0, 1, 2}) downlib::state_value(data, size, 4 + (index & 1) + (index < 0), index);

  // Past the CRC: the layout itself must be checked against the bytes.
  std::vector<uint8_t> fixed(data, data + size);
  const uint16_t crc = downlib::crc16_arc(fixed.data(), fixed.size());
  fixed.push_back(static_cast<uint8_t>(crc));
  fixed.push_back(static_cast<uint8_t>(crc >> 8));
  const auto decoded = downlib::decode_task_state(fixed.data(), fixed.size());
  if (decoded) {
    if (decoded->count < 0 || decoded->count > decoded->capacity) return fail(problem, "count outside the capacity");
    if (decoded->segments.size() != static_cast<size_t>(decoded->count))
      return fail(problem, "records do not match the count");
    const auto* begin = reinterpret_cast<const char*>(fixed.data());
    for (std::string_view text :
         {decoded->host, decoded->request_target, decoded->referer, decoded->user_agent, decoded->cookie_line}) {
      if (!text.empty() && (text.data() < begin || text.data() + text.size() > begin + fixed.size() - 2))
        return fail(problem, "a text outside the snapshot");
    }
    for (int32_t index = 1; index <= decoded->count && index <= 100; ++index) {
      if (downlib::state_value(fixed.data(), fixed.size(), 4, index) !=
          decoded->segments[static_cast<size_t>(index - 1)].start)
        return fail(problem, "kind 4 does not read the record");
    }
    if (downlib::state_value(fixed.data(), fixed.size(), 3, 0) != decoded->count)
      return fail(problem, "kind 3 differs");
  }
  return true;
}

}  // namespace downlib_fuzz
