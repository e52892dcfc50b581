#include "library_failure.h"

#include <korvex.h>

#include <array>

namespace korvexctl {

namespace {

std::string reasonText(int reason) {
  static constexpr std::array<const char*, 13> kTexts{
      "no failure",  "no such controller", "no reply",      "device error", "bad argument",
      "no such hub", "no more entries",    "list full",     "not listed",   "already running",
      "not running", "thread failed",      "internal error"};
  if (reason < 0 || static_cast<std::size_t>(reason) >= kTexts.size()) {
    return "unknown reason " + std::to_string(reason);
  }
  return kTexts[static_cast<std::size_t>(reason)];
}

}  // namespace

Result controllerFailure(int reason, const std::string& serial, unsigned replyTimeoutMs) {
  switch (reason) {
    case KORVEX_ERROR_NO_REPLY:
      return fail(kNoReply, "no-reply",
                  "controller " + serial + " did not reply within " +
                      std::to_string(replyTimeoutMs) + " ms");
    case KORVEX_ERROR_NO_SUCH_CONTROLLER:
      return fail(kNoSuchController, "no-such-controller",
                  "no controller with serial " + serial + " was found");
    case KORVEX_ERROR_DEVICE_ERROR:
      return fail(kNoSuchController, "no-such-controller",
                  "the controller with serial " + serial + " could not be opened or written to" +
                      kAccessHint);
    case KORVEX_ERROR_BAD_ARGUMENT:
      return badArgument("the library refused the arguments for " + serial);
    default:
      return libraryFailure(reason, "the command on " + serial + " failed");
  }
}

Result libraryFailure(int reason, const std::string& what) {
  return fail(kFailed, "library-error", what + ": " + reasonText(reason));
}

}  // namespace korvexctl
