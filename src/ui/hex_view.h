// A hex pane: shows a byte buffer 16 bytes a line with hex offsets, one
// column per byte and a character column; can be edited byte by byte, marks
// the changed bytes, copies its buffer back and saves it to a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <QAbstractScrollArea>

#include "common/bytes.h"
#include "common/codepages.h"

namespace velloran {

class HexView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr int kBytesPerLine = 16;

  explicit HexView(QWidget* parent = nullptr);

  // Shows a new buffer; change marks are cleared and the cursor goes to 0.
  void SetData(ByteSpan bytes);
  void Clear() { SetData({}); }
  const Bytes& Data() const { return data_; }
  int Size() const { return static_cast<int>(data_.size()); }

  void SetReadOnly(bool readOnly);
  bool IsReadOnly() const { return readOnly_; }

  // Code page of the character column (Windows-1251 unless told otherwise).
  void SetCodePage(CodePage page);

  // Changes one byte as an edit would: marks it and reports it. Refused
  // (false) when the view is read-only or the index is outside the buffer.
  bool EditByte(int index, std::uint8_t value);
  bool IsChanged(int index) const;
  // Marks bytes to stand out (where copies of a weak sector differ); SetData
  // clears the marks.
  void SetMarks(std::vector<bool> marks);
  bool IsMarked(int index) const { return index >= 0 && index < static_cast<int>(marks_.size()) && marks_[index]; }
  bool AnyChanged() const;
  void ClearChangeMarks();

  // Copies the buffer into `target`, at most `maxLength` bytes; returns the
  // number of bytes copied.
  std::size_t CopyTo(std::uint8_t* target, std::size_t maxLength) const;
  // Writes the buffer to a file (atomically); clears the change marks on
  // success. On failure returns false with a message in `error`.
  bool SaveToFile(const std::filesystem::path& file, std::string& error);

  int CurrentPosition() const { return position_; }
  void SetCurrentPosition(int position);

  // The line text as drawn: "0010:" for line 1 of a short buffer.
  QString OffsetText(int line) const;
  // Where byte `index` is drawn in the viewport: its hex cell, or its cell
  // of the character column.
  QRect ByteCellRect(int index, bool characterColumn) const;
  // Which column the keyboard types into.
  bool EditingCharacters() const { return inCharacters_; }

  QSize sizeHint() const override;

 signals:
  // A byte was changed by an edit.
  void ByteChanged(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  struct Metrics {
    int charWidth;
    int lineHeight;
    int ascent;
    int offsetWidth;  // offset text and the gap after it
    int byteWidth;    // one hex byte column
    int charsLeft;    // x of the character column
    int totalWidth;
  };
  Metrics Measure() const;
  int LineCount() const;
  int OffsetDigits() const;
  void UpdateScrollBars();
  void EnsureVisible(int position);
  void MoveTo(int position);
  void TypeHexDigit(int digit);
  void TypeCharacter(const QString& text);

  Bytes data_;
  std::vector<bool> changed_;
  std::vector<bool> marks_;
  bool readOnly_ = true;
  CodePage codePage_ = CodePage::Cp1251;
  int position_ = 0;
  bool inCharacters_ = false;
  bool secondNibble_ = false;
};

}  // namespace velloran
