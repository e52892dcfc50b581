#include "client/log_file_name.h"

namespace korvex::client {

std::u16string logFilePath(std::u16string_view executablePath) {
  const std::size_t lastSeparator = executablePath.find_last_of(u"\\/");
  const std::size_t folderLength =
      lastSeparator == std::u16string_view::npos ? 0 : lastSeparator + 1;
  return std::u16string(executablePath.substr(0, folderLength)) + u"korvex.log";
}

}  // namespace korvex::client
