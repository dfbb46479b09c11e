// The raw controller commands of the Linux backend, byte for byte, and how
// the controller's answers turn into error codes.
#include "drive/controller/linux_raw_commands.h"

#include <gtest/gtest.h>
#include <linux/fd.h>

#include <cerrno>

namespace velloran {
namespace {

using Command = std::vector<std::uint8_t>;

ReadWriteBlock Block(std::uint8_t head, IdHeader id, std::uint8_t eot, std::uint8_t gap) {
  ReadWriteBlock block;
  block.head = head;
  block.id = id;
  block.eot = eot;
  block.gap = gap;
  return block;
}

RawReply Reply(std::vector<std::uint8_t> bytes, long residue = 0, unsigned flags = 0) {
  RawReply reply;
  reply.flags = flags;
  reply.count = static_cast<int>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), reply.bytes.begin());
  reply.residue = residue;
  return reply;
}

TEST(LinuxRawCommandsTest, ReadOfOneSectorStopsAtThatSector) {
  const RawCommand raw = MakeReadDataCommand(1, 40, Block(1, {40, 0, 9, 1}, 10, 0x0E), 4096, 2);
  EXPECT_EQ(raw.command, (Command{0x46, 0x05, 40, 0, 9, 1, 9, 0x0E, 0xFF}));
  EXPECT_EQ(raw.length, 256);
  EXPECT_EQ(raw.track, 40);
  EXPECT_EQ(raw.rate, 2);
  EXPECT_EQ(raw.flags, unsigned{FD_RAW_READ | FD_RAW_INTR | FD_RAW_SPIN | FD_RAW_NEED_DISK | FD_RAW_NEED_SEEK});
}

TEST(LinuxRawCommandsTest, CatalogReadTakesSixteenSectorsIntoTheBuffer) {
  const RawCommand raw = MakeReadDataCommand(0, 0, Block(0, {0, 0, 1, 1}, 17, 0x0E), 4096, 0);
  EXPECT_EQ(raw.command, (Command{0x46, 0x00, 0, 0, 1, 1, 16, 0x0E, 0xFF}));
  EXPECT_EQ(raw.length, 4096);
  EXPECT_EQ(raw.rate, 0);
  // A buffer smaller than the sectors bounds the transfer.
  EXPECT_EQ(MakeReadDataCommand(0, 0, Block(0, {0, 0, 1, 3}, 3, 0x0E), 1500, 2).length, 1500);
}

TEST(LinuxRawCommandsTest, WriteSendsTheHeldLengthWithoutTheSkipBit) {
  ReadWriteBlock block = Block(0, {5, 0, 16, 1}, 17, 0x14);
  block.flags = 0x60;  // MFM and SK
  const RawCommand raw = MakeWriteDataCommand(0, 5, block, 100, 2);
  EXPECT_EQ(raw.command, (Command{0x45, 0x00, 5, 0, 16, 1, 16, 0x14, 0xFF}));
  EXPECT_EQ(raw.length, 100);
  EXPECT_EQ(raw.flags & (FD_RAW_WRITE | FD_RAW_READ), unsigned{FD_RAW_WRITE});
  EXPECT_EQ(MakeWriteDataCommand(0, 5, block, 2000, 2).length, 256);
}

TEST(LinuxRawCommandsTest, FormatSendsTheIdsAsData) {
  FormatBlock block;
  block.head = 1;
  block.sizeCode = 1;
  block.gap = 0x14;
  block.fill = 0;
  block.headers = {{3, 1, 1, 1}, {3, 1, 9, 2}};
  const RawCommand raw = MakeFormatCommand(0, 3, block, 2);
  EXPECT_EQ(raw.command, (Command{0x4D, 0x04, 1, 2, 0x14, 0x00}));
  EXPECT_EQ(raw.length, 8);
  EXPECT_EQ(FormatCommandData(block), (Bytes{3, 1, 1, 1, 3, 1, 9, 2}));
}

TEST(LinuxRawCommandsTest, SeekReadIdAndVersion) {
  const RawCommand seek = MakeSeekCommand(1, 80, 0, 2);
  EXPECT_EQ(seek.command, (Command{0x0F, 0x01, 80}));
  EXPECT_EQ(seek.track, 80);
  EXPECT_NE(seek.flags & FD_RAW_INTR, 0u);
  EXPECT_NE(seek.flags & FD_RAW_NEED_SEEK, 0u);
  EXPECT_EQ(MakeReadIdCommand(0, 7, 1, 0x40, 2).command, (Command{0x4A, 0x04}));
  const RawCommand version = MakeVersionCommand();
  EXPECT_EQ(version.command, Command{0x10});
  EXPECT_EQ(version.flags, unsigned{FD_RAW_NO_MOTOR});
}

TEST(LinuxRawCommandsTest, RepliesBecomeErrorCodes) {
  EXPECT_EQ(TransferReplyError(Reply({0x00, 0x00, 0x00, 0, 0, 1, 1})), 0);
  // End of cylinder after the last sector with every byte moved: success.
  EXPECT_EQ(TransferReplyError(Reply({0x40, 0x80, 0x00, 0, 0, 2, 1})), 0);
  EXPECT_EQ(TransferReplyError(Reply({0x40, 0x80, 0x00, 0, 0, 2, 1}, 12)), EIO);
  EXPECT_EQ(TransferReplyError(Reply({0x40, 0x20, 0x20, 0, 0, 1, 1})), EIO);      // data CRC
  EXPECT_EQ(TransferReplyError(Reply({0x40, 0x04, 0x00, 0, 0, 1, 1})), ENODATA);  // no such sector
  EXPECT_EQ(TransferReplyError(Reply({0x40, 0x01, 0x01, 0, 0, 1, 1})), ENODATA);  // no data mark
  EXPECT_EQ(TransferReplyError(Reply({0x40, 0x02, 0x00, 0, 0, 1, 1})), EROFS);
  EXPECT_EQ(TransferReplyError(Reply({0x48, 0x00, 0x00, 0, 0, 1, 1})), ENOMEDIUM);
  EXPECT_EQ(TransferReplyError(Reply({0x00, 0x00, 0x00}, 0, FD_RAW_HARDFAILURE)), EIO);
  EXPECT_EQ(TransferReplyError(Reply({})), EIO);
  EXPECT_TRUE(NoAddressMark(Reply({0x40, 0x01, 0x00, 0, 0, 0, 0})));
  EXPECT_FALSE(NoAddressMark(Reply({0x40, 0x20, 0x00, 0, 0, 0, 0})));

  EXPECT_EQ(SeekReplyError(Reply({0x20, 80}), 80), 0);
  EXPECT_EQ(SeekReplyError(Reply({0x20, 79}), 80), ESPIPE);
  EXPECT_EQ(SeekReplyError(Reply({0x70, 0}), 0), ESPIPE);  // equipment check
  EXPECT_EQ(SeekReplyError(Reply({0x20}), 0), EIO);
}

TEST(LinuxRawCommandsTest, ControllerTypesMapToTheDriverNames) {
  EXPECT_EQ(ControllerTypeFromLinux(0x20), 2);  // 8272A: NORMAL
  EXPECT_EQ(ControllerTypeFromLinux(0x52), 5);  // 82077AA
  EXPECT_EQ(ControllerTypeFromLinux(0x61), 7);  // 82078_64
  EXPECT_EQ(ControllerTypeFromLinux(0x63), 8);  // National
  EXPECT_EQ(ControllerTypeFromLinux(0x10), 0);
}

}  // namespace
}  // namespace velloran
