// Why a library call failed (Hub_GetLastError's code), as korvexctl
// reports it: an exit code, an error name for scripts and a message.
#pragma once

#include <string>

#include "result.h"

namespace korvexctl {

// Added to the message when a controller cannot be opened: on Linux, what
// gives a user access to its hidraw node.
#ifdef _WIN32
inline constexpr const char* kAccessHint = "";
#else
inline constexpr const char* kAccessHint =
    " (to reach /dev/hidraw* without root, install the udev rule 70-korvex.rules and plug "
    "the hub in again, or join the korvex group: see README, Linux)";
#endif

// A failed controller command on serial: exit 4 when the controller did not
// reply within replyTimeoutMs, 3 when it is missing or cannot be spoken to.
Result controllerFailure(int reason, const std::string& serial, unsigned replyTimeoutMs);

// A failure the command does not expect: exit 1, "what: <the reason>".
Result libraryFailure(int reason, const std::string& what);

}  // namespace korvexctl
