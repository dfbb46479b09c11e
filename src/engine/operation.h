// A whole-disk operation: its parameters, its result, and the window it
// reports to while it runs track by track.
#pragma once

#include <cstdint>

#include "common/messages.h"

namespace velloran {

// What an operation does to each track of its range. Reading scans (finds
// the track's ID fields) and/or reads (each sector by its ID); `fast` is the
// rotation-aware reading, which scans and reads each track in about one turn
// and re-reads the sectors that failed. Writing formats and/or writes.
struct OperationSteps {
  bool fast = false;
  bool scan = false;
  bool read = false;
  bool format = false;
  bool write = false;

  bool Writes() const { return format || write; }
  bool operator==(const OperationSteps&) const = default;
};

inline constexpr OperationSteps kScanTracks{.scan = true};
inline constexpr OperationSteps kReadSectors{.read = true};
inline constexpr OperationSteps kScanAndRead{.scan = true, .read = true};
inline constexpr OperationSteps kFastRead{.fast = true, .scan = true, .read = true};
inline constexpr OperationSteps kFormatTracks{.format = true};
inline constexpr OperationSteps kWriteTracks{.write = true};
inline constexpr OperationSteps kFormatAndWrite{.format = true, .write = true};

inline constexpr int kLastTrackIndex = 165;

// Parameters of one operation, set by the command that starts it.
struct DiskOperation {
  OperationSteps Steps;
  int OpFirstTrack = 0;  // inclusive range of track indexes
  int OpLastTrack = 0;
  std::uint8_t RetryCount = 10;  // attempts per sector read, sector write and track format
  int BadSectors = 0;            // sectors whose read, write or format failed
  int RecoveredSectors = 0;      // sectors the rotation-aware or flux reading got right on a re-read
  int FailedTracks = 0;          // tracks a flux drive could not read at all
  // Revolutions a flux drive reads of a track read again, and of every track
  // when the flux is kept; otherwise the first read of a track is one turn.
  int FluxRevolutions = 2;
  bool KeepFlux = false;  // the flux read is saved as an image (whole revolutions)
  bool Verify = false;    // a flux drive reads every written track back and compares
  // When a seek failure ended a reading operation after some tracks were
  // read: the first track left unread (one past OpLastTrack when only the
  // re-reads were cut short); otherwise -1.
  int UnreadFrom = -1;
};

// Attempts per sector or track that a RetryCount stands for: every sector
// gets at least one, so 0 counts as 1.
inline int AttemptCount(std::uint8_t retryCount) { return retryCount == 0 ? 1 : retryCount; }

enum class OperationOutcome { Completed, Cancelled, Failed };

// What an engine needs from the progress window. The window shows the track
// number and a progress bar, lets the user press "Отмена", and owns the main
// log of the main window. Track logs are not part of it: the engines append
// them to each track's Log in the disk model, and they repaint map cells
// through the disk's RedrawSector/RedrawTrackLabel.
class OperationHost {
 public:
  virtual ~OperationHost() = default;
  // The track number label ("Дорожка -" followed by the number).
  virtual void ShowTrack(int track) = 0;
  // Position of the progress bar.
  virtual void SetProgress(int position) = 0;
  // Lets the window repaint and handle a click on "Отмена"; called once per track.
  virtual void ProcessPendingEvents() = 0;
  // Whether "Отмена" has been pressed since the window showed.
  virtual bool CancelRequested() = 0;
  // Empties the main log and brings its "LOG" tab to the front.
  virtual void ClearMainLog() = 0;
  // Appends a line to the main log; a selected line becomes the current item.
  // The window puts it into words, and again when the language changes.
  virtual void AddMainLog(const Phrase& line, bool selected) = 0;
  // A message box with the error caption and one OK button.
  virtual void ShowError(const Phrase& text) = 0;
};

}  // namespace velloran
