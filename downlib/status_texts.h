#pragma once

#include <string>

// The status texts a task reports, with the level each is reported at
// (StatusLevel of task_param.h). Formats take their values in the order
// shown; use format_text to fill them.
namespace downlib::text {

// Connecting (HTTP and FTP).
inline constexpr char kResolving[] = "正在解析域名 [%s]";                     // 0
inline constexpr char kResolveFailed[] = "解析域名 [%s]出错";                 // 3
inline constexpr char kResolvingProxy[] = "正在代理服务器解析域名 [%s]";      // 0
inline constexpr char kResolveProxyFailed[] = "解析代理服务器域名 [%s]出错";  // 3
inline constexpr char kConnecting[] = "正在连接 [%s:%d]";                     // 0
inline constexpr char kConnectingProxy[] = "正在连接代理服务器 [%s:%d]";      // 0
inline constexpr char kConnectTimedOut[] = "连接 [%s:%d]超时";                // 3
inline constexpr char kConnectFailed[] = "连接 [%s:%d]失败";                  // 3
inline constexpr char kProbeConnected[] = "连接 [%s:%d]成功";                 // 0
inline constexpr char kRangedConnected[] = "连接[%s:%d]成功";                 // 0: no space before "["

// HTTP requests and answers.
inline constexpr char kSendFailed[] = "发送请求失败";                                      // 3
inline constexpr char kHeaderTooLong[] = "HTTP返回头部信息过长";                           // 3
inline constexpr char kRedirectTo[] = "重定向到 [%s]";                                     // 3
inline constexpr char kRedirectWithoutLocation[] = "获得重定向信息错误";                   // 3
inline constexpr char kRedirectFailed[] = "COOKIE过长或获得重定向信息错误或不支持的协议";  // 3
inline constexpr char kErrorStatus[] = "出现错误";                                         // 3
inline constexpr char kUnsupportedStatus[] = "暂时不支持的返回, 返回号[%d]";               // 3
inline constexpr char kNoFileSize[] = "无法获得文件大小";                                  // 3
// Ours: a request that does not fit the 1024-byte request area.
inline constexpr char kRequestTooLong[] = "请求过长, 超出请求缓冲区";  // 3
// Ours: a Content-Length that is negative, not a number or 2 GiB or more.
inline constexpr char kBadContentLength[] = "文件长度无效或超出最大支持下载长度 [%s]";  // 3

// The engine.
inline constexpr char kRetryWait[] = "等待%d秒后重试";  // 0
inline constexpr char kCreateFailed[] =
    "创建文件错误，超出最大支持下载长度或磁盘不可写或磁盘没有空间或同名文件已存在";  // 3
inline constexpr char kRenamedAutomatically[] = "发现同名文件, 系统自动更名为%s";    // 0
inline constexpr char kUserGaveUp[] = "发现同名文件, 用户选择放弃下载";              // 0
inline constexpr char kUserRenamed[] = "发现同名文件, 用户更名为%s";                 // 0
inline constexpr char kTooManyRenames[] = "发现同名文件，超过系统自动更名次数";      // 3
// Ours: neither the server nor the URL gives a name that is safe to create.
inline constexpr char kNoSafeName[] = "无法得到有效的文件名";  // 3

// printf-style formatting into a string of any length.
std::string format_text(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace downlib::text
