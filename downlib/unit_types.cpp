#include "downlib/unit_types.h"

#include "runtime/arg_value.h"

namespace downlib {
namespace {

// A field's type word is the type tag of its values.
constexpr uint32_t kInt = rt::tag::kInt;
constexpr uint32_t kText = rt::tag::kText;
constexpr uint32_t kRoutine = rt::tag::kSubroutine;

const rt::UnitProperty kTaskParamFields[20] = {
    {"模式", "Mode", "", kInt, 0},
    {"地址", "Url", "", kText, 0},
    {"保存路径", "SavePath", "", kText, 0},
    {"用户名", "UserName", "", kText, 0},
    {"密码", "Password", "", kText, 0},
    {"线程数", "ThreadCount", "", kInt, 0},
    {"限速", "SpeedLimit", "", kInt, 0},
    {"连接超时", "ConnectTimeout", "", kInt, 0},
    {"发送超时", "SendTimeout", "", kInt, 0},
    {"接收超时", "ReceiveTimeout", "", kInt, 0},
    {"停止等待", "StopWait", "", kInt, 0},
    {"读取长度", "ReadSize", "", kInt, 0},
    {"块长度", "BlockSize", "", kInt, 0},
    {"状态回调", "StatusCallback", "", kRoutine, 0},
    {"事件回调", "EventCallback", "", kRoutine, 0},
    {"远程路径", "RemotePath", "", kText, 0},
    {"传输类型", "TransferType", "", kInt, 0},
    {"二进制扩展名", "BinaryExtensions", "", kText, 0},
    {"代理", "Proxy", "", kText, 0},
    {"来源页", "Referer", "", kText, 0},
};

constexpr rt::UnitType data_type(const char* name, const char* english, int32_t field_count,
                                 const rt::UnitProperty* fields) {
  return rt::UnitType{name, english, "", 0, nullptr, 0, 0, 0, nullptr, field_count, fields, nullptr, 0, nullptr};
}

}  // namespace

const rt::UnitType kUnitTypes[kUnitTypeCount] = {
    data_type("下载对象", "Download", 0, nullptr),             // 0
    rt::UnitType{},                                            // 1: unused
    rt::UnitType{},                                            // 2: unused
    data_type("任务参数", "TaskParam", 20, kTaskParamFields),  // 3
    rt::UnitType{},                                            // 4: unused
};

}  // namespace downlib
