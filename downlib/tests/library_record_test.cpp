#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "downlib/download_library.h"
#include "downlib/engine/task_settings.h"
#include "downlib/task_param.h"
#include "runtime/unit_type.h"

namespace {

TEST(DownloadLibraryRecord, types_commands_and_task_param_fields) {
  const rt::SupportLibrary& library = downlib::kDownloadLibrary;
  EXPECT_STREQ(library.name, "网络传送支持库");
  EXPECT_EQ(library.major_version, 3);
  EXPECT_EQ(library.minor_version, 1);
  EXPECT_EQ(library.flags, 0xC0000000u);
  ASSERT_EQ(library.command_count, 5);
  for (int i = 0; i < 5; ++i) EXPECT_NE(library.commands[i], nullptr) << "command " << i;
  ASSERT_EQ(library.unit_type_count, 5);
  EXPECT_STREQ(library.unit_types[0].name, "下载对象");
  EXPECT_STREQ(library.unit_types[0].english_name, "Download");
  EXPECT_STREQ(library.unit_types[3].name, "任务参数");
  EXPECT_STREQ(library.unit_types[3].english_name, "TaskParam");
  for (int unused : {1, 2, 4}) {
    const rt::UnitType& type = library.unit_types[unused];
    const auto* bytes = reinterpret_cast<const uint8_t*>(&type);
    for (size_t i = 0; i < sizeof type; ++i) ASSERT_EQ(bytes[i], 0) << "unused type " << unused << " byte " << i;
  }
  const char* fields[] = {"Mode",        "Url",          "SavePath",         "UserName",       "Password",
                          "ThreadCount", "SpeedLimit",   "ConnectTimeout",   "SendTimeout",    "ReceiveTimeout",
                          "StopWait",    "ReadSize",     "BlockSize",        "StatusCallback", "EventCallback",
                          "RemotePath",  "TransferType", "BinaryExtensions", "Proxy",          "Referer"};
  const rt::UnitType& param = library.unit_types[3];
  ASSERT_EQ(param.property_count, 20);
  for (int i = 0; i < 20; ++i) EXPECT_STREQ(param.properties[i].english_name, fields[i]) << "field " << i + 1;
  EXPECT_EQ(param.properties[1].type_word, rt::tag::kText);
  EXPECT_EQ(param.properties[5].type_word, rt::tag::kInt);
  EXPECT_EQ(param.properties[14].type_word, rt::tag::kSubroutine);
  EXPECT_EQ(downlib::kDownloadObjectTag, 0x00020001u);
  EXPECT_EQ(downlib::kTaskParamTag, 0x00020004u);
}

TEST(TaskParamRecord, defaults_and_texts) {
  downlib::TaskParam param;
  downlib::init_task_param(param);
  EXPECT_EQ(param.Mode, 1);
  EXPECT_EQ(param.Url, nullptr);
  EXPECT_STREQ(param.UserName, "anonymous");
  ASSERT_NE(param.Password, nullptr);
  EXPECT_NE(std::strchr(param.Password, '@'), nullptr) << "an e-mail-address-shaped text";
  EXPECT_EQ(param.ThreadCount, 1);
  EXPECT_EQ(param.SpeedLimit, 0);
  EXPECT_EQ(param.ConnectTimeout, 20000);
  EXPECT_EQ(param.SendTimeout, 20000);
  EXPECT_EQ(param.ReceiveTimeout, 20000);
  EXPECT_EQ(param.StopWait, 1000);
  EXPECT_EQ(param.ReadSize, 20480);
  EXPECT_EQ(param.BlockSize, 1024);
  EXPECT_EQ(param.TransferType, 1);
  EXPECT_STREQ(param.BinaryExtensions, ".exe|.rar|.zip|.gif|.jpg|.mp3|.rm");
  EXPECT_EQ(param.Proxy, nullptr);
  EXPECT_EQ(param.Referer, nullptr);
  downlib::assign_text(param.Referer, "");
  ASSERT_NE(param.Referer, nullptr) << "an empty text is present, not absent";
  EXPECT_STREQ(param.Referer, "");
  downlib::assign_text(param.Referer, nullptr);
  EXPECT_EQ(param.Referer, nullptr);
  downlib::reset_task_param(param);
  EXPECT_STREQ(param.UserName, "anonymous");
  downlib::release_task_param(param);
  EXPECT_EQ(param.UserName, nullptr);
}

TEST(TaskParamRecord, copies_lose_line_breaks_and_keep_within_bounds) {
  downlib::TaskParam param;
  downlib::init_task_param(param);
  downlib::assign_text(param.Url, "http://h/a\r\n.zip");
  downlib::assign_text(param.Referer, "\r\n");
  param.ThreadCount = 1000;
  param.ReadSize = 0;
  param.Mode = 0x2000;
  auto settings = downlib::engine::copy_settings(param);
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->url, "http://h/a.zip");
  EXPECT_EQ(settings->referer, std::optional<std::string>("")) << "present, now empty";
  EXPECT_EQ(settings->proxy, std::nullopt);
  EXPECT_EQ(settings->thread_count, 64);
  EXPECT_EQ(settings->read_size, 20480);
  EXPECT_EQ(settings->operation, downlib::engine::kOperationHeld);
  param.Mode = 1;
  param.ThreadCount = 0;
  downlib::assign_text(param.SavePath, std::string(259, 'p').c_str());
  settings = downlib::engine::copy_settings(param);
  ASSERT_TRUE(settings);
  EXPECT_EQ(settings->thread_count, 1);
  EXPECT_EQ(settings->operation, downlib::engine::kOperationDownload);
  downlib::assign_text(param.SavePath, std::string(260, 'p').c_str());
  EXPECT_FALSE(downlib::engine::copy_settings(param)) << "SavePath is at most 259 bytes";
  downlib::release_task_param(param);
}

}  // namespace
