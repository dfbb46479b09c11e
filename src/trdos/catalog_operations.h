// The operations of the TR-DOS catalog window on the catalog record and the
// disk in memory: delete, restore, rename the disk, edit an entry, compact.
// Each works on state.SharedCatalog, writes the catalog back at once, sets
// state.CatalogChanged as the window does, and returns what to show.
// Questions are asked by the window before it calls an operation (two steps:
// the question texts are given here, the answer decides whether to call).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/disk.h"
#include "trdos/catalog.h"
#include "trdos/message.h"

namespace velloran {

// What an operation did: the messages to show in order, and whether the
// window's list and disk information must be rebuilt.
struct OperationResult {
  std::vector<Message> Messages;
  bool Refresh = false;
};

// A text-entry dialog of the window: caption, text, edit label and limits.
struct TextDialog {
  Phrase Caption;
  Phrase Text;
  Phrase Label;
  int MaxLength = 0;
  Phrase AcceptButton{MessageId::DialogAccept};
  Phrase CancelButton{MessageId::DialogCancel};
  std::string InitialText;
};

// Delete: the question, then the deletion of the selected rows' entries.
Message DeleteQuestion();
OperationResult DeleteFiles(CatalogState& state, TZX_Disk& disk, const std::vector<int>& selectedRows,
                            bool showDeleted);

// Restore one deleted entry: the dialog, then the first letter entered
// (UTF-8; an empty text changes nothing).
TextDialog RestoreDialog();
OperationResult RestoreFile(CatalogState& state, TZX_Disk& disk, int entry, const std::string& letter);

// Rename the disk: the dialog (filled with the label), then the new name.
TextDialog RenameDiskDialog(const TrdosCatalog& catalog);
OperationResult RenameDisk(CatalogState& state, TZX_Disk& disk, const std::string& newName);

// Edit one entry through the editor window's fields.
struct EntryEditorFields {
  std::string Name;  // UTF-8; "?" and bytes 2..8 for a deleted entry
  std::string Type;  // one character
  std::uint16_t Start = 0;
  std::uint16_t Length = 0;
  std::uint8_t FileSectors = 0;
  std::uint8_t FirstSector = 0;
  std::uint8_t FirstTrack = 0;
};
EntryEditorFields EntryEditorFieldsOf(const TrdosEntry& entry);
// Called when the editor was accepted. An empty type keeps the stored type.
OperationResult EditEntry(CatalogState& state, TZX_Disk& disk, int entry, const EntryEditorFields& fields);

// Compaction: the question, then moving the live files together.
Message CompactQuestion();
OperationResult CompactCatalog(CatalogState& state, TZX_Disk& disk);

// Writes the catalog back; when that fails, reads the catalog again so the
// record stays what the disk holds, and adds the message to the result.
void WriteCatalogBack(CatalogState& state, TZX_Disk& disk, OperationResult& result);

}  // namespace velloran
