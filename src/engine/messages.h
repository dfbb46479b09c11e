// Phrases the disk operations and controller commands show or log. Every
// message box of these commands has the error caption and
// one OK button.
#pragma once

#include <cstdint>

#include "common/messages.h"

namespace velloran {

inline Phrase ResetFailed(std::uint32_t code) { return {MessageId::ControllerResetFailed, {code}}; }

inline Phrase SeekFailed(std::uint32_t code) { return {MessageId::SeekFailed, {code}}; }

// "(track N)" after a log line about a whole track.
inline Phrase TrackPlace(int track) { return {MessageId::AtTrackOfDrive, {track}}; }

// "(track N, sector R)" after a log line about one sector.
inline Phrase TrackSectorPlace(int track, int sector) { return {MessageId::AtTrackSectorOfDrive, {track, sector}}; }

}  // namespace velloran
