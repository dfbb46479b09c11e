// The raw controller commands the Linux backend sends through the kernel
// floppy driver (FDRAWCMD), built as plain values so that they can be checked
// without a drive, and the reading of the controller's answer.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "drive/floppy_driver.h"

namespace velloran {

// One raw command: what goes into the kernel's floppy_raw_cmd.
struct RawCommand {
  unsigned flags = 0;                 // FD_RAW_* request flags
  std::vector<std::uint8_t> command;  // bytes sent to the controller
  long length = 0;                    // bytes moved by DMA
  int track = 0;                      // cylinder the kernel seeks to first (FD_RAW_NEED_SEEK)
  std::uint8_t rate = 2;              // data rate code for the controller
};

// What came back: the kernel's flags, the controller's result bytes and the
// bytes the DMA did not move.
struct RawReply {
  unsigned flags = 0;
  int count = 0;
  std::array<std::uint8_t, 16> bytes{};
  long residue = 0;
};

// The controller's version command, answered at once without the motor.
RawCommand MakeVersionCommand();
// Seek of one drive unit (0 or 1) to a cylinder with the head selected; the
// kernel recalibrates first when it has lost the head's position.
RawCommand MakeSeekCommand(int unit, std::uint8_t cylinder, std::uint8_t head, std::uint8_t rate);
// READ ID: the next ID field passing under the head.
RawCommand MakeReadIdCommand(int unit, std::uint8_t cylinder, std::uint8_t head, std::uint8_t flags, std::uint8_t rate);
// READ DATA of sectors R .. EOT-1 (the controller's EOT is the last sector).
RawCommand MakeReadDataCommand(int unit, std::uint8_t cylinder, const ReadWriteBlock& block, std::size_t bufferSize,
                               std::uint8_t rate);
// WRITE DATA of `dataSize` bytes into sectors R .. EOT-1.
RawCommand MakeWriteDataCommand(int unit, std::uint8_t cylinder, const ReadWriteBlock& block, std::size_t dataSize,
                                std::uint8_t rate);
// FORMAT TRACK; the DMA data are the ID headers, 4 bytes each.
RawCommand MakeFormatCommand(int unit, std::uint8_t cylinder, const FormatBlock& block, std::uint8_t rate);
Bytes FormatCommandData(const FormatBlock& block);

// The errno that describes a finished command, 0 when it succeeded.
// Seeks answer with ST0 and the present cylinder, the others with ST0 ST1 ST2.
int SeekReplyError(const RawReply& reply, std::uint8_t cylinder);
int TransferReplyError(const RawReply& reply);
// Whether a failed READ ID found no ID field at all (an unformatted track).
bool NoAddressMark(const RawReply& reply);

// The controller type byte of the driver's information block for a Linux
// controller version (FDC_* of linux/fdreg.h).
std::uint8_t ControllerTypeFromLinux(std::uint8_t version);

}  // namespace velloran
