#include "app/cli/text_table.h"

#include <algorithm>

namespace velloran::cli {

namespace {

// Characters of UTF-8 text: its bytes that do not continue a character.
std::size_t Characters(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Line(std::span<const TableColumn> columns, const std::vector<std::string>& cells,
                 const std::vector<std::size_t>& widths, std::size_t gap) {
  std::string line;
  for (std::size_t i = 0; i < columns.size() && i < cells.size(); ++i) {
    const std::string padding(widths[i] - Characters(cells[i]), ' ');
    if (i > 0) line += std::string(gap, ' ');
    const bool last = i + 1 == columns.size();
    line += columns[i].rightAligned ? padding + cells[i] : cells[i] + (last ? "" : padding);
  }
  return line + '\n';
}

}  // namespace

std::string TextTable(std::span<const TableColumn> columns, const std::vector<std::vector<std::string>>& rows,
                      std::size_t gap) {
  std::vector<std::string> titles;
  std::vector<std::size_t> widths;
  for (const TableColumn& column : columns) {
    titles.push_back(MessageText(column.title));
    widths.push_back(std::max(column.minimumWidth, Characters(titles.back())));
  }
  for (const auto& row : rows)
    for (std::size_t i = 0; i < widths.size() && i < row.size(); ++i)
      widths[i] = std::max(widths[i], Characters(row[i]));
  std::string table = Line(columns, titles, widths, gap);
  for (const auto& row : rows) table += Line(columns, row, widths, gap);
  return table;
}

}  // namespace velloran::cli
