#pragma once

// The status texts of FTP transfers, with the level each is reported at
// (StatusLevel of task_param.h). Resolving and connecting the control
// connection use the texts of status_texts.h.
namespace downlib::text {

// Login.
inline constexpr char kWaitingForGreeting[] = "连接成功, 等待欢迎消息";  // 0
inline constexpr char kNoGreeting[] = "无法得到欢迎消息";                // 3
inline constexpr char kLoggedIn[] = "登录成功";                          // 2
inline constexpr char kLoginFailed[] = "登录失败";                       // 3
inline constexpr char kPasswordRefused[] = "出现错误";                   // 3: PASS answered 530
inline constexpr char kUnsupportedReply[] = "暂时不支持的回应";          // 3: PASS answered otherwise
inline constexpr char kPasswordShown[] = "PASS ******";                  // 1: what a PASS is reported as
// Ours: a user name or password over 250 bytes is never sent.
inline constexpr char kCredentialsTooLong[] = "用户名或密码过长";  // 3

// Replies.
inline constexpr char kReplyUnreadable[] = "获得返回命令失败";  // 3: the reply counts as code 0
// Ours: a reply that goes on past 64 KiB (a line that never ends).
inline constexpr char kReplyTooLong[] = "FTP返回信息过长";  // 3

// Restart and size.
inline constexpr char kRestartSupported[] = "站点支持断点续传";            // 3
inline constexpr char kRestartUnsupported[] = "站点不支持断点续传";        // 3: probe
inline constexpr char kRestartUnsupportedHere[] = "该站点不支持断点续传";  // 3: ranged open
inline constexpr char kFileMissing[] = "文件不存在";                       // 3: SIZE answered 550
// Ours: a SIZE answer that is no number, or 2 GiB and more.
inline constexpr char kBadFileSize[] = "文件长度无效或超出最大支持下载长度 [%s]";  // 3

// Data connections.
inline constexpr char kPassiveRefused[] = "设置数据通道错误";     // 3: PASV not answered 227
inline constexpr char kDataConnectFailed[] = "数据通道连接失败";  // 3
inline constexpr char kTryingActive[] = "尝试主动模式连接";       // 3
inline constexpr char kNoPortReply[] = "获得返回信息失败";        // 3
inline constexpr char kActiveRefused[] = "设置主动模式失败";      // 3: PORT not answered 200
inline constexpr char kTransferRefused[] = "数据传送失败";        // 3: RETR not answered 125 or 150
// Ours: a 227 reply without six numbers of 0-255 in brackets.
inline constexpr char kPassiveReplyMalformed[] = "数据通道地址错误";  // 3
// Ours: a 227 reply naming another host than the server; its port is used
// on the server's own address.
inline constexpr char kPassiveAddressIgnored[] = "数据通道地址 [%s] 不是服务器地址, 改为连接 [%s:%d]";  // 0
// Ours: no listening socket for active mode.
inline constexpr char kNoListener[] = "无法建立主动模式监听";  // 3

}  // namespace downlib::text
