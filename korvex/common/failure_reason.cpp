#include "korvex/common/failure_reason.h"

namespace korvex {

namespace {

// Constant-initialised: no thread pays for it before its first failure.
thread_local FailureReason lastReason = FailureReason::None;

}  // namespace

void setFailureReason(FailureReason reason) noexcept {
  lastReason = reason;
}

FailureReason failureReason() noexcept {
  return lastReason;
}

}  // namespace korvex
