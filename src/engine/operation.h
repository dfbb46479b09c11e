// A whole-disk operation: its parameters, its result, and the window it
// reports to while it runs track by track.
#pragma once

#include <cstdint>
#include <string>

namespace velloran {

// Flags of OpMode. 2, 4 and 6 select the reading engine; 8, 16 and 24 the
// writing engine. 7 is the rotation-aware reading: scan and read, each track
// in about one turn, then re-reads of the sectors that failed.
inline constexpr int kOpFast = 1;
inline constexpr int kOpScan = 2;
inline constexpr int kOpRead = 4;
inline constexpr int kOpFormat = 8;
inline constexpr int kOpWrite = 16;

inline constexpr int kLastTrackIndex = 165;

// Parameters of one operation, set by the command that starts it.
struct DiskOperation {
  int OpMode = 0;
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
  virtual void AddMainLog(const std::string& line, bool selected) = 0;
  // A message box with the caption "Ошибка!" and one OK button.
  virtual void ShowError(const std::string& text) = 0;
};

}  // namespace velloran
