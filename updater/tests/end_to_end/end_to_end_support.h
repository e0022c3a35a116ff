#pragma once

#include <string>

#include "updater/packages.h"

// What the end-to-end tests share: the demo packages built with the tests,
// where the test server serves them, and a download watched through the
// window until it ends.
namespace updater::testing {

// The bytes of a demo package archive ("霁川.zip", ...), as built by
// tools/demo_packages for these tests.
std::string demo_package(const char* archive);

// The file name a package is served under (configuration_for's names).
const char* served_name(Package package);

// Every test starts like a program run of its own, whatever ran before it in
// this process: a program directory without archives, partial files or
// staging directories, an empty Config.ini, and no speed shown yet (a
// program's first download shows its speed at its first read).
void start_like_a_fresh_program();

// Puts the four demo packages on the test server under /slow/ and publishes
// a configuration that points there.
void serve_demo_packages();

// What the window showed while a download ran, as seen between messages.
struct WatchedDownload {
  bool ended = false;          // the busy flag cleared within the time
  bool display_shown = false;  // the progress bar was visible
  std::string status_text;     // the last non-empty 标签_提示内容 while shown
  std::string speed_text;      // the last 标签_每秒速度 text that ended in "/S"
  int highest_position = 0;
  // Once the bar had moved and a speed was shown, the screen itself showed
  // the three: the status text and the speed drawn in the text colour, the
  // bar's fill in its own.
  bool screen_showed_progress = false;
};

// Presses the download button and handles messages until the download ends.
WatchedDownload download_through_the_window(const char* button, int timeout_ms = 120000);

}  // namespace updater::testing
