// A table for the terminal: columns padded to their widest cell.
#pragma once

#include <string>
#include <vector>

namespace korvexctl {

using TableRow = std::vector<std::string>;

// The rows (the header first), UTF-8 cells, two spaces between columns and
// no trailing blanks, one line per row without a final newline. Widths count
// characters, not bytes.
std::string formatTable(const std::vector<TableRow>& rows);

}  // namespace korvexctl
