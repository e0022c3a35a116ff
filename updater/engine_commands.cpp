#include "updater/engine_commands.h"

#include "runtime/command_call.h"
#include "runtime/memory.h"

namespace updater::engine {
namespace {

rt::ArgValue object(downlib::DownloadObject& downloader) {
  return rt::ArgValue::of_ref(&downloader, downlib::kDownloadObjectTag);
}

}  // namespace

Snapshot::~Snapshot() { rt::release(m_block); }

bool start(downlib::DownloadObject& downloader, downlib::TaskParam& param) {
  return rt::call_library_command(downlib::kLibraryNumber, downlib::kStart,
                                  {object(downloader), rt::ArgValue::of_ref(&param, downlib::kTaskParamTag)})
      .as_bool();
}

bool get_state(downlib::DownloadObject& downloader, Snapshot& snapshot) {
  // The byte-set variable goes by reference: the payload is its address.
  return rt::call_library_command(downlib::kLibraryNumber, downlib::kGetState,
                                  {object(downloader), rt::ArgValue::of_ref(snapshot.variable(), rt::tag::kBytes)})
      .as_bool();
}

int32_t state_value(downlib::DownloadObject& downloader, const Snapshot& snapshot, StateKind kind) {
  return rt::call_library_command(downlib::kLibraryNumber, downlib::kStateValue,
                                  {object(downloader), rt::ArgValue::of_bytes(snapshot.block()),
                                   rt::ArgValue::of_int(static_cast<int32_t>(kind)), rt::ArgValue::of_int(0)})
      .as_int();
}

int32_t take_received(downlib::DownloadObject& downloader) {
  return rt::call_library_command(downlib::kLibraryNumber, downlib::kTakeReceived, {object(downloader)}).as_int();
}

void stop(downlib::DownloadObject& downloader) {
  rt::call_library_command(downlib::kLibraryNumber, downlib::kStop, {object(downloader)});
}

}  // namespace updater::engine
