#include "drive/controller/linux_raw_commands.h"

#include <linux/fd.h>
#include <linux/fdreg.h>

#include <algorithm>
#include <cerrno>

namespace velloran {

namespace {

constexpr std::uint8_t kCommandReadData = 0x06;
constexpr std::uint8_t kCommandWriteData = 0x05;
constexpr std::uint8_t kCommandReadId = 0x0A;
constexpr std::uint8_t kCommandFormat = 0x0D;
constexpr std::uint8_t kModeBits = 0xE0;  // MT, MFM, SK of the flags byte

constexpr unsigned kDiskCommand = FD_RAW_INTR | FD_RAW_SPIN | FD_RAW_NEED_DISK | FD_RAW_NEED_SEEK;

std::uint8_t UnitByte(int unit, std::uint8_t head) { return static_cast<std::uint8_t>(((head & 1) << 2) | (unit & 3)); }

// The nine bytes of a read or write: command, unit, C H R N, last sector, gap, DTL.
std::vector<std::uint8_t> TransferBytes(std::uint8_t command, int unit, const ReadWriteBlock& block) {
  return {command,    UnitByte(unit, block.head), block.id.c, block.id.h, block.id.r,
          block.id.n, block.LastSector(),         block.gap,  block.dtl};
}

}  // namespace

RawCommand MakeVersionCommand() {
  RawCommand raw;
  raw.flags = FD_RAW_NO_MOTOR;
  raw.command = {FD_VERSION};
  return raw;
}

RawCommand MakeSeekCommand(int unit, std::uint8_t cylinder, std::uint8_t head, std::uint8_t rate) {
  RawCommand raw;
  raw.flags = FD_RAW_INTR | FD_RAW_SPIN | FD_RAW_NEED_SEEK;
  raw.command = {FD_SEEK, UnitByte(unit, head), cylinder};
  raw.track = cylinder;
  raw.rate = rate;
  return raw;
}

RawCommand MakeReadIdCommand(int unit, std::uint8_t cylinder, std::uint8_t head, std::uint8_t flags,
                             std::uint8_t rate) {
  RawCommand raw;
  raw.flags = kDiskCommand;
  raw.command = {static_cast<std::uint8_t>(kCommandReadId | (flags & kFlagMfm)), UnitByte(unit, head)};
  raw.track = cylinder;
  raw.rate = rate;
  return raw;
}

RawCommand MakeReadDataCommand(int unit, std::uint8_t cylinder, const ReadWriteBlock& block, std::size_t bufferSize,
                               std::uint8_t rate) {
  RawCommand raw;
  raw.flags = FD_RAW_READ | kDiskCommand;
  raw.command = TransferBytes(static_cast<std::uint8_t>(kCommandReadData | (block.flags & kModeBits)), unit, block);
  raw.length = static_cast<long>(std::min(bufferSize, block.TransferLength()));
  raw.track = cylinder;
  raw.rate = rate;
  return raw;
}

RawCommand MakeWriteDataCommand(int unit, std::uint8_t cylinder, const ReadWriteBlock& block, std::size_t dataSize,
                                std::uint8_t rate) {
  RawCommand raw;
  raw.flags = FD_RAW_WRITE | kDiskCommand;
  // Writes take no skip bit.
  raw.command = TransferBytes(static_cast<std::uint8_t>(kCommandWriteData | (block.flags & 0xC0)), unit, block);
  raw.length = static_cast<long>(std::min(dataSize, block.TransferLength()));
  raw.track = cylinder;
  raw.rate = rate;
  return raw;
}

RawCommand MakeFormatCommand(int unit, std::uint8_t cylinder, const FormatBlock& block, std::uint8_t rate) {
  RawCommand raw;
  raw.flags = FD_RAW_WRITE | kDiskCommand;
  raw.command = {static_cast<std::uint8_t>(kCommandFormat | (block.flags & kFlagMfm)),
                 UnitByte(unit, block.head),
                 block.sizeCode,
                 static_cast<std::uint8_t>(block.headers.size()),
                 block.gap,
                 block.fill};
  raw.length = static_cast<long>(4 * block.headers.size());
  raw.track = cylinder;
  raw.rate = rate;
  return raw;
}

Bytes FormatCommandData(const FormatBlock& block) {
  Bytes data;
  for (const IdHeader& id : block.headers) data.insert(data.end(), {id.c, id.h, id.r, id.n});
  return data;
}

int SeekReplyError(const RawReply& reply, std::uint8_t cylinder) {
  if ((reply.flags & FD_RAW_HARDFAILURE) != 0 || reply.count < 2) return EIO;
  const std::uint8_t st0 = reply.bytes[0];
  if ((st0 & ST0_NR) != 0) return ENOMEDIUM;
  if ((st0 & (ST0_INTR | ST0_ECE)) != 0 || (st0 & ST0_SE) == 0 || reply.bytes[1] != cylinder) return ESPIPE;
  return 0;
}

int TransferReplyError(const RawReply& reply) {
  if ((reply.flags & FD_RAW_HARDFAILURE) != 0 || reply.count < 3) return EIO;
  const std::uint8_t st0 = reply.bytes[0];
  const std::uint8_t st1 = reply.bytes[1];
  const std::uint8_t st2 = reply.bytes[2];
  const std::uint8_t code = st0 & ST0_INTR;
  // Reading up to the last sector without the DMA stopping it ends with
  // "end of cylinder" alone: the sectors were all transferred.
  if (code == 0 || (code == 0x40 && st1 == ST1_EOC && st2 == 0 && reply.residue == 0)) return 0;
  if ((st0 & ST0_NR) != 0) return ENOMEDIUM;
  if ((st1 & ST1_WP) != 0) return EROFS;
  if ((st1 & (ST1_MAM | ST1_ND)) != 0 || (st2 & (ST2_MAM | ST2_WC | ST2_BC)) != 0) return ENODATA;
  if ((st0 & ST0_ECE) != 0) return ESPIPE;
  return EIO;  // CRC errors, overruns and the rest
}

bool NoAddressMark(const RawReply& reply) {
  return reply.count >= 3 && (reply.bytes[0] & ST0_INTR) == 0x40 && (reply.bytes[1] & ST1_MAM) != 0;
}

std::uint8_t ControllerTypeFromLinux(std::uint8_t version) {
  switch (version) {
    case FDC_8272A: return 2;  // NORMAL
    case FDC_765ED:
    case FDC_82072:
    case FDC_82072A: return 3;      // ENHANCED
    case FDC_82077_ORIG: return 4;  // 82077
    case FDC_82077: return 5;       // 82077AA
    case FDC_82078_UNKN:
    case FDC_82078:
    case FDC_S82078B: return 6;  // 82078_44
    case FDC_82078_1: return 7;  // 82078_64
    case FDC_87306: return 8;    // NATIONAL
    case FDC_NONE: return 1;     // UNKNOWN2
    default: return 0;           // UNKNOWN
  }
}

}  // namespace velloran
