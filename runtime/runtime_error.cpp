#include "runtime/runtime_error.h"

#include <atomic>
#include <cstdio>

#include "platform/process.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_error_detail.h"

namespace rt {
namespace {

constexpr const char* kMessages[] = {
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};

std::atomic<ErrorReportSink> g_report_sink{nullptr};

}  // namespace

void set_error_report_sink(ErrorReportSink sink) { g_report_sink = sink; }

const char* runtime_error_message(int32_t code) {
  if (code < 1 || code > static_cast<int32_t>(std::size(kMessages))) return nullptr;
  return kMessages[code - 1];
}

std::string compose_runtime_error(const char* message, int32_t code, int32_t info1, int32_t info2,
                                  WindowLayer& windows) {
  char detail[300];
  std::snprintf(detail, sizeof detail,
                "\r\n运行时错误相关信息值(在IDE中打开对应源程序后执行\"运行->到运行时错误相关位置\"菜单功能查看): %d, %d",
                info1, info2);
  std::string details = detail;

  const auto window_id = static_cast<uint32_t>(info1);
  if (info1 != 0 && is_window_id(window_id)) {
    const ErrorPlace place = windows.locate(window_id, static_cast<uint32_t>(info2));
    if (!place.window_loaded) {
      details += "\r\n未找到所指定的窗口";
    } else {
      details += "\r\n所访问窗口的\"标记\"属性值: \"" + place.window_tag + "\"";
      if (place.unit_found)
        details += "\r\n所访问窗口组件的\"标记\"属性值: \"" + place.unit_tag + "\"";
      else
        details += "\r\n未找到所指定的窗口组件";
    }
  }
  details += "\r\n";

  std::string text = "运行时出错!\r\n";
  if (code != 0) text += "\r\n错误代码：" + std::to_string(code) + "\r\n";
  if (message && *message) text += std::string("\r\n错误信息：") + message + "\r\n";
  return text + details;
}

void report_runtime_error(const char* message, int32_t code, int32_t info1, int32_t info2) {
  RuntimeApp* app = RuntimeApp::current();
  if (app) app->raise_error_depth();
  const std::string text = compose_runtime_error(message, code, info1, info2,
                                                 app ? app->windows() : empty_window_layer());
  if (const ErrorReportSink sink = g_report_sink.load())
    sink(text);
  else
    detail::show_error_box(text);
  if (app) {
    app->forget_exit_routines();
    app->end_program(-1);
    // Only a worker thread gets here: the window thread has taken over the end.
    detail::wait_for_process_end();
  }
  platform::exit_process(-1);
}

void report_runtime_error_by_code(int32_t code, int32_t info1, int32_t info2) {
  report_runtime_error(runtime_error_message(code), code, info1, info2);
}

}  // namespace rt
