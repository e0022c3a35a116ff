#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/testing/http_server.h"
#include "platform/testing/message_box_capture.h"

// The updater's program running inside the test process, its program
// directory (the test's own directory) and the local web server that
// publishes its remote configuration.
namespace updater::testing {

const test_support::HttpServer& server();
std::string program_directory();  // ends in "\"

// Writes (or with empty bytes removes) a file in the program directory.
void put_program_file(const std::string& name, const std::string& bytes);
// Publishes a remote configuration text.
void publish_configuration(const std::string& text);
std::string md5_hex(const std::string& bytes, bool upper_case = false);

// Loads the main window afresh; its creation runs the first check.
void open_main_window();
void close_main_window();
HWND unit_handle(const char* name);
void pump();

HWND main_window_handle();
// Handles window messages until the condition holds or the time is up.
bool wait_until(const std::function<bool()>& condition, int timeout_ms = 5000);

// Every message box the window thread opens while this lives, in order,
// each answered with OK.
class BoxRecorder {
 public:
  struct Box {
    std::string text;
    std::string caption;
    HWND owner;
  };
  BoxRecorder();
  const std::vector<Box>& boxes() const { return *m_boxes; }
  std::vector<std::string> texts() const;

 private:
  std::shared_ptr<std::vector<Box>> m_boxes;
  test_support::MessageBoxCapture m_capture;
};

// Files by GBK path, through the wide functions.
void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
bool exists(const std::string& path);
void make_directories(const std::string& path);  // every missing level
void remove_tree(const std::string& path);
// A fresh, empty directory program_directory() + group + "\" + name, ending in "\".
std::string fresh_directory(const std::string& group, const std::string& name);

// A configuration in the published form for the given archive contents,
// each served as <path>jc.zip, gn.zip, fg.zip, gj.zip (jc-test.zip for the
// test edition).
std::string configuration_for(const std::string& engine, const std::string& feature, const std::string& anti_cheat,
                              const std::string& tools, const std::string& path = "/packages/");

}  // namespace updater::testing
