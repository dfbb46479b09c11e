// The commands of the main window's menus, the map's context menu and the
// buttons under the hex pane and the comments, each named by what it does.
// Each acts on the window it is given; the menu table says which item runs
// which, and RefreshState follows every one of them.
#pragma once

#include <string>
#include <vector>

#include <QString>

#include "common/messages.h"
#include "document/command.h"

namespace velloran {

class Document;
class Prompts;
class TFMain;

// The image menu (main_window_files.cpp, main_window_edit.cpp, main_window_rescue.cpp).
void OnNewTrdosDisk(TFMain& window);
void OnNewCpmDisk(TFMain& window);
void OnLoadUdf(TFMain& window);  // the program's own whole-disk file
void OnLoadImage(TFMain& window);
void OnMergeImages(TFMain& window);
void OnRecentFilesMenu(TFMain& window);  // the submenu opens: one item per image
void OnUseBaseTrack(TFMain& window);
void OnShowTrdosCatalog(TFMain& window);
void OnShowCpmCatalog(TFMain& window);
void OnClearImage(TFMain& window);
void OnSaveUdf(TFMain& window);
void OnSaveImage(TFMain& window);
void OnExit(TFMain& window);
// The disk and controller menus (main_window_disk.cpp).
void OnExplainDriveProblem(TFMain& window);
void OnScanTracks(TFMain& window);
void OnReadSectors(TFMain& window);
void OnScanAndRead(TFMain& window);
void OnFastRead(TFMain& window);
void OnFormatDisk(TFMain& window);
void OnWriteDisk(TFMain& window);
void OnFormatAndWrite(TFMain& window);
void OnReadDriveCatalog(TFMain& window);
void OnResetController(TFMain& window);
void OnOpenSettings(TFMain& window);
// The view and help menus (main_window_menus.cpp, main_window_plots.cpp).
void OnZoomIn(TFMain& window);
void OnZoomOut(TFMain& window);
void OnZoomReset(TFMain& window);
void OnToggleLegend(TFMain& window);
void OnToggleDiskPicture(TFMain& window);
void OnShowTrackFlux(TFMain& window);
void OnAbout(TFMain& window);
// The map's context menu: the right-clicked cell (main_window_edit.cpp).
void OnEditSectorAddress(TFMain& window);
void OnSetBaseTrack(TFMain& window);
void OnRemoveTrack(TFMain& window);
void OnAddTrack(TFMain& window);
void OnRemoveSector(TFMain& window);
void OnAddSector(TFMain& window);
void OnSectorsToRaw(TFMain& window);
void OnClearTrack(TFMain& window);
// The buttons under the hex pane and the comments memo.
void OnAcceptPaneEdits(TFMain& window);
void OnSavePane(TFMain& window);
void OnTakeComments(TFMain& window);

// A disk made in memory is shown from its first cell, with no file name.
void ShowNewDisk(TFMain& window);
// The disk in memory is now the drive's: it belongs to no file.
void ShowDiskFromDrive(TFMain& window);
// Error messages, one box each.
void ShowErrors(Prompts& prompts, const std::vector<Phrase>& messages);

// The save dialog and the save; false when nothing was saved.
bool SaveImageAs(TFMain& window);
// A file of the recent-files menu: loaded, or, when gone, taken off the list.
void OpenRecentFile(TFMain& window, const QString& file);
// Default extension for a 1-based filter index of the save dialog.
QString SaveFilterExtension(int filterIndex);
// True when `file` does not exist or the user agrees to overwrite it.
bool AskOverwrite(Prompts& prompts, const QString& file);
// Why a command cannot be used, in words; empty when it can.
QString BlockerText(const Document& document, Blocker blocker);

}  // namespace velloran
