// The frame of the catalog window tests: a document holding the small TR-DOS
// test disk with its catalog read, scripted questions and the windows a catalog
// window works with.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "document/document.h"
#include "support/scripted_prompts.h"
#include "trdos/catalog.h"
#include "trdos_test_disk.h"
#include "ui/catalog_window_support.h"
#include "ui/entry_editor.h"
#include "ui/viewer_window.h"

namespace velloran::test {

class CatalogFixture : public ::testing::Test {
 protected:
  CatalogFixture() {
    MakeTestDisk(disk_);
    EXPECT_TRUE(ReadCatalog(disk_, catalogs_.SharedCatalog));
    catalogs_.CatalogEditable = true;
  }

  // The stored 8-byte name of catalog entry `entry`.
  std::string EntryName(int entry) { return std::string(reinterpret_cast<const char*>(EntryBytes(disk_, entry)), 8); }

  MemorySettingsStore store_;
  Document document_{store_};
  TZX_Disk& disk_ = document_.Disk();
  CatalogState& catalogs_ = document_.Catalogs();
  Settings& settings_ = document_.Options();
  ScriptedPrompts prompts_;
  FileViewer viewer_;
  EntryEditor editor_;
};

}  // namespace velloran::test
