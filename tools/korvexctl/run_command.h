// Runs one korvexctl command through the library's exported functions.
#pragma once

#include "invocation.h"
#include "result.h"

namespace korvexctl {

Result runCommand(const Invocation& inv);

}  // namespace korvexctl
