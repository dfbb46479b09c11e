// Every command of the desktop's menus and of the map's context menu, named
// by what it does, and the reasons one cannot be used at a given moment.
#pragma once

namespace velloran {

enum class Command {
  None,  // a menu bar entry or a separator: nothing to run
  // The image menu.
  CreateImageMenu,
  NewTrdosDisk,
  NewCpmDisk,
  LoadUdf,
  LoadImage,
  MergeImages,
  RecentFilesMenu,
  TrackTemplateMenu,
  EditBaseTemplate,
  UseBaseTrack,
  ShowTrdosCatalog,
  ShowCpmCatalog,
  ClearImage,
  SaveUdf,
  SaveImage,
  Exit,
  // The disk and controller menus.
  ExplainDriveProblem,
  FullRead,
  RawRead,
  ScanTracks,
  ReadSectors,
  ScanAndRead,
  FastRead,
  RereadBadSectors,
  FormatDisk,
  WriteDisk,
  FormatAndWrite,
  ReadDriveCatalog,
  ResetController,
  // The view, settings and help menus.
  ZoomIn,
  ZoomOut,
  ZoomReset,
  ToggleLegend,
  ToggleDiskPicture,
  ShowTrackFlux,
  OpenSettings,
  About,
  // The map's context menu: each acts on the right-clicked cell.
  ReadSector,
  ReadRawTrack,
  ReadTrackSectors,
  ScanTrack,
  EditSectorAddress,
  ImageOperationsMenu,
  SetBaseTrack,
  RemoveTrack,
  AddTrack,
  RemoveSector,
  AddSector,
  SectorsToRaw,
  RawToSectorHeaders,
  ClearTrack,
  ClearSectorData,
  ClearTrackSectorsData,
  ClearSectorHeader,
  ClearTrackSectorHeaders,
  ClearTrackLog,
  WriteSector,
  WriteTrack,
  FormatTrack,
};

// Why a command cannot be used now; None when it can.
enum class Blocker {
  None,
  NotInThisVersion,
  NoDisk,         // nothing in memory to act on
  NoDriver,       // no drive was made
  DriveUnusable,  // opening the drive failed (its messages say why)
  DriveNotOpen,   // the controller's drive is closed
  NoRecentFiles,
  NotOnPresentTrackLabel,  // the right-clicked cell is not the label of a track in the image
  NotOnAbsentTrackLabel,   // ... not the label of a track removed from the image
  NotOnRawTrackLabel,      // ... not the label of a track holding a raw image
  NotOnUsedSlot,           // ... not a sector
  NotOnAddableSlot,        // ... not the empty slot right after a track's last sector
};

}  // namespace velloran
