// The floppy driver as the disk operations see it: a control device that
// tells the driver version, one open drive, and nine requests with their
// parameter blocks. A request succeeds or fails; after a failure LastError()
// holds the backend's error code, shown to the user in decimal.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/messages.h"
#include "drive/disk_drive.h"

namespace velloran {

// The driver's published request codes, kept under their published names.
namespace driver_code {
inline constexpr std::uint32_t kGetVersion = 0x0022E220;   // IOCTL_FDRAWCMD_GET_VERSION
inline constexpr std::uint32_t kSetDataRate = 0x0022E410;  // IOCTL_FD_SET_DATA_RATE
inline constexpr std::uint32_t kGetFdcInfo = 0x0022E414;   // IOCTL_FD_GET_FDC_INFO
inline constexpr std::uint32_t kReset = 0x0022E408;        // IOCTL_FD_RESET
inline constexpr std::uint32_t kSeek = 0x0022E03C;         // IOCTL_FDCMD_SEEK
inline constexpr std::uint32_t kScanTrack = 0x0022E400;    // IOCTL_FD_SCAN_TRACK
inline constexpr std::uint32_t kReadData = 0x0022E01A;     // IOCTL_FDCMD_READ_DATA
inline constexpr std::uint32_t kWriteData = 0x0022E015;    // IOCTL_FDCMD_WRITE_DATA
inline constexpr std::uint32_t kFormatTrack = 0x0022E034;  // IOCTL_FDCMD_FORMAT_TRACK
inline constexpr std::uint32_t kReadId = 0x0022E028;       // IOCTL_FDCMD_READ_ID
}  // namespace driver_code

inline constexpr std::uint8_t kFlagMfm = 0x40;        // flags byte: MFM recording
inline constexpr std::uint8_t kReadGap = 0x0E;        // GAP of every read request
inline constexpr std::uint8_t kWriteGap = 0x14;       // GAP of writes, gap of formats
inline constexpr std::uint8_t kDataLengthAll = 0xFF;  // DTL: the size code decides
inline constexpr std::size_t kScanBufferSize = 16384;
inline constexpr std::size_t kSectorBufferSize = 4096;
inline constexpr std::size_t kFdcInfoSize = 16;

// The driver's version is accepted when its upper half is 0x0100.
inline bool VersionSupported(std::uint32_t version) { return (version & 0xFFFF0000u) == 0x01000000u; }

// One sector ID field: cylinder, head, sector number, size code.
struct IdHeader {
  std::uint8_t c = 0;
  std::uint8_t h = 0;
  std::uint8_t r = 0;
  std::uint8_t n = 0;
  bool operator==(const IdHeader&) const = default;
};

// The 9-byte block of a sector read or write. EOT is one past the last
// sector number to transfer, so EOT = R + 1 asks for one sector. (The
// controller's own EOT is the last sector number: backends hand it
// LastSector().)
struct ReadWriteBlock {
  std::uint8_t flags = kFlagMfm;
  std::uint8_t head = 0;  // physical head
  IdHeader id;
  std::uint8_t eot = 0;
  std::uint8_t gap = kReadGap;
  std::uint8_t dtl = kDataLengthAll;

  // Number of sectors the block asks for: EOT - R, at least one.
  int SectorCount() const {
    const int count = static_cast<std::uint8_t>(eot - id.r);
    return count == 0 ? 1 : count;
  }
  // The number of the last sector asked for: the controller's EOT.
  std::uint8_t LastSector() const { return static_cast<std::uint8_t>(id.r + SectorCount() - 1); }
  // The bytes those sectors hold, 128 << N each: ending the transfer there
  // ends the command right after the last of them.
  std::size_t TransferLength() const {
    return static_cast<std::size_t>(SectorCount()) * (std::size_t{128} << (id.n < 7 ? id.n : 7));
  }
};

// The block of a track format: one size code for the data fields, the gap,
// the fill byte, then the IDs in the order they are to lie on the track.
struct FormatBlock {
  std::uint8_t flags = kFlagMfm;
  std::uint8_t head = 0;
  std::uint8_t sizeCode = 1;
  std::uint8_t gap = kWriteGap;
  std::uint8_t fill = 0x00;
  std::vector<IdHeader> headers;

  // 6 + 4n bytes: flags, head, N, n, gap, fill, then C H R N of each header.
  Bytes ToBytes() const;
};

// Result of a track scan as the driver hands it over: a count byte, then the
// 4-byte ID headers in the order met on the track. `byteCount` is the number
// of bytes the driver returned.
struct ScanResult {
  std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(kScanBufferSize);
  std::size_t byteCount = 0;
};

// Fills a scan result from the headers found (as many as fit).
void StoreScanHeaders(const std::vector<IdHeader>& headers, ScanResult& result);

// The driver: opening its devices, the nine requests, and the controller's
// READ ID, which the rotation-aware reading uses to learn where the head is.
class FloppyDriver : public DiskDrive {
 public:
  // A controller drive; backends add their name and version.
  DriveDescription Describe() const override;
  FloppyDriver* AsController() override { return this; }

  // Opens the control device (kept for the whole run).
  virtual bool OpenControl() = 0;
  // Opens drive 'A' or 'B', closing a drive opened before.
  virtual bool OpenDrive(char drive) = 0;
  virtual void CloseDrive() = 0;
  // Whether a drive is open (the drive handle is valid).
  virtual bool DriveOpen() const = 0;

  // Version of the driver, asked on the control device.
  virtual bool GetVersion(std::uint32_t& version) = 0;
  // Whether GetVersion answers the Windows driver's version number, which
  // only 1.0.x passes. Other backends answer a version of their own (Linux:
  // the controller's) that is shown but not checked.
  virtual bool ChecksDriverVersion() const { return true; }
  // Data rate code: 0 = 500K, 1 = 300K, 2 = 250K, 3 = 1M.
  virtual bool SetDataRate(std::uint8_t rate) = 0;
  // 16 bytes of controller information; byte 0 is the controller type.
  virtual bool GetFdcInfo(std::array<std::uint8_t, kFdcInfoSize>& info) = 0;
  virtual bool Reset() = 0;
  virtual bool Seek(std::uint8_t cylinder, std::uint8_t head) = 0;
  virtual bool ScanTrack(std::uint8_t flags, std::uint8_t head, ScanResult& result) = 0;
  // Reads into `buffer`; `byteCount` gets the number of bytes transferred.
  virtual bool ReadData(const ReadWriteBlock& block, std::span<std::uint8_t> buffer, std::size_t& byteCount) = 0;
  // Writes `data`, whose length is the transfer length.
  virtual bool WriteData(const ReadWriteBlock& block, ByteSpan data) = 0;
  virtual bool FormatTrack(const FormatBlock& block) = 0;
  // The ID field that next passes under the head on the current cylinder.
  virtual bool ReadId(std::uint8_t flags, std::uint8_t head, IdHeader& id) = 0;

  // Error code of the last failed request or open; 0 after a success.
  virtual std::uint32_t LastError() const = 0;
  // A plain explanation of the last failure when the backend knows one
  // (for example what to enable in the kernel); empty otherwise.
  virtual Phrase LastErrorHint() const { return {}; }
};

}  // namespace velloran
