#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What a task knows about its FTP source, fixed when the task is created
// from the URL, UserName, Password, TransferType and BinaryExtensions.
namespace downlib::ftp {

// User names and passwords longer than this are never sent (their fields
// hold 256 bytes).
inline constexpr size_t kLongestCredential = 250;
inline constexpr size_t kLongestRemotePath = 1023;

enum class TransferType { Binary, Text };

struct FtpBlock {
  std::string host;  // the authority without user information and port
  uint16_t port = 21;
  std::string user;
  std::string password;
  std::string remote_path;  // percent-decoded ("+" as a space), from its "/"
  std::string url_path;     // the URL's path as written, for naming the target
  TransferType type = TransferType::Binary;

  // The path the commands name: the remote path without its leading "/".
  std::string command_path() const;
};

struct FtpParameters {
  std::optional<std::string> user_name;          // absent: "anonymous"
  std::optional<std::string> password;           // absent: the default address
  int32_t transfer_type = 1;                     // 1 binary, 2 text, 3 by the file's extension
  std::optional<std::string> binary_extensions;  // absent: the default list
};

// The block for an FTP URL whose authority and path recognise_url found.
// Nothing refuses the URL: a "%" in the path without two hexadecimal digits
// after it, or a path that decodes to a CR, LF or NUL byte (which would end
// the command carrying it and start another).
std::optional<FtpBlock> make_ftp_block(const std::string& authority, uint16_t port, const std::string& path,
                                       const FtpParameters& parameters);

}  // namespace downlib::ftp
