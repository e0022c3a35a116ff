#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What the download library's fuzz targets check, shared with the test that
// replays their stored inputs in every build. Each check takes any bytes and
// answers false, with the broken promise in `problem`, when a parser gave an
// answer that does not fit its input. A crash or a read outside the input is
// caught by the sanitizers of the fuzzing build.
namespace downlib_fuzz {

// Response headers: the reader at a split chosen by the first byte, the
// parser, the disposition name and its safe form.
bool check_response_header(const uint8_t* data, size_t size, std::string* problem);
// URL recognition, the HTTP block made from it, a redirect to the same text,
// and the URL's file name.
bool check_url(const uint8_t* data, size_t size, std::string* problem);
// FTP control replies: the reply reader over the bytes as one stream of
// replies, fed whole and split at a place chosen by the first byte, each
// reply's lines through the 227 parser, and the bytes as an FTP URL's path.
bool check_ftp_reply(const uint8_t* data, size_t size, std::string* problem);
// StateValue on the bytes as they are, and with a correct CRC appended, so
// the decoder behind the CRC is reached too.
bool check_state_value(const uint8_t* data, size_t size, std::string* problem);

}  // namespace downlib_fuzz
