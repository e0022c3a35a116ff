#include "downlib/ftp/ftp_block.h"

#include <string_view>

#include "downlib/mystrlib/text.h"
#include "platform/gbk_cut.h"

namespace downlib::ftp {
namespace {

constexpr char kDefaultUser[] = "anonymous";
constexpr char kDefaultPassword[] = "anonymous@example.com";
constexpr char kDefaultBinaryExtensions[] = ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm";

// The extension of the path's last part: from its last "." on; empty when
// it has none.
std::string_view extension_of(std::string_view path) {
  const std::string_view name = mystrlib::after_last(path, '/');
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

}  // namespace

std::string FtpBlock::command_path() const {
  return !remote_path.empty() && remote_path[0] == '/' ? remote_path.substr(1) : remote_path;
}

std::optional<FtpBlock> make_ftp_block(const std::string& authority, uint16_t port, const std::string& path,
                                       const FtpParameters& parameters) {
  FtpBlock block;
  block.port = port;
  block.url_path = path;

  std::string_view host = authority;
  const size_t at = host.rfind('@');
  if (at != std::string_view::npos) {
    // User information wins over UserName and Password. Without a ":" it
    // names the user only, and the password is Password's.
    const std::string_view info = host.substr(0, at);
    const size_t colon = info.find(':');
    block.user = std::string(info.substr(0, colon));
    block.password = colon == std::string_view::npos ? parameters.password.value_or(kDefaultPassword)
                                                     : std::string(info.substr(colon + 1));
    host.remove_prefix(at + 1);
  } else {
    block.user = parameters.user_name.value_or(kDefaultUser);
    block.password = parameters.password.value_or(kDefaultPassword);
  }
  block.host = std::string(host.substr(0, host.find(':')));

  auto decoded = mystrlib::percent_decoded_strictly(path, mystrlib::PlusMeans::Space);
  if (!decoded || decoded->find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return std::nullopt;
  platform::cut_gbk(*decoded, kLongestRemotePath);
  block.remote_path = std::move(*decoded);

  if (parameters.transfer_type == 2) {
    block.type = TransferType::Text;
  } else if (parameters.transfer_type == 3) {
    const std::string list = parameters.binary_extensions.value_or(kDefaultBinaryExtensions);
    const std::string_view extension = extension_of(block.remote_path);
    block.type =
        !extension.empty() && list.find(extension) != std::string::npos ? TransferType::Binary : TransferType::Text;
  }
  return block;
}

}  // namespace downlib::ftp
