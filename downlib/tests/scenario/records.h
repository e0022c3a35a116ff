#pragma once

#include <string>
#include <string_view>
#include <vector>

// The scripted server's answers to the control interface are records:
//   <word> <word> ... <length>\n<length bytes>\n
// so that texts with line breaks and any bytes pass unchanged.
namespace scenario {

struct Record {
  std::vector<std::string> words;  // without the length
  std::string payload;
};

struct Records {
  std::vector<Record> records;
  std::string problem;  // empty when the whole text was well formed
  bool ok() const { return problem.empty(); }
};

Records read_records(std::string_view text);

}  // namespace scenario
