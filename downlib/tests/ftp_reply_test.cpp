// The FTP control reply reader and the 227 parser, on their own: tables of
// replies, each also fed split at every offset and one byte at a time.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "downlib/ftp/passive_reply.h"
#include "downlib/ftp/reply_reader.h"

namespace {

using downlib::ftp::parse_passive_reply;
using downlib::ftp::ReplyReader;

struct ReplyCase {
  const char* what;
  std::string bytes;
  ReplyReader::State state;
  int32_t code;
  std::string code_line;  // compared when the reply is complete
  size_t lines;           // lines and pieces read
  size_t taken;           // bytes that belong to this reply; kAll for every byte
};

constexpr size_t kAll = ~size_t{0};

std::string repeated(char c, size_t n) { return std::string(n, c); }

std::vector<ReplyCase> reply_cases() {
  const std::string cut_code_line = "150 " + repeated('x', 11996);
  const std::string long_continuation = "150-" + repeated('x', 5116) + "226 not a code\r\n150 go\r\n";
  return {
      {"one line", "220 ready\r\n", ReplyReader::State::Complete, 220, "220 ready", 1, kAll},
      {"continuation lines", "220-Welcome\r\n220-to the server\r\n220 ready\r\n", ReplyReader::State::Complete, 220,
       "220 ready", 3, kAll},
      {"lines that are no code line", "230-a\r\n 230 indented\r\n22 short\r\n2300 long\r\nabc def\r\n\r\n230 in\r\n",
       ReplyReader::State::Complete, 230, "230 in", 7, kAll},
      {"a bare LF ends a line", "213 100\n", ReplyReader::State::Complete, 213, "213 100", 1, kAll},
      {"the next reply is left", "150 go\r\n226 done\r\n", ReplyReader::State::Complete, 150, "150 go", 1, 8},
      {"a line of exactly 5120 bytes", "200 " + repeated('y', 5116) + "\r\n", ReplyReader::State::Complete, 200,
       "200 " + repeated('y', 5116), 2, kAll},
      {"a code line cut in three pieces", cut_code_line + "\r\n", ReplyReader::State::Complete, 150,
       cut_code_line.substr(0, 5120), 3, kAll},
      {"a cut continuation line ends in a code", long_continuation, ReplyReader::State::Complete, 150, "150 go", 3,
       kAll},
      {"a line that never ends", "213 " + repeated('9', 70000), ReplyReader::State::TooLong, 0, "", 12, 65536},
      {"continuation lines without end",
       [] {
         std::string s;
         for (int i = 0; i < 30000; ++i) s += "x\r\n";
         return s;
       }(),
       ReplyReader::State::TooLong, 0, "", 21845, 65536},
      {"nothing yet", "220-Hello\r\n220 rea", ReplyReader::State::NeedMore, 0, "", 1, kAll},
  };
}

struct Read {
  ReplyReader::State state;
  int32_t code;
  std::string code_line;
  size_t lines;
  size_t taken;
};

Read read_in_pieces(const std::string& bytes, const std::vector<size_t>& cuts) {
  ReplyReader reader;
  size_t taken = 0;
  size_t from = 0;
  for (size_t i = 0; i <= cuts.size(); ++i) {
    const size_t to = i < cuts.size() ? cuts[i] : bytes.size();
    const size_t got = reader.add(std::string_view(bytes).substr(from, to - from));
    taken += got;
    if (got < to - from) break;  // the reply ended inside this piece
    from = to;
  }
  return {reader.state(), reader.code(), reader.code_line(), reader.lines().size(), taken};
}

void expect_read(const ReplyCase& c, const Read& r, const std::string& how) {
  EXPECT_EQ(r.state, c.state) << c.what << how;
  EXPECT_EQ(r.code, c.code) << c.what << how;
  EXPECT_EQ(r.code_line, c.code_line) << c.what << how;
  EXPECT_EQ(r.lines, c.lines) << c.what << how;
  EXPECT_EQ(r.taken, c.taken == kAll ? c.bytes.size() : c.taken) << c.what << how;
}

TEST(FtpReplyReader, reads_replies_whole_and_split_at_every_offset) {
  for (const ReplyCase& c : reply_cases()) {
    expect_read(c, read_in_pieces(c.bytes, {}), " (whole)");
    if (c.bytes.size() > 200) continue;  // the long ones are split below at their edges only
    for (size_t cut = 1; cut < c.bytes.size(); ++cut)
      expect_read(c, read_in_pieces(c.bytes, {cut}), " (split at " + std::to_string(cut) + ")");
    std::vector<size_t> every;
    for (size_t cut = 1; cut < c.bytes.size(); ++cut) every.push_back(cut);
    expect_read(c, read_in_pieces(c.bytes, every), " (one byte at a time)");
  }
}

TEST(FtpReplyReader, long_lines_split_around_the_5120_byte_edge) {
  for (const ReplyCase& c : reply_cases()) {
    if (c.bytes.size() <= 200) continue;
    for (size_t cut :
         {size_t{1}, size_t{4}, size_t{5119}, size_t{5120}, size_t{5121}, size_t{10240}, c.bytes.size() - 1}) {
      if (cut >= c.bytes.size()) continue;
      expect_read(c, read_in_pieces(c.bytes, {cut}), " (split at " + std::to_string(cut) + ")");
    }
  }
}

TEST(FtpReplyReader, text_keeps_every_line_and_reset_starts_afresh) {
  ReplyReader reader;
  reader.add("230-Hello\r\n230 Login successful.\r\n");
  EXPECT_EQ(reader.text(), "230-Hello\r\n230 Login successful.\r\n");
  reader.reset();
  EXPECT_EQ(reader.state(), ReplyReader::State::NeedMore);
  EXPECT_TRUE(reader.lines().empty());
  reader.add("350 Restarting at 100.\r\n");
  EXPECT_EQ(reader.code(), 350);
}

TEST(FtpPassiveReply, takes_six_numbers_of_0_to_255_in_brackets) {
  struct Case {
    const char* text;
    bool parses;
    uint32_t address;
    uint16_t port;
  };
  const Case cases[] = {
      {"227 Entering Passive Mode (127,0,0,1,200,10).", true, 0x7F000001, 51210},
      {"227 =(10,1,2,3,4,5)", true, 0x0A010203, 1029},
      {"227 ( 192, 168 ,0,7,\t1,2 )", true, 0xC0A80007, 258},
      {"227 (0,0,0,0,0,0)", true, 0, 0},
      {"227 (255,255,255,255,255,255)", true, 0xFFFFFFFF, 65535},
      {"227 (1,2,3,4,5,6) (7,8,9,10,11,12)", true, 0x01020304, 1286},
      {"227 )(1,2,3,4,5,6)", true, 0x01020304, 1286},
      {"227 (1,2,3,4,5,0006)", true, 0x01020304, 1286},
      {"227 Entering passive mode 127,0,0,1,200,10.", false, 0, 0},  // no brackets
      {"227 (127,0,0,1,200)", false, 0, 0},                          // five numbers
      {"227 (127,0,0,1,200,10,5)", false, 0, 0},                     // seven
      {"227 (127,0,0,1,300,10)", false, 0, 0},                       // over 255
      {"227 (256,0,0,1,1,1)", false, 0, 0},
      {"227 (127,0,0,1,200,99999999999999999999999)", false, 0, 0},
      {"227 (127,0,0,1,-1,10)", false, 0, 0},
      {"227 (127,0,0,1,,10)", false, 0, 0},
      {"227 (127,0,0,1,2a,10)", false, 0, 0},
      {"227 (127,0,0,1,200,10", false, 0, 0},  // no closing bracket
      {"227 ()", false, 0, 0},
      {"227 (127.0.0.1:2000)", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const Case& c : cases) {
    const auto parsed = parse_passive_reply(c.text);
    ASSERT_EQ(parsed.has_value(), c.parses) << c.text;
    if (!parsed) continue;
    EXPECT_EQ(parsed->address, c.address) << c.text;
    EXPECT_EQ(parsed->port, c.port) << c.text;
  }
}

}  // namespace
