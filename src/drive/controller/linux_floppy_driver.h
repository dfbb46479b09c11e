// The floppy driver on Linux: the kernel floppy driver's raw controller
// commands (FDRAWCMD) on /dev/fd0 (drive A) and /dev/fd1 (drive B). Error
// codes are errno values.
#pragma once

#include <string>

#include "drive/controller/linux_raw_commands.h"
#include "drive/floppy_driver.h"

namespace velloran {

class LinuxFloppyDriver : public FloppyDriver {
 public:
  LinuxFloppyDriver() = default;
  ~LinuxFloppyDriver() override;
  LinuxFloppyDriver(const LinuxFloppyDriver&) = delete;
  LinuxFloppyDriver& operator=(const LinuxFloppyDriver&) = delete;

  bool OpenControl() override;
  bool OpenDrive(char drive) override;
  void CloseDrive() override;
  bool DriveOpen() const override { return fd_ >= 0; }
  DriveDescription Describe() const override;
  bool GetVersion(std::uint32_t& version) override;
  bool ChecksDriverVersion() const override { return false; }
  bool SetDataRate(std::uint8_t rate) override;
  bool GetFdcInfo(std::array<std::uint8_t, kFdcInfoSize>& info) override;
  bool Reset() override;
  bool Seek(std::uint8_t cylinder, std::uint8_t head) override;
  bool ScanTrack(std::uint8_t flags, std::uint8_t head, ScanResult& result) override;
  bool ReadData(const ReadWriteBlock& block, std::span<std::uint8_t> buffer, std::size_t& byteCount) override;
  bool WriteData(const ReadWriteBlock& block, ByteSpan data) override;
  bool FormatTrack(const FormatBlock& block) override;
  bool ReadId(std::uint8_t flags, std::uint8_t head, IdHeader& id) override;
  std::uint32_t LastError() const override { return lastError_; }
  Phrase LastErrorHint() const override { return hint_; }

 private:
  bool Succeed();
  bool Fail(int code);
  // Sends one raw command on `fd`; false with the errno when the kernel refuses it.
  bool Execute(int fd, const RawCommand& command, void* data, RawReply& reply);
  // One READ ID; the controller's answer stays in `reply` for the scan.
  bool ReadNextId(std::uint8_t head, std::uint8_t flags, IdHeader& id, RawReply& reply);

  std::string controlDevice_;   // the device node the version is asked on
  int controllerVersion_ = -1;  // the controller's answer to VERSION, once asked
  int fd_ = -1;
  int unit_ = 0;
  int cylinder_ = 0;
  std::uint8_t rate_ = 2;
  std::uint32_t lastError_ = 0;
  Phrase hint_;
};

// The plain explanation of a Linux error code of the floppy driver, or empty.
Phrase LinuxFloppyHint(int code, const std::string& device);

}  // namespace velloran
