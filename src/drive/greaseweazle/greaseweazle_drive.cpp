#include "drive/greaseweazle/greaseweazle_drive.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "flux/whole_revolutions.h"

namespace velloran {

namespace {

// Attempts of a read on flux overflow and of a write on flux underflow.
constexpr int kFluxAttempts = 5;
// Attempts of a command whose answer was lost or garbled, and of a flux read
// or write whose stream was; the link is resynchronised before each new one.
constexpr int kLinkAttempts = 3;
// The quiet that tells a resynchronised link has nothing more in flight.
constexpr int kDrainQuietMs = 50;
// Longest wait for a command's answer (a seek across the disk and the
// motor's spin-up fit well within it), and for the next bytes of a stream.
constexpr int kAnswerTimeoutMs = 5000;
constexpr int kStreamTimeoutMs = 3000;
// Longest flux stream taken from the device: far more than the revolutions
// of any read, and still a bounded allocation.
constexpr std::size_t kMaxStreamBytes = 64u << 20;

// Delays the drive is driven with: select 10 µs, step 3 ms, settle 15 ms,
// motor spin-up 750 ms, motor watchdog 10 s.
constexpr std::uint16_t kSelectMicroseconds = 10;
constexpr std::uint16_t kStepMicroseconds = 3000;
constexpr std::uint16_t kSettleMilliseconds = 15;
constexpr std::uint16_t kMotorMilliseconds = 750;
constexpr std::uint16_t kWatchdogMilliseconds = 10000;

std::string FirmwareText(const gw::FirmwareInfo& info) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d", info.major, info.minor);
  return text;
}

// Acknowledgements that end a whole operation.
bool StopsOperation(std::uint8_t ack) {
  return ack != gw::kFluxOverflow && ack != gw::kFluxUnderflow && ack != gw::kBadCylinder;
}

}  // namespace

GreaseweazleDrive::GreaseweazleDrive(std::string device, GreaseweazleUnit unit)
    : device_(std::move(device)), unit_(unit) {}

GreaseweazleDrive::~GreaseweazleDrive() { Stop(); }

DriveDescription GreaseweazleDrive::Describe() const {
  DriveDescription description;
  description.name = info_.ModelName();
  if (port_) description.version = FirmwareText(info_);
  description.capabilities.fluxRead = true;
  description.capabilities.fluxWrite = true;
  description.capabilities.writeProtectSense = true;
  return description;
}

bool GreaseweazleDrive::Fail(Phrase message, bool stops) {
  error_ = std::move(message);
  stops_ = stops;
  return false;
}

bool GreaseweazleDrive::AckFailure(std::uint8_t, std::uint8_t ack) {
  lastAck_ = ack;
  return Fail(gw::AckMessage(ack), StopsOperation(ack));
}

bool GreaseweazleDrive::LinkFailure(Phrase message, bool stops) {
  linkLost_ = true;
  return Fail(std::move(message), stops);
}

bool GreaseweazleDrive::ReadExact(std::uint8_t* data, std::size_t size, int timeoutMs) {
  std::size_t done = 0;
  while (done < size) {
    const long n = port_->ReadSome(data + done, size - done, timeoutMs);
    if (n < 0) return LinkFailure({MessageId::GreaseweazleLinkError, {port_->LastError()}});
    if (n == 0) return LinkFailure({MessageId::GreaseweazleNoAnswer});
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Clear comms makes the device drop a command cut short; what it was still
// sending (a late answer, the rest of a stream) is read and dropped, so that
// the next answer read is the next command's.
bool GreaseweazleDrive::Resynchronise() {
  if (!port_ || !port_->SetBaud(gw::kClearCommsBaud) || !port_->SetBaud(gw::kNormalBaud)) return false;
  std::vector<std::uint8_t> scrap(1 << 12);
  for (std::size_t drained = 0; drained < kMaxStreamBytes;) {
    const long n = port_->ReadSome(scrap.data(), scrap.size(), kDrainQuietMs);
    if (n <= 0) break;
    drained += static_cast<std::size_t>(n);
  }
  port_->FlushInput();
  return true;
}

bool GreaseweazleDrive::RetryAfterLinkFailure(int& attempt) {
  if (!linkLost_ || ++attempt >= kLinkAttempts) return false;
  return Resynchronise();
}

bool GreaseweazleDrive::Exchange(std::uint8_t command, ByteSpan arguments) {
  lastAck_ = gw::kOkay;
  linkLost_ = false;
  if (!port_->Write(gw::MakeCommand(command, arguments)))
    return LinkFailure({MessageId::GreaseweazleLinkError, {port_->LastError()}});
  std::uint8_t answer[2] = {};
  if (!ReadExact(answer, 2, kAnswerTimeoutMs)) return false;
  if (answer[0] != command) return LinkFailure({MessageId::GreaseweazleWrongReply, {command}});
  if (answer[1] != gw::kOkay) return AckFailure(command, answer[1]);
  return true;
}

bool GreaseweazleDrive::Send(std::uint8_t command, ByteSpan arguments) {
  if (!port_) return Fail({MessageId::GreaseweazleNotConnected}, true);
  int attempt = 0;
  while (!Exchange(command, arguments))
    if (!RetryAfterLinkFailure(attempt)) return false;
  return true;
}

bool GreaseweazleDrive::Open() {
  started_ = false;
  port_.reset();
  if (device_.empty()) {
    const std::vector<std::string> found = FindGreaseweazlePorts();
    if (found.empty()) return Fail({MessageId::GreaseweazleNotFound}, true);
    device_ = found.front();
  }
  Phrase message;
  port_ = OpenSerialPort(device_, message);
  if (!port_) return Fail(std::move(message), true);
  // Clear comms: the device resets its command parser when the line goes to
  // 10000 baud and back; what it had sent before is dropped.
  if (!port_->SetBaud(gw::kClearCommsBaud) || !port_->SetBaud(gw::kNormalBaud)) {
    const std::string why = port_->LastError();
    port_.reset();
    return Fail({MessageId::GreaseweazleLinkError, {why}}, true);
  }
  port_->FlushInput();

  Bytes block(gw::kInfoSize);
  if (!Send(gw::kGetInfo, Bytes{gw::kInfoFirmware}) || !ReadExact(block.data(), block.size(), kAnswerTimeoutMs)) {
    port_.reset();
    return false;
  }
  info_ = gw::ParseFirmwareInfo(block);
  const Phrase refused = info_.Version() < gw::kMinimumFirmware
                             ? Phrase{MessageId::GreaseweazleOldFirmware, {FirmwareText(info_)}}
                         : !info_.mainFirmware        ? Phrase{MessageId::GreaseweazleUpdateMode}
                         : info_.sampleFrequency == 0 ? Phrase{MessageId::GreaseweazleNoSampleFrequency}
                                                      : Phrase{};
  if (!refused.Empty()) {
    port_.reset();
    return Fail(refused, true);
  }
  if (!SetDelays() || !Send(gw::kSetBusType, Bytes{unit_.bus})) {
    port_.reset();
    return false;
  }
  return true;
}

bool GreaseweazleDrive::SetDelays() {
  Bytes arguments = {gw::kParamsDelays};
  for (const std::uint16_t value :
       {kSelectMicroseconds, kStepMicroseconds, kSettleMilliseconds, kMotorMilliseconds, kWatchdogMilliseconds})
    gw::PutU16(arguments, value);
  return Send(gw::kSetParams, arguments);
}

bool GreaseweazleDrive::Start() {
  if (!port_ && !Open()) return false;
  turnTicks_ = 0;  // measured anew: another disk, another drive perhaps
  if (!Send(gw::kSetBusType, Bytes{unit_.bus}) || !Send(gw::kSelect, Bytes{unit_.unit})) return false;
  started_ = true;
  if (!Send(gw::kMotor, Bytes{unit_.unit, 1}) || !SeekTrack(0, 0)) return false;
  // The drive's /TRK0 line must say that the heads are on track 0 now.
  std::uint8_t level = 1;
  if (!Send(gw::kGetPin, Bytes{gw::kPinTrack0}) || !ReadExact(&level, 1, kAnswerTimeoutMs)) return false;
  if (level != 0) return AckFailure(gw::kGetPin, gw::kNoTrack0);
  return true;
}

void GreaseweazleDrive::Stop() {
  if (!started_ || !port_) return;
  started_ = false;
  // Both are sent even when the first fails; the error of a stop is not
  // the operation's error.
  const Phrase kept = error_;
  const bool keptStops = stops_;
  Send(gw::kMotor, Bytes{unit_.unit, 0});
  Send(gw::kDeselect);
  error_ = kept;
  stops_ = keptStops;
}

bool GreaseweazleDrive::SeekTrack(int cylinder, int head) {
  Bytes arguments;
  if (cylinder >= -128 && cylinder <= 127)
    arguments.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(cylinder)));
  else
    gw::PutU16(arguments, static_cast<std::uint16_t>(static_cast<std::int16_t>(cylinder)));
  return Send(gw::kSeek, arguments) && Send(gw::kHead, Bytes{static_cast<std::uint8_t>(head)});
}

bool GreaseweazleDrive::ReadStream(Bytes& stream) {
  stream.clear();
  std::vector<std::uint8_t> chunk(1 << 16);
  while (true) {
    const long n = port_->ReadSome(chunk.data(), chunk.size(), kStreamTimeoutMs);
    if (n < 0) return LinkFailure({MessageId::GreaseweazleLinkError, {port_->LastError()}});
    if (n == 0) return LinkFailure({MessageId::GreaseweazleNoAnswer});
    stream.insert(stream.end(), chunk.begin(), chunk.begin() + n);
    // Nothing follows a stream's 0 byte until the next command.
    if (stream.back() == 0) {
      stream.pop_back();
      return true;
    }
    if (stream.size() > kMaxStreamBytes) return LinkFailure({MessageId::GreaseweazleStreamTooLong});
  }
}

bool GreaseweazleDrive::FluxStatus() { return Send(gw::kGetFluxStatus); }

bool GreaseweazleDrive::ReadOnce(std::uint32_t ticks, int indexCount, FluxTrack& out) {
  Bytes arguments;
  gw::PutU32(arguments, ticks);
  gw::PutU16(arguments, static_cast<std::uint32_t>(indexCount));
  Bytes stream;
  if (!Send(gw::kReadFlux, arguments) || !ReadStream(stream) || !FluxStatus()) return false;
  if (!gw::DecodeFluxStream(stream, info_.sampleFrequency, out))
    return LinkFailure({MessageId::GreaseweazleStreamCorrupt}, false);
  return true;
}

bool GreaseweazleDrive::Capture(std::uint32_t ticks, int indexCount, FluxTrack& out) {
  int linkAttempt = 0;
  for (int attempt = 0; attempt < kFluxAttempts; ++attempt) {
    if (ReadOnce(ticks, indexCount, out)) return true;
    if (lastAck_ != gw::kFluxOverflow && !RetryAfterLinkFailure(linkAttempt)) return false;
  }
  return false;
}

// The capture starts at once, wherever the disk is, and runs a little over
// the revolutions wanted; its two ends join into a whole revolution. Until
// the drive's turn is known, and when the ends do not join (a track without
// a clear pattern in that stretch), the capture runs from the index instead.
bool GreaseweazleDrive::ReadFlux(int revolutions, FluxTrack& out) {
  FluxTrack capture;
  if (turnTicks_ > 0) {
    const auto ticks = static_cast<std::uint32_t>(
        std::min<double>(UINT32_MAX, std::ceil((revolutions + kJoinOverlap) * static_cast<double>(turnTicks_))));
    if (!Capture(ticks, 0, capture)) return false;
    out = WholeRevolutions(capture, turnTicks_);
    if (out.Revolutions() >= revolutions) return LearnTurn(out);
  }
  if (!Capture(0, revolutions + 1, capture)) return false;
  out = WholeRevolutions(capture, turnTicks_);
  return LearnTurn(out);
}

bool GreaseweazleDrive::LearnTurn(const FluxTrack& whole) {
  if (whole.Revolutions() > 0) turnTicks_ = whole.indexTimes.back() - whole.indexTimes[whole.indexTimes.size() - 2];
  return true;
}

bool GreaseweazleDrive::WriteOnce(const Bytes& stream) {
  if (!Send(gw::kWriteFlux, Bytes{1, 1})) return false;
  if (!port_->Write(stream)) return LinkFailure({MessageId::GreaseweazleLinkError, {port_->LastError()}});
  std::uint8_t sync = 0;
  return ReadExact(&sync, 1, kAnswerTimeoutMs) && FluxStatus();
}

bool GreaseweazleDrive::WriteFlux(const FluxTrack& flux) {
  const FluxTrack resampled = flux.sampleClock == SampleClock() ? flux : Resampled(flux, SampleClock());
  const std::vector<std::uint32_t> revolution =
      resampled.Revolutions() > 0 ? RevolutionIntervals(resampled, 0) : resampled.intervals;
  const Bytes stream = gw::EncodeFluxStream(revolution, SampleClock());
  int linkAttempt = 0;
  for (int attempt = 0; attempt < kFluxAttempts; ++attempt) {
    if (WriteOnce(stream)) return true;
    if (lastAck_ != gw::kFluxUnderflow && !RetryAfterLinkFailure(linkAttempt)) return false;
  }
  return false;
}

bool GreaseweazleDrive::EraseTrack() {
  // A little over one revolution at 300 rpm, so that the whole track is wiped.
  Bytes arguments;
  gw::PutU32(arguments, static_cast<std::uint32_t>(std::llround(0.21 * SampleClock())));
  std::uint8_t sync = 0;
  return Send(gw::kEraseFlux, arguments) && ReadExact(&sync, 1, kAnswerTimeoutMs) && FluxStatus();
}

}  // namespace velloran
