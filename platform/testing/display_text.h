#pragma once

#include <string>
#include <string_view>

// Program texts (GBK bytes) in a form a test's failure message can show on a
// UTF-8 terminal: converted to UTF-8, with CR, LF, tabs and other control
// bytes written as escapes (\r, \n, \t, \xNN) so that a text's exact bytes
// stay visible. Bytes that are not GBK are shown as \xNN.
namespace test_support {

std::string display_text(std::string_view gbk);

}  // namespace test_support
