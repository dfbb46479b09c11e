#include "drive/controller/linux_floppy_driver.h"

#include <fcntl.h>
#include <linux/fd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velloran {

namespace {

// Reads of ID fields in one scan at most; a revolution holds far fewer.
constexpr int kMaxScanReads = 64;

const char* DevicePath(int unit) { return unit == 0 ? "/dev/fd0" : "/dev/fd1"; }

int OpenDevice(const std::string& path) { return ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC); }

}  // namespace

Phrase LinuxFloppyHint(int code, const std::string& device) {
  switch (code) {
    case EOPNOTSUPP: return {MessageId::LinuxNoRawCommands};
    case ENOENT:
    case ENODEV:
    case ENXIO: return {MessageId::LinuxFloppyDeviceMissing, {device}};
    case EACCES:
    case EPERM: return {MessageId::LinuxFloppyNoAccess, {device}};
    default: return {};
  }
}

LinuxFloppyDriver::~LinuxFloppyDriver() { CloseDrive(); }

bool LinuxFloppyDriver::Succeed() {
  lastError_ = 0;
  hint_ = {};
  return true;
}

bool LinuxFloppyDriver::Fail(int code) {
  lastError_ = static_cast<std::uint32_t>(code);
  hint_ = LinuxFloppyHint(code, fd_ >= 0 ? DevicePath(unit_) : controlDevice_.empty() ? "/dev/fd0" : controlDevice_);
  return false;
}

// The kernel driver counts as loaded when one of the floppy device nodes exists.
bool LinuxFloppyDriver::OpenControl() {
  for (int unit = 0; unit < 2; ++unit) {
    struct stat info {};
    if (::stat(DevicePath(unit), &info) == 0 && S_ISBLK(info.st_mode)) {
      controlDevice_ = DevicePath(unit);
      return Succeed();
    }
  }
  return Fail(ENOENT);
}

// Opens /dev/fd0 for drive A, /dev/fd1 for drive B.
bool LinuxFloppyDriver::OpenDrive(char drive) {
  CloseDrive();
  unit_ = (drive == 'B' || drive == 'b') ? 1 : 0;
  fd_ = OpenDevice(DevicePath(unit_));
  if (fd_ < 0) return Fail(errno);
  return Succeed();
}

void LinuxFloppyDriver::CloseDrive() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool LinuxFloppyDriver::Execute(int fd, const RawCommand& command, void* data, RawReply& reply) {
  floppy_raw_cmd raw{};
  raw.flags = command.flags;
  raw.data = data;
  raw.length = command.length;
  raw.rate = command.rate;
  raw.track = command.track;
  raw.cmd_count = static_cast<unsigned char>(std::min<std::size_t>(command.command.size(), FD_RAW_CMD_SIZE));
  std::copy_n(command.command.begin(), raw.cmd_count, raw.cmd);
  if (::ioctl(fd, FDRAWCMD, &raw) < 0) return Fail(errno);
  reply = RawReply{};
  reply.flags = raw.flags;
  reply.count = std::min<int>(raw.reply_count, FD_RAW_REPLY_SIZE);
  std::copy_n(raw.reply, reply.count, reply.bytes.begin());
  if (command.flags & (FD_RAW_READ | FD_RAW_WRITE)) reply.residue = raw.length;
  return true;
}

// Asks the controller for its version; this also shows whether the kernel
// takes raw commands at all.
bool LinuxFloppyDriver::GetVersion(std::uint32_t& version) {
  if (controlDevice_.empty()) return Fail(EBADF);
  const int fd = OpenDevice(controlDevice_);
  if (fd < 0) return Fail(errno);
  RawReply reply;
  const bool sent = Execute(fd, MakeVersionCommand(), nullptr, reply);
  ::close(fd);
  if (!sent) return false;
  if (reply.count < 1) return Fail(EIO);
  controllerVersion_ = reply.bytes[0];
  version = reply.bytes[0];
  return Succeed();
}

DriveDescription LinuxFloppyDriver::Describe() const {
  DriveDescription description = FloppyDriver::Describe();
  description.name = "Linux floppy driver (FDRAWCMD)";
  if (controllerVersion_ >= 0) {
    char text[16];
    std::snprintf(text, sizeof text, "FDC %02X", static_cast<unsigned>(controllerVersion_));
    description.version = text;
  }
  return description;
}

// The kernel sets the rate with each command; it is kept for them.
bool LinuxFloppyDriver::SetDataRate(std::uint8_t rate) {
  if (fd_ < 0) return Fail(EBADF);
  if (rate > 3) return Fail(EINVAL);
  rate_ = rate;
  return Succeed();
}

bool LinuxFloppyDriver::GetFdcInfo(std::array<std::uint8_t, kFdcInfoSize>& info) {
  if (fd_ < 0) return Fail(EBADF);
  floppy_fdc_state state{};
  if (::ioctl(fd_, FDGETFDCSTAT, &state) < 0) return Fail(errno);
  info.fill(0);
  info[0] = ControllerTypeFromLinux(state.version);
  return Succeed();
}

bool LinuxFloppyDriver::Reset() {
  if (fd_ < 0) return Fail(EBADF);
  if (::ioctl(fd_, FDRESET, FD_RESET_ALWAYS) < 0) return Fail(errno);
  return Succeed();
}

bool LinuxFloppyDriver::Seek(std::uint8_t cylinder, std::uint8_t head) {
  if (fd_ < 0) return Fail(EBADF);
  RawReply reply;
  if (!Execute(fd_, MakeSeekCommand(unit_, cylinder, head, rate_), nullptr, reply)) return false;
  if (const int error = SeekReplyError(reply, cylinder)) return Fail(error);
  cylinder_ = cylinder;
  return Succeed();
}

bool LinuxFloppyDriver::ReadNextId(std::uint8_t head, std::uint8_t flags, IdHeader& id, RawReply& reply) {
  if (!Execute(fd_, MakeReadIdCommand(unit_, static_cast<std::uint8_t>(cylinder_), head, flags, rate_), nullptr, reply))
    return false;
  if (const int error = TransferReplyError(reply)) return Fail(error);
  id = {reply.bytes[3], reply.bytes[4], reply.bytes[5], reply.bytes[6]};
  return true;
}

// Reads ID fields one after another until the first one comes round again:
// one revolution, in the order the IDs pass the head. The list starts at
// whichever ID came first, not at the index hole, which the raw commands
// cannot see.
bool LinuxFloppyDriver::ScanTrack(std::uint8_t flags, std::uint8_t head, ScanResult& result) {
  if (fd_ < 0) return Fail(EBADF);
  std::vector<IdHeader> headers;
  for (int i = 0; i < kMaxScanReads; ++i) {
    IdHeader id;
    RawReply reply;
    if (!ReadNextId(head, flags, id, reply)) {
      if (!headers.empty()) break;
      if (NoAddressMark(reply)) break;  // an unformatted track: no IDs
      return false;
    }
    if (!headers.empty() && id == headers.front()) break;
    headers.push_back(id);
  }
  StoreScanHeaders(headers, result);
  return Succeed();
}

bool LinuxFloppyDriver::ReadId(std::uint8_t flags, std::uint8_t head, IdHeader& id) {
  if (fd_ < 0) return Fail(EBADF);
  RawReply reply;
  if (!ReadNextId(head, flags, id, reply)) return false;
  return Succeed();
}

bool LinuxFloppyDriver::ReadData(const ReadWriteBlock& block, std::span<std::uint8_t> buffer, std::size_t& byteCount) {
  byteCount = 0;
  if (fd_ < 0) return Fail(EBADF);
  const RawCommand command =
      MakeReadDataCommand(unit_, static_cast<std::uint8_t>(cylinder_), block, buffer.size(), rate_);
  RawReply reply;
  if (!Execute(fd_, command, buffer.data(), reply)) return false;
  byteCount = static_cast<std::size_t>(std::clamp(command.length - reply.residue, 0L, command.length));
  if (const int error = TransferReplyError(reply)) return Fail(error);
  return Succeed();
}

bool LinuxFloppyDriver::WriteData(const ReadWriteBlock& block, ByteSpan data) {
  if (fd_ < 0) return Fail(EBADF);
  const RawCommand command =
      MakeWriteDataCommand(unit_, static_cast<std::uint8_t>(cylinder_), block, data.size(), rate_);
  if (command.length <= 0) return Fail(EINVAL);
  Bytes copy(data.begin(), data.begin() + command.length);
  RawReply reply;
  if (!Execute(fd_, command, copy.data(), reply)) return false;
  if (const int error = TransferReplyError(reply)) return Fail(error);
  return Succeed();
}

bool LinuxFloppyDriver::FormatTrack(const FormatBlock& block) {
  if (fd_ < 0) return Fail(EBADF);
  Bytes ids = FormatCommandData(block);
  if (ids.empty()) return Fail(EINVAL);
  RawReply reply;
  if (!Execute(fd_, MakeFormatCommand(unit_, static_cast<std::uint8_t>(cylinder_), block, rate_), ids.data(), reply))
    return false;
  if (const int error = TransferReplyError(reply)) return Fail(error);
  return Succeed();
}

}  // namespace velloran
