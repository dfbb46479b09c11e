// Fakes for the disk operation tests: a progress window that records what it
// was told, and a driver wrapper that records the requests and can change
// their answers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "drive/floppy_driver.h"
#include "engine/disk_engines.h"
#include "engine/operation.h"
#include "model/disk.h"
#include "sim/simulated_drive.h"

namespace velloran::test {

// Records every call as a line: "track N", "progress N", "events", "clear",
// "log: TEXT", "log*: TEXT" (selected), "error: TEXT".
class RecordingHost : public OperationHost {
 public:
  void ShowTrack(int track) override { calls.push_back("track " + std::to_string(track)); }
  void SetProgress(int position) override { calls.push_back("progress " + std::to_string(position)); }
  void ProcessPendingEvents() override {
    calls.push_back("events");
    if (onEvents) onEvents();
  }
  bool CancelRequested() override { return cancel; }
  void ClearMainLog() override {
    calls.push_back("clear");
    mainLog.clear();
  }
  void AddMainLog(const Phrase& line, bool selected) override {
    const std::string text = PhraseText(line);
    calls.push_back((selected ? "log*: " : "log: ") + text);
    mainLog.push_back((selected ? "* " : "  ") + text);
  }
  void ShowError(const Phrase& message) override {
    const std::string text = PhraseText(message);
    calls.push_back("error: " + text);
    errors.push_back(text);
  }

  bool cancel = false;
  std::function<void()> onEvents;  // runs while the window handles its events
  std::vector<std::string> calls;
  std::vector<std::string> mainLog;  // "* " marks a selected line
  std::vector<std::string> errors;
};

// Passes every request to another driver and records it as a line:
// "reset", "seek C H", "scan H", "read C H R N", "write C H R N LEN",
// "format H N count", "readid H", "rate R", "info", "version". A read of
// several sectors shows their count: "read C H R N xK". A hook may replace the
// answer of a request before it reaches the inner driver.
class RecordingDriver : public FloppyDriver {
 public:
  explicit RecordingDriver(FloppyDriver& inner) : inner_(inner) {}

  // Returns true to fail the request with `code` instead of passing it on.
  std::function<bool(const std::string& request, std::uint32_t& code)> failHook;
  // Changes the byte count of a successful read.
  std::function<void(std::size_t& byteCount)> readCountHook;
  std::vector<std::string> requests;
  std::vector<FormatBlock> formats;

  int Count(const std::string& prefix) const {
    int n = 0;
    for (const auto& r : requests) n += r.rfind(prefix, 0) == 0;
    return n;
  }

  bool OpenControl() override { return inner_.OpenControl(); }
  bool OpenDrive(char drive) override { return inner_.OpenDrive(drive); }
  void CloseDrive() override { inner_.CloseDrive(); }
  bool DriveOpen() const override { return inner_.DriveOpen(); }
  bool GetVersion(std::uint32_t& version) override {
    return Pass("version", [&] { return inner_.GetVersion(version); });
  }
  bool SetDataRate(std::uint8_t rate) override {
    return Pass("rate " + std::to_string(rate), [&] { return inner_.SetDataRate(rate); });
  }
  bool GetFdcInfo(std::array<std::uint8_t, kFdcInfoSize>& info) override {
    return Pass("info", [&] { return inner_.GetFdcInfo(info); });
  }
  bool Reset() override {
    return Pass("reset", [&] { return inner_.Reset(); });
  }
  bool Seek(std::uint8_t cylinder, std::uint8_t head) override {
    return Pass("seek " + std::to_string(cylinder) + " " + std::to_string(head),
                [&] { return inner_.Seek(cylinder, head); });
  }
  bool ScanTrack(std::uint8_t flags, std::uint8_t head, ScanResult& result) override {
    return Pass("scan " + std::to_string(head), [&] { return inner_.ScanTrack(flags, head, result); });
  }
  bool ReadData(const ReadWriteBlock& block, std::span<std::uint8_t> buffer, std::size_t& byteCount) override {
    const int count = block.SectorCount();
    const std::string many = count > 1 ? " x" + std::to_string(count) : "";
    const bool ok = Pass("read " + Id(block.id) + many, [&] { return inner_.ReadData(block, buffer, byteCount); });
    if (ok && readCountHook) readCountHook(byteCount);
    return ok;
  }
  bool WriteData(const ReadWriteBlock& block, ByteSpan data) override {
    return Pass("write " + Id(block.id) + " " + std::to_string(data.size()),
                [&] { return inner_.WriteData(block, data); });
  }
  bool FormatTrack(const FormatBlock& block) override {
    formats.push_back(block);
    return Pass("format " + std::to_string(block.head) + " " + std::to_string(block.sizeCode) + " " +
                    std::to_string(block.headers.size()),
                [&] { return inner_.FormatTrack(block); });
  }
  bool ReadId(std::uint8_t flags, std::uint8_t head, IdHeader& id) override {
    return Pass("readid " + std::to_string(head), [&] { return inner_.ReadId(flags, head, id); });
  }
  std::uint32_t LastError() const override { return overridden_ ? code_ : inner_.LastError(); }

 private:
  static std::string Id(const IdHeader& id) {
    return std::to_string(id.c) + " " + std::to_string(id.h) + " " + std::to_string(id.r) + " " + std::to_string(id.n);
  }
  template <typename Call>
  bool Pass(const std::string& request, Call call) {
    requests.push_back(request);
    std::uint32_t code = 0;
    if (failHook && failHook(request, code)) {
      overridden_ = true;
      code_ = code;
      return false;
    }
    overridden_ = false;
    return call();
  }

  FloppyDriver& inner_;
  bool overridden_ = false;
  std::uint32_t code_ = 0;
};

// A present track of `count` sectors numbered 1.., 256 bytes each, with data
// bytes derived from the track and sector so that every sector differs.
void FillTrack(TZX_Disk& disk, int track, int count, std::uint8_t sizeCode = 1);

// Whether two disks hold the same present tracks with the same IDs, data
// lengths, data and CRC states in the same slots; the first difference is
// described in `difference`. With `anyStart` a track's slots may begin at
// another sector as long as their order round the track is the same (a
// reading that does not see the index).
bool SameSectors(const TZX_Disk& a, const TZX_Disk& b, std::string& difference, bool anyStart = false);

// A whole-disk operation on the simulated drive with drive A open, its
// requests recorded and its window calls recorded: the frame of the engine
// tests.
class EngineTest : public ::testing::Test {
 protected:
  EngineTest() : recorder(sim) {
    sim.OpenControl();
    sim.OpenDrive('A');
  }

  OperationOutcome Run(OperationSteps steps, int first, int last, int retries = 2) {
    operation.Steps = steps;
    operation.OpFirstTrack = first;
    operation.OpLastTrack = last;
    operation.RetryCount = static_cast<std::uint8_t>(retries);
    return RunDiskOperation(disk, recorder, host, operation);
  }

  SimulatedDrive sim;
  RecordingDriver recorder;
  RecordingHost host;
  TZX_Disk disk;
  DiskOperation operation;
};

}  // namespace velloran::test
