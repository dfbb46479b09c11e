// The message catalogue: every sentence the command line and the core show,
// by identifier, in Russian and in English, with numbered arguments ("{1}",
// "{2}", ...). A message is rendered in the process's language
// (common/language.h) when it is made; a new message is one identifier and
// one row of the table in messages.cpp.
#pragma once

#include <concepts>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/language.h"

namespace velloran {

enum class MessageId {
  // The command line's own words.
  CliUsageTitle,
  CliCommandsTitle,
  CliOptionsTitle,
  CliHelpOption,
  CliVersionOption,
  CliFormatsLine,
  CliFormatRule,
  CliUnknownCommand,
  CliUnknownOption,
  CliUsage,
  CliOptionNeedsValue,
  CliCannotLoadImage,
  CliCannotSaveImage,
  CliLost,
  CliLossyHint,
  CliNoTrdosFile,
  CliSeveralTrdosFiles,
  CliNoCpmFile,
  CliExclusiveOptions,
  CliUnknownCpmFormat,
  CliBadSectorNoData,
  CliBadSectorCrc,
  CliWrittenWithBadSectors,
  CliUnknownFormat,
  CliJobsNumber,
  CliNotAFolder,
  CliCannotCreateFolder,
  CliOutputReplacesInput,
  CliOutputTakenTwice,
  CliBatchFailed,
  CliBatchSummary,
  CliBatchLeftOut,
  CliOneImageOpened,
  // Files the program was asked to read.
  FileNotFound,
  FileNotRegular,
  FileTooLarge,
  FileReadError,
  // The TR-DOS catalogue.
  TrdosFilesAdded,
  // Readers, writers and the losses of a save.
  AtTrack,
  AtSector,
  LossNotHeld,
  LossNoDataField,
  LossDataCrcError,
  LossIdCrcError,
  LossDeletedMark,
  LossWeakCopies,
  LossFmRecording,
  LossDataRate,
  LossDeletedFile,
  LossDiskLabel,
  LossOutsideFiles,
  LossComment,
  LossRevolutions,
  LossDataBeyond,
  LossRawBytes,
  LossLongSector,
  SectorWithSizeCode,
  SectorOfBytes,
  ImageEmpty,
  ImageTooManyTracks,
  NoticeShortLastTrack,
  NoTracksToWrite,
  DumpSectorMissing,
  LossSectorNumberNotInFormat,
  LossDuplicateSector,
  LossSectorSize,
  Verbatim,
  FileCannotCreate,
  FileCannotWrite,
  FileNoWriteAccess,
  FileReadOnly,
  NotOfFormat,
  FileTooShort,
  FileHeaderError,
  FileLengthError,
  FileCrcError,
  TrackHeaderError,
  TrackLengthError,
  CompressedTrackError,
  FileCutShort,
  FileLongerThanHeader,
  TrackRateTooHigh,
  TrackTooFull,
  TrackSectorNotPlaced,
  TrackNotBuilt,
  FluxTooLarge,
  ScpTrackError,
  ScpFluxPastEnd,
  ScpCellWidth,
  ScpChecksumMismatch,
  TracksBeyondLeftOut,
  MfiTrackError,
  MfiTrackNotUnpacked,
  MfiTrackNotPacked,
  KryoFluxCannotOpen,
  KryoFluxBadName,
  KryoFluxNoStreams,
  KryoFluxBlockPastEnd,
  InFile,
  KryoFluxEndsEarly,
  FluxTracksWithoutRaw,
  MoreNotesInLogs,
  LossFluxCut,
  LossCylinderBeyond,
  OfCylinder,
  OfCylinders,
  NoticeBlankTracksBeyond,
  NoticeTracksBeyond,
  NoticeLossOnLoad,
  LossDataCut,
  LossTooManySectors,
  LossDeletedMarksLoaded,
  LossCopiesBeyondSlot,
  DskMisfitCopies,
  DskMisfitSizes,
  DskMisfitLength,
  DskStandardMisfit,
  DskStandardTracksTooLong,
  DskTrackTooLong,
  LossIdCrcWithDataCrc,
  LossCopiesNotHeld,
  CommentError,
  SectorRecordError,
  ImdTrackTwice,
  ImdCannotHold,
  MisfitSizeCode,
  EmptyFile,
  FdiTooManySectors,
  FdiGeometryError,
  HfeSideCountError,
  HfeNoCylinders,
  HfeImageCut,
  HfeFieldPastEnd,
  Td0VersionNotSupported,
  Td0HeaderCrcError,
  Td0OldCompression,
  Td0BlockPastEnd,
  SectorSizeError,
  FileFormatError,
  Td0Created,
  LossCommentLines,
  FileEndsEarly,
  LossLongText,
  UnsupportedFileType,
  FormatOnlyRead,
  ImageNotSaved,
  LossSummary,
  LossSummaryCount,
  LossRefusal,
  SclChecksumError,
  SclBadSignature,
  SclTooManyFiles,
  SclWrongFileSize,
  NoRoomOnDisk,
  NotTrdosDisk,
  SectorErrorAt,
  // Catalog operations and listings.
  CatalogErrorCaption,
  CatalogAttentionCaption,
  DialogAccept,
  DialogCancel,
  TrdosDeleteQuestion,
  TrdosRestoreCaption,
  TrdosRestoreText,
  TrdosRestoreLabel,
  TrdosRenameCaption,
  TrdosRenameText,
  TrdosRenameLabel,
  TrdosCompactQuestion,
  TrdosNoFilesSelected,
  FileExistsOverwrite,
  FileSavedWithBadSectors,
  SectorNoDataZeros,
  TrdosFileOnDisk,
  TrdosCannotStoreFile,
  TrdosFileTooSmall,
  TrdosCatalogFull,
  FileWrongChecksum,
  FileWrongSignature,
  FileWrongLength,
  NotStandardTrdosDisk,
  TrdosEightyTracks,
  TrdosFortyTracks,
  TrdosTracksUnknown,
  CpmDirectoryError,
  NotCpmDisk,
  CpmFromBootRecord,
  CpmDefinitionDetails,
  ColumnFilename,
  ColumnType,
  ColumnStart,
  ColumnLength,
  ColumnSectors,
  ColumnSector,
  ColumnTrack,
  ColumnUser,
  ColumnExtent,
  ColumnGood,
  ColumnBad,
  ColumnNoData,
  ColumnIdCrc,
  ColumnRaw,
  ColumnCopies,
  Yes,
  No,
  ListingDiskLabel,
  ListingDiskType,
  ListingFirstFreeSector,
  ListingFirstFreeTrack,
  ListingFreeSectors,
  ListingFiles,
  ListingDeletedFiles,
  ListingCpmFormat,
  ListingUsed,
  ListingFree,
  InfoImage,
  InfoFormat,
  FoundByExtension,
  FoundBySignature,
  FoundByContents,
  FoundBySize,
  InfoPresentTracks,
  InfoNote,
  InfoComment,
  InfoLostOnLoading,
  InfoContentHash,
  InfoHobetaFormat,
  InfoName,
  InfoType,
  InfoStart,
  InfoLength,
  InfoSectors,
  InfoChecksumGood,
  InfoChecksumBad,
  InfoDataBytes,
  InfoDataExpected,
  CliImageLocked,
  CliLossySavesAnyway,
  TrackProgress,
  PtyNotCreated,
  PtyNotOpened,
  PtyNotOnWindows,
  ColumnKey,
  ColumnFile,
  ColumnFormat,
  ColumnHolds,
  HoldsIds,
  HoldsCrcState,
  HoldsMissingData,
  HoldsIdCrcState,
  HoldsDeletedMarks,
  HoldsCopies,
  HoldsRawTracks,
  HoldsComments,
  HoldsRecording,
  HoldsFluxAll,
  HoldsFluxFirst,
  HoldsOnlyFiles,
  HoldsDataOnly,
  HoldsReadOnly,
  PlotNoSampleClock,
  PlotTrackAbsent,
  PlotNoFlux,
  PlotKinds,
  DriveUnusable,
  SimulatedTime,
  SimulatedFluxTime,
  DiskKeptIn,
  DiskNotKept,
  ReadingCancelledEmpty,
  ReadingCancelledKept,
  ReadingCancelledSaved,
  NoFluxFromDrive,
  NothingToWrite,
  Count
};

// One row of the catalogue.
struct CatalogueEntry {
  MessageId id;
  std::string_view russian;
  std::string_view english;
};

// Every row, in the order of MessageId.
std::span<const CatalogueEntry> MessageCatalogue();

// The text of `id` in `language` with "{N}" replaced by the Nth argument.
std::string RenderMessage(Language language, MessageId id, std::initializer_list<std::string_view> arguments = {});

// The text of `id` in the process's language.
std::string MessageText(MessageId id, std::initializer_list<std::string_view> arguments = {});

struct Phrase;

// One argument of a phrase: a text shown as it is (a file name, a number),
// or a phrase of its own, put into the same language as the phrase around it.
struct PhraseArgument {
  PhraseArgument(std::string shown) : text(std::move(shown)) {}
  PhraseArgument(std::string_view shown) : text(shown) {}
  PhraseArgument(const char* shown) : text(shown) {}
  template <std::integral Number>
  PhraseArgument(Number number) : text(std::to_string(number)) {}
  PhraseArgument(Phrase inner);

  std::string text;
  std::shared_ptr<const Phrase> phrase;  // when set, stands in for `text`
};

// A message of the catalogue with its arguments, not yet put into a
// language: what the core hands to the front ends, which render it.
struct Phrase {
  Phrase() = default;
  Phrase(MessageId message, std::vector<PhraseArgument> with = {}) : id(message), arguments(std::move(with)) {}

  MessageId id = MessageId::Count;
  std::vector<PhraseArgument> arguments;

  bool Empty() const { return id == MessageId::Count; }
};

// The text of `phrase` in `language`; empty for an empty phrase.
std::string RenderPhrase(Language language, const Phrase& phrase);

// The text of `phrase` in the process's language.
std::string PhraseText(const Phrase& phrase);

}  // namespace velloran
