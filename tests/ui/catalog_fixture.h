// The frame of the catalog window tests: the small TR-DOS test disk with its
// catalog read, the settings, scripted questions and the windows a catalog
// window works with.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "settings/settings_store.h"
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
    catalogs_.CatalogEditable = 1;
  }

  // The stored 8-byte name of catalog entry `entry`.
  std::string EntryName(int entry) { return std::string(reinterpret_cast<const char*>(EntryBytes(disk_, entry)), 8); }

  TZX_Disk disk_;
  CatalogState catalogs_;
  Settings settings_;
  MemorySettingsStore store_;
  ScriptedPrompts prompts_;
  FileViewer viewer_;
  EntryEditor editor_;
  CatalogWindowContext context_{disk_, catalogs_, settings_, store_, prompts_};
};

}  // namespace velloran::test
