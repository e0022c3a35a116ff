#include "updater/tests/updater_test_support.h"

#include <gtest/gtest.h>
#include <wincrypt.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/path.h"
#include "runtime/runtime_app.h"
#include "units/window_units.h"
#include "updater/main_window_units.h"
#include "updater/program_image.h"
#include "updater/updater_state.h"

namespace updater::testing {
namespace {

units::WindowUnits& the_layer() {
  static units::WindowUnits layer;
  return layer;
}

int32_t no_entry() { return 0; }

class RunningUpdater : public ::testing::Environment {
 public:
  void SetUp() override {
    static rt::RuntimeApp app(program_header(), no_entry, the_layer());
    app.initialise();
    set_config_url(server().url("/xiazaiqi/xiazai2.txt"));
  }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new RunningUpdater);

// MD5 by the system's crypto provider: an independent judge of the digests.
std::string system_md5(const std::string& bytes) {
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  std::string hex;
  if (CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) &&
      CryptCreateHash(provider, CALG_MD5, 0, 0, &hash) &&
      CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()), 0)) {
    BYTE digest[16];
    DWORD size = sizeof digest;
    if (CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0)) {
      char part[3];
      for (BYTE b : digest) {
        std::snprintf(part, sizeof part, "%02x", b);
        hex += part;
      }
    }
  }
  if (hash) CryptDestroyHash(hash);
  if (provider) CryptReleaseContext(provider, 0);
  return hex;
}

}  // namespace

const test_support::HttpServer& server() {
  static const test_support::HttpServer found = test_support::find_http_server();
  return found;
}

std::string program_directory() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string directory = path;
  return directory.substr(0, directory.rfind('\\') + 1);
}

void put_program_file(const std::string& name, const std::string& bytes) {
  const std::string path = program_directory() + name;
  if (bytes.empty()) {
    DeleteFileA(path.c_str());
    return;
  }
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

void publish_configuration(const std::string& text) {
  CreateDirectoryA(server().document_path("xiazaiqi").c_str(), nullptr);
  ASSERT_TRUE(server().write_document("xiazaiqi/xiazai2.txt", text));
}

std::string md5_hex(const std::string& bytes, bool upper_case) {
  std::string hex = system_md5(bytes);
  if (upper_case)
    for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return hex;
}

void pump() { rt::RuntimeApp::current()->process_pending_messages(); }

void close_main_window() {
  if (HWND window = static_cast<HWND>(the_layer().live_control(window::kMainWindow, 0))) DestroyWindow(window);
  pump();
}

void open_main_window() {
  close_main_window();
  ASSERT_TRUE(the_layer().load_window(window::kMainWindow, false, nullptr));
  pump();
}

HWND unit_handle(const char* name) {
  return static_cast<HWND>(the_layer().live_control(window::kMainWindow, window::unit_id(name)));
}

HWND main_window_handle() { return static_cast<HWND>(the_layer().live_control(window::kMainWindow, 0)); }

bool wait_until(const std::function<bool()>& condition, int timeout_ms) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (static_cast<int>(GetTickCount() - start) > timeout_ms) return false;
    pump();
    Sleep(2);
  }
  return true;
}

BoxRecorder::BoxRecorder() : m_boxes(std::make_shared<std::vector<Box>>()), m_capture(IDOK) {
  auto boxes = m_boxes;
  m_capture.on_seen([boxes](const test_support::SeenBox& seen) {
    boxes->push_back({seen.text, seen.caption, seen.owner});
  });
}

std::vector<std::string> BoxRecorder::texts() const {
  std::vector<std::string> texts;
  for (const Box& box : *m_boxes) texts.push_back(box.text);
  return texts;
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(platform::wide_path(path)), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_file(const std::string& path) {
  std::ifstream in(std::filesystem::path(platform::wide_path(path)), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(platform::wide_path(path)), error);
}

void make_directories(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(platform::wide_path(path)), error);
}

void remove_tree(const std::string& path) {
  std::error_code error;
  const std::filesystem::path root(platform::wide_path(path));
  // Read-only files would stop remove_all.
  for (auto it = std::filesystem::recursive_directory_iterator(root, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
    SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove_all(root, error);
}

std::string fresh_directory(const std::string& group, const std::string& name) {
  const std::string path = program_directory() + group + "\\" + name + "\\";
  remove_tree(path);
  make_directories(path);
  return path;
}

std::string configuration_for(const std::string& engine, const std::string& feature, const std::string& anti_cheat,
                              const std::string& tools, const std::string& path) {
  const std::string base = server().url(path);
  auto section = [&](const char* name, const std::string& file, const std::string& content) {
    return std::string("[") + name + "]\r\nURL=" + base + file + "\r\nMD5=" + md5_hex(content) + "\r\n";
  };
  return section("霁川", "jc-test.zip", engine + "-test") + section("正式", "jc.zip", engine) +
         section("功能", "gn.zip", feature) + section("反挂", "fg.zip", anti_cheat) + section("其他", "gj.zip", tools);
}

}  // namespace updater::testing
