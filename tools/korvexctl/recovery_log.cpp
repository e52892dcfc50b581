#include "recovery_log.h"

#include <fstream>
#include <iterator>

#include "korvex/common/utf16.h"
#include "library_folder.h"

namespace korvexctl {

namespace {

using korvex::toUtf8;

}  // namespace

std::string readLogBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string eventText(const std::u16string& code) {
  if (code == u"0") return "0 not configured";
  if (code == u"2") return "2 other device";
  if (code == u"3") return "3 absent";
  return toUtf8(code);
}

const TableRow& logTableHeader() {
  static const TableRow kHeader{"No",  "Date Time", "PIC Serial",  "Event",
                                "VID", "PID",       "Product Name"};
  return kHeader;
}

TableRow logTableRow(int number, const korvex::client::LogFields& line) {
  return {std::to_string(number), toUtf8(line.dateTime), toUtf8(line.serial), eventText(line.event),
          toUtf8(line.vid),       toUtf8(line.pid),      toUtf8(line.product)};
}

nlohmann::json logJson(int number, const korvex::client::LogFields& line) {
  return {{"no", number},
          {"dateTime", toUtf8(line.dateTime)},
          {"serial", toUtf8(line.serial)},
          {"event", toUtf8(line.event)},
          {"vid", toUtf8(line.vid)},
          {"pid", toUtf8(line.pid)},
          {"product", toUtf8(line.product)}};
}

Result showLog(const std::vector<std::string>& args) {
  if (!args.empty()) return badArgument("recovery log takes no arguments");
  const auto file = logFilePath();
  const auto lines = korvex::client::splitLogLines(readLogBytes(file));
  std::vector<TableRow> table{logTableHeader()};
  nlohmann::json events = nlohmann::json::array();
  int number = 0;
  for (const auto& line : lines) {
    const auto fields = korvex::client::splitLogLine(line);
    ++number;
    table.push_back(logTableRow(number, fields));
    events.push_back(logJson(number, fields));
  }
  std::string text = formatTable(table);
  if (lines.empty()) text += "\n(no events in " + file.string() + ")";
  return done({{"file", file.string()}, {"events", events}}, text);
}

}  // namespace korvexctl
