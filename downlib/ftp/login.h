#pragma once

#include "downlib/engine/protocol.h"
#include "downlib/ftp/control_channel.h"
#include "downlib/ftp/ftp_transfer.h"

// Logging in on a fresh control connection (state machine in login.cpp).
namespace downlib::ftp {

// Success when logged in; Fail when the host name does not resolve or a
// user name or password is too long to send; Retry for everything else.
engine::OpenResult log_in(engine::StepContext& context, FtpProtocol& protocol, ControlChannel& control);

}  // namespace downlib::ftp
