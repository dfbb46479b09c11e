// The command line's tables: titled columns, each as wide as its title or
// its widest cell, so the columns line up in either language.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "common/messages.h"

namespace velloran::cli {

struct TableColumn {
  MessageId title;
  bool rightAligned = false;
  std::size_t minimumWidth = 0;
};

// The title line and one line per row, each ending in a newline. Columns are
// separated by `gap` spaces; a left-aligned last column is not padded.
std::string TextTable(std::span<const TableColumn> columns, const std::vector<std::vector<std::string>>& rows,
                      std::size_t gap);

}  // namespace velloran::cli
