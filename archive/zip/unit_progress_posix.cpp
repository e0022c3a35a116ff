#include "archive/zip/unit_progress.h"

namespace archive {
namespace {

class NoUnit final : public zip::UnpackProgress {
 public:
  zip::ProgressAnswer report(int32_t) override { return zip::ProgressAnswer::Continue; }
};

}  // namespace

std::unique_ptr<zip::UnpackProgress> unit_progress(uint32_t, uint32_t) { return std::make_unique<NoUnit>(); }

}  // namespace archive
