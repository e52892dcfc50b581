// The event log "korvex.log" as korvexctl shows it: one row per line,
// oldest first, with the event code that the program's viewer leaves out.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "client/log_lines.h"
#include "result.h"
#include "text_table.h"

namespace korvexctl {

// The whole file's bytes; empty when it does not exist or cannot be read.
std::string readLogBytes(const std::filesystem::path& file);

// The code with what it means: "0 not configured", "2 other device",
// "3 absent"; any other text as it stands.
std::string eventText(const std::u16string& code);

const TableRow& logTableHeader();
TableRow logTableRow(int number, const korvex::client::LogFields& line);
nlohmann::json logJson(int number, const korvex::client::LogFields& line);

// recovery log: the table of the library's log file.
Result showLog(const std::vector<std::string>& args);

}  // namespace korvexctl
