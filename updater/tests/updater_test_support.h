#pragma once

#include <windows.h>

#include <string>

#include "platform/testing/http_server.h"

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

// A configuration in the published form for the given archive contents.
std::string configuration_for(const std::string& engine, const std::string& feature, const std::string& anti_cheat,
                              const std::string& tools);

}  // namespace updater::testing
