// ReadConfigItem and WriteConfigItem. One set of expectations for both
// builds: under Wine they run on the system's private-profile functions,
// natively on our own reader and writer.
#include <gtest/gtest.h>

#include "runtime/commands/tests/command_test_support.h"

namespace kernel_test {
namespace {

const std::string kRemote =
    "[霁川]\r\n"
    "URL=http://127.0.0.1/a.zip\r\n"
    "MD5=0123456789abcdef0123456789abcdef\r\n"
    "\r\n"
    "  [功能]  \r\n"
    "  url  =   http://127.0.0.1/b.zip   \r\n"
    "Quoted=\"  kept inside  \"\r\n"
    "Single='x'\r\n"
    "NoEquals\r\n"
    "Empty=\r\n"
    "[Download]\n"
    "Auto=1\n"
    "auto=2\n"
    "[download]\n"
    "Time=48\n"
    "[\xB0\x41]\n"
    "k=two-byte\n";

std::string read_item(const std::string& file, const std::string& section, const std::string& key,
                      const rt::ArgValue& default_value = omitted()) {
  return call_text(kReadConfigItem, {text(file), text(section), text(key), default_value});
}

TEST(ReadConfigItem, finds_sections_and_keys_without_regard_to_case_or_blanks) {
  ScratchDirectory directory("配置读取");
  const std::string file = directory / "远程.ini";
  write_file(file, kRemote);
  const std::string fallback = "默认";
  const std::string padded_fallback = "默认  ";
  const std::string quoted_fallback = "\"q\"";
  const struct {
    std::string section;
    std::string key;
    rt::ArgValue default_value;
    std::string expected;
  } cases[] = {
      {"霁川", "URL", omitted(), "http://127.0.0.1/a.zip"},
      {"霁川", "md5", omitted(), "0123456789abcdef0123456789abcdef"},
      {"功能", "URL", omitted(), "http://127.0.0.1/b.zip"},
      {" 功能 ", "URL", omitted(), "http://127.0.0.1/b.zip"},
      {" 功能 ", "quoted", omitted(), "  kept inside  "},
      {" 功能 ", "single", omitted(), "x"},
      {" 功能 ", "NoEquals", text(fallback), "默认"},
      {" 功能 ", "Empty", text(fallback), ""},
      {" 功能 ", "Missing", omitted(), ""},
      {" 功能 ", "Missing", text(fallback), "默认"},
      {" 功能 ", "Missing", text(padded_fallback), "默认"},
      {" 功能 ", "Missing", text(quoted_fallback), "q"},
      {"DOWNLOAD", "AUTO", omitted(), "1"},          // the first of two equal keys
      {"Download", "Time", text(fallback), "默认"},  // only the first section of a name counts
      {"  Download", "  Auto", omitted(), "1"},
      {"Download  ", "Auto  ", omitted(), "1"},
      {"\xB0\x61", "k", omitted(), ""},  // a trail byte in the letter range does not fold
      {"\xB0\x41", "k", omitted(), "two-byte"},
      {"其他", "URL", text(fallback), "默认"},
  };
  int index = 0;
  for (const auto& c : cases) {
    EXPECT_EQ(read_item(file, c.section, c.key, c.default_value), c.expected)
        << "case " << index << ": [" << shown(c.section) << "] " << shown(c.key);
    ++index;
  }
}

TEST(ReadConfigItem, empty_names_give_the_empty_text_even_with_a_default) {
  ScratchDirectory directory("配置空名");
  const std::string file = directory / "a.ini";
  write_file(file, "[s]\r\nk=v\r\n");
  const std::string fallback = "d";
  EXPECT_EQ(read_item(file, "", "k", text(fallback)), "");
  EXPECT_EQ(read_item(file, " \t", "k", text(fallback)), "");
  EXPECT_EQ(read_item(file, "s", "", text(fallback)), "");
  EXPECT_EQ(read_item("", "s", "k", text(fallback)), "");
  EXPECT_EQ(read_item(" " + file, "s", "k"), "v");  // leading blanks of the file name are skipped
  EXPECT_EQ(read_item(directory / "missing.ini", "s", "k", text(fallback)), "d");
}

TEST(ReadConfigItem, values_stop_at_10239_bytes) {
  ScratchDirectory directory("配置长值");
  const std::string file = directory / "long.ini";
  write_file(file, "[s]\r\nk=" + std::string(12000, 'x') + "\r\n");
  EXPECT_EQ(read_item(file, "s", "k"), std::string(10239, 'x'));
}

TEST(WriteConfigItem, creates_sets_and_deletes_keys_and_sections) {
  ScratchDirectory directory("配置写入");
  const std::string file = directory / "Config.ini";
  const auto write = [&](const std::string& section, const rt::ArgValue& key, const rt::ArgValue& value) {
    return call_bool(kWriteConfigItem, {text(file), text(section), key, value});
  };
  const std::string auto_key = "Auto";
  const std::string time_key = "Time";
  const std::string version_key = "版本";
  const std::string one = "1";
  const std::string zero = "0";
  const std::string hours = "  24";

  ASSERT_TRUE(write("Download", text(auto_key), text(one)));
  EXPECT_TRUE(file_exists(file));
  ASSERT_TRUE(write("download", text(time_key), text(hours)));
  ASSERT_TRUE(write("霁川版本", text(version_key), text(zero)));
  ASSERT_TRUE(write("DOWNLOAD", text(auto_key), text(zero)));
  EXPECT_EQ(read_item(file, "Download", "Auto"), "0");
  EXPECT_EQ(read_item(file, "Download", "Time"), "24");
  EXPECT_EQ(read_item(file, "霁川版本", "版本"), "0");

  // The key stays once in its section, whatever case it was written in; the
  // file is what the Windows functions write.
  const std::string expected_file = "[Download]\r\nAuto=0\r\nTime=24\r\n[霁川版本]\r\n版本=0\r\n";
  EXPECT_EQ(read_file(file), expected_file) << shown(read_file(file));

  ASSERT_TRUE(write("Download", text(auto_key), omitted()));
  EXPECT_EQ(read_item(file, "Download", "Auto", text(one)), "1");  // gone: the default
  EXPECT_EQ(read_item(file, "Download", "Time"), "24");

  ASSERT_TRUE(write("download", omitted(), omitted()));
  EXPECT_EQ(read_item(file, "Download", "Time"), "");
  EXPECT_EQ(read_item(file, "霁川版本", "版本"), "0");
  EXPECT_EQ(read_file(file).find("Download"), std::string::npos) << shown(read_file(file));
}

TEST(WriteConfigItem, keeps_what_it_does_not_change) {
  ScratchDirectory directory("配置保留");
  const std::string file = directory / "keep.ini";
  write_file(file, "[a]\r\nx=1\r\n[b]\r\ny=2\r\n");
  const std::string key = "z";
  const std::string value = "3";
  ASSERT_TRUE(call_bool(kWriteConfigItem, {text(file), text("a"), text(key), text(value)}));
  EXPECT_EQ(read_item(file, "a", "x"), "1");
  EXPECT_EQ(read_item(file, "a", "z"), "3");
  EXPECT_EQ(read_item(file, "b", "y"), "2");
  EXPECT_EQ(read_item(file, "b", "z"), "");
  EXPECT_EQ(read_file(file), "[a]\r\nx=1\r\nz=3\r\n[b]\r\ny=2\r\n") << shown(read_file(file));
}

TEST(WriteConfigItem, fails_where_the_file_cannot_be_made) {
  ScratchDirectory directory("配置失败");
  const std::string key = "k";
  const std::string value = "v";
  EXPECT_FALSE(call_bool(kWriteConfigItem, {text(directory / "no\\such.ini"), text("s"), text(key), text(value)}));
}

}  // namespace
}  // namespace kernel_test
