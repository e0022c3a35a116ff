#include "downlib/net/socket_result.h"

namespace downlib::net {
namespace {

struct CodeText {
  int32_t code;
  const char* text;
};

constexpr CodeText kTexts[] = {
    {-2, "位置错误"},
    {-3, "设置或获得SOCK状态出错"},
    {-4, "空指针错误"},
    {-5, "等待接收或发送数据错误"},
    {-6, "等待接收或发送数据超时"},
    {-7, "发送数据错误"},
    {-8, "接收数据错误"},
    {-9, "FD_ISSET 找不到需要的SOCK"},
    {-10, "接收数据超时"},
    {-21, "读MMS数据错误"},
    {-22, "有错误发生"},
    {-10093, "应用程序没有调用 WSAStartup，或者 WSAStartup 失败。"},
    {-10050, "套接字操作遇到了一个已死的网络。"},
    {-10014, "系统检测到在一个调用中尝试使用指针参数时的无效指针地址。"},
    {-10057,
     "由于套接字没有连接并且(当使用一个 sendto 调用发送数据报套接字时)没有提供地址，发送或接收数据的请求没有被接受"},
    {-10004, "一个封锁操作被对 WSACancelBlockingCall 的调用中断。"},
    {-10036, "目前正在执行一个阻挡性操作。"},
    {-10052, "当该操作在进行中，由于保持活动的操作检测到一个故障，该连接中断。"},
    {-10038, "在一个非套接字上尝试了一个操作。"},
    {-10045, "参考的对象类型不支持尝试的操作。"},
    {-10058, "由于以前的关闭调用，套接字在那个方向已经关闭，发送或接收数据的请求没有被接受。"},
    {-10035, "无法立即完成一个非阻挡性套接字操作。"},
    {-10040, "用户用于接收数据报的缓冲器比数据报小。"},
    {-10022, "过程调用无效。"},
    {-10053, "您的主机中的软件放弃了一个已建立的连接。"},
    {-10060, "由于连接方在一段时间后没有正确答复或连接的主机没有反应，连接尝试失败。"},
    {-10054, "远程主机强迫关闭了一个现有的连接。"},
};

// The Windows Sockets errors the layer passes on by number.
constexpr int32_t kListed[] = {10004, 10014, 10022, 10035, 10036, 10038, 10040, 10045, 10050,
                               10052, 10053, 10054, 10056, 10057, 10058, 10060, 10093};

}  // namespace

int32_t from_socket_error(int32_t winsock_error) {
  for (int32_t listed : kListed)
    if (listed == winsock_error) return -winsock_error;
  return result::kUnclassified;
}

const char* socket_error_text(int32_t code) {
  for (const CodeText& entry : kTexts)
    if (entry.code == code) return entry.text;
  return "未知错误";
}

AfterReceiveError after_receive_error(int32_t code) {
  switch (code) {
    case result::kPeerClosed: return AfterReceiveError::EndNormally;
    case result::kUnclassified: return AfterReceiveError::ReadAgain;
    case result::kStopped: return AfterReceiveError::Stop;
    default: return AfterReceiveError::Retry;
  }
}

}  // namespace downlib::net
