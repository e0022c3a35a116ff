#include "updater/engine_commands.h"

#include "runtime/command_call.h"
#include "runtime/memory.h"
#include "updater/kernel.h"

namespace updater::engine {
namespace {

rt::ArgValue object(downlib::DownloadObject& downloader) {
  return rt::ArgValue::of_ref(&downloader, downlib::kDownloadObjectTag);
}

bool offers(downlib::Command command) { return kernel::library_offers(downlib::kLibraryNumber, command); }

}  // namespace

Snapshot::~Snapshot() { rt::release(m_block); }

bool start(downlib::DownloadObject& downloader, downlib::TaskParam& param) {
  if (!offers(downlib::kStart)) return false;
  return rt::call_library_command(downlib::kLibraryNumber, downlib::kStart,
                                  {object(downloader), rt::ArgValue::of_ref(&param, downlib::kTaskParamTag)})
      .as_bool();
}

bool get_state(downlib::DownloadObject& downloader, Snapshot& snapshot) {
  if (!offers(downlib::kGetState)) return false;
  // The byte-set variable goes by reference: the payload is its address.
  return rt::call_library_command(downlib::kLibraryNumber, downlib::kGetState,
                                  {object(downloader), rt::ArgValue::of_ref(snapshot.variable(), rt::tag::kBytes)})
      .as_bool();
}

int32_t state_value(downlib::DownloadObject& downloader, const Snapshot& snapshot, StateKind kind) {
  if (!offers(downlib::kStateValue)) return -1;
  return rt::call_library_command(downlib::kLibraryNumber, downlib::kStateValue,
                                  {object(downloader), rt::ArgValue::of_bytes(snapshot.block()),
                                   rt::ArgValue::of_int(static_cast<int32_t>(kind)), rt::ArgValue::of_int(0)})
      .as_int();
}

int32_t take_received(downlib::DownloadObject& downloader) {
  if (!offers(downlib::kTakeReceived)) return 0;
  return rt::call_library_command(downlib::kLibraryNumber, downlib::kTakeReceived, {object(downloader)}).as_int();
}

void stop(downlib::DownloadObject& downloader) {
  if (offers(downlib::kStop)) rt::call_library_command(downlib::kLibraryNumber, downlib::kStop, {object(downloader)});
}

}  // namespace updater::engine
