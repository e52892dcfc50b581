#include "korvex/recovery/event_log.h"

#include <cstdio>
#include <span>

#include "korvex/common/files.h"
#include "korvex/recovery/library_files.h"

namespace korvex::recovery {

namespace {

// One byte per character, as the log has always been written.
std::string singleByte(const char16_t* text, std::size_t maxUnits) {
  std::string out;
  for (std::size_t i = 0; i < maxUnits && text[i] != u'\0'; ++i) {
    const char16_t c = text[i];
    if (c > 0xFF) {
      out += '?';
    } else if (c < 0x20 || c == 0x7F) {
      out += ' ';
    } else {
      out += static_cast<char>(static_cast<unsigned char>(c));
    }
  }
  return out;
}

}  // namespace

std::string formatLogLine(const seam::LocalTime& time, const AutoCheckRecord& record,
                          RecoveryEvent event) {
  char head[64];
  std::snprintf(head, sizeof head, "%d/%02d/%02d %02d:%02d:%02d,", time.year, time.month, time.day,
                time.hour, time.minute, time.second);
  char ids[48];
  std::snprintf(ids, sizeof ids, ",%d,0x%04X,0x%04X,", static_cast<int>(event), record.idVendor,
                record.idProduct);
  std::string line = head + singleByte(record.controllerSerial, kStringUnits) + ids;
  std::string product = singleByte(record.product, kStringUnits);
  const std::size_t room = kMaxLogLine - 2 > line.size() ? kMaxLogLine - 2 - line.size() : 0;
  if (product.size() > room) product.resize(room);
  return line + product + "\r\n";
}

bool AppendLogLine(seam::Clock& clock, const std::filesystem::path& folder,
                   const AutoCheckRecord& record, RecoveryEvent event, const StopSignal* stop) {
  const std::string line = formatLogLine(clock.localTime(), record, event);
  return files::appendShared(
      folder / kLogFileName,
      std::span(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()), stop);
}

}  // namespace korvex::recovery
