// A main window on scripted prompts and an in-memory settings store, with
// helpers to reach its components by name.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include <QAction>
#include <QLabel>
#include <QListWidget>

#include "settings/settings_store.h"
#include "support/scripted_prompts.h"
#include "support/test_support.h"
#include "ui/disk_map.h"
#include "ui/hex_view.h"
#include "ui/main_window.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace velloran::test {

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : window(std::make_unique<TFMain>(prompts, store)) { window->resize(1240, 820); }

  template <typename T>
  T* Find(const char* name) const {
    T* child = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  QAction* Action(const char* name) const { return Find<QAction>(name); }
  QString Text(const char* label) const { return Find<QLabel>(label)->text(); }
  DiskMap* Map() const { return Find<DiskMap>("zxd"); }
  HexView* Pane() const { return Find<HexView>("s1"); }
  TZX_Disk& Disk() const { return window->Disk(); }

  // A left click on map cell (column, row), as the map reports it.
  void Click(int column, int row) const {
    Map()->SetCurrentCell(column, row);
    window->OnMapClick();
  }

  // Loads an image through the load command's dialog.
  void LoadThroughDialog(const std::filesystem::path& file) {
    prompts.QueueOpen({QString::fromStdString(file.string())});
    OnLoadImage(*window);
  }

  ScriptedPrompts prompts;
  MemorySettingsStore store;
  std::unique_ptr<TFMain> window;
  ScratchDir dir;
};

// A TR-DOS disk of 160 tracks with a marker in each sector's first bytes.
void MakeMarkedTrdosDisk(TZX_Disk& disk);

// Track 0 with one weak sector (R 1, 256 bytes of 0..255, CRC bad) and two
// further copies: copy c has A0+c at 0x40 and EE at 0x41+c.
void MakeWeakSectorDisk(TZX_Disk& disk);

}  // namespace velloran::test
