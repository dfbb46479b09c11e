#include "sim/greaseweazle_sim.h"

#include <algorithm>
#include <cmath>

#include "drive/greaseweazle/greaseweazle_protocol.h"
#include "flux/track_decoder.h"
#include "flux/track_encoder.h"

namespace velloran {

namespace {

// What one command costs the host and the USB link.
constexpr double kCommandSeconds = 0.0002;
// A read or write without index pulses gives up after this long.
constexpr double kIndexTimeoutSeconds = 0.6;
// The longest read: one without limits stops after this many turns.
constexpr std::uint64_t kLongestReadTurns = 50;
// Data bytes of a weak sector that change in each bad revolution.
constexpr int kWeakBytes = 4;

std::uint32_t U16(const Bytes& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

Bytes Answer(std::uint8_t command, std::uint8_t ack) { return {command, ack}; }

}  // namespace

GreaseweazleSim::GreaseweazleSim(GreaseweazleSimOptions options)
    : options_(std::move(options)), scratch_(std::make_unique<TZX_Disk>()), random_(options_.faults.seed) {}

void GreaseweazleSim::ClearComms() {
  pending_.clear();
  receivingStream_ = false;
  writeStream_.clear();
}

Bytes GreaseweazleSim::Feed(ByteSpan input) {
  Bytes out;
  std::size_t i = 0;
  while (i < input.size()) {
    if (receivingStream_) {
      const auto end = std::find(input.begin() + static_cast<std::ptrdiff_t>(i), input.end(), 0);
      writeStream_.insert(writeStream_.end(), input.begin() + static_cast<std::ptrdiff_t>(i), end);
      i = static_cast<std::size_t>(end - input.begin());
      if (end == input.end()) break;
      ++i;  // the stream's 0 byte
      receivingStream_ = false;
      FinishWrite();
      out.push_back(0);  // the sync byte: the write is done
      continue;
    }
    pending_.push_back(input[i++]);
    if (pending_.size() < 2) continue;
    const std::size_t length = pending_[1];
    if (length < 2) {
      const Bytes answer = Answer(pending_[0], gw::kBadCommand);
      out.insert(out.end(), answer.begin(), answer.end());
      pending_.clear();
      continue;
    }
    if (pending_.size() < length) continue;
    const Bytes command = std::move(pending_);
    pending_.clear();
    if (options_.faults.noisyAnswers > 0 && ++answers_ % options_.faults.noisyAnswers == 0) out.push_back(0xEE);
    const Bytes answer = Execute(command);
    out.insert(out.end(), answer.begin(), answer.end());
  }
  return out;
}

Bytes GreaseweazleSim::Execute(const Bytes& command) {
  Elapse(kCommandSeconds);
  const std::uint8_t code = command[0];
  const std::size_t length = command.size();
  const bool needsUnit = code == gw::kSeek || code == gw::kReadFlux || code == gw::kWriteFlux ||
                         code == gw::kEraseFlux || code == gw::kHead;
  if (needsUnit && !selected_) return Answer(code, gw::kNoUnit);
  switch (code) {
    case gw::kGetInfo: {
      if (length != 3) break;
      Bytes answer = Answer(code, gw::kOkay);
      Bytes block(gw::kInfoSize, 0);
      if (command[2] == gw::kInfoFirmware) {
        gw::FirmwareInfo info;
        info.major = options_.faults.firmwareMajor;
        info.minor = options_.faults.firmwareMinor;
        info.mainFirmware = true;
        info.maxCommand = gw::kGetPin;
        info.sampleFrequency = static_cast<std::uint32_t>(options_.sampleClock);
        info.hardwareModel = 7;
        info.hardwareSubmodel = 1;
        info.usbSpeed = 1;
        block = gw::FirmwareInfoBlock(info);
      } else if (command[2] == gw::kInfoCurrentDrive) {
        block[0] = static_cast<std::uint8_t>(1 | (motorOn_ ? 2 : 0));
        block[4] = static_cast<std::uint8_t>(cylinder_);
      } else {
        break;
      }
      answer.insert(answer.end(), block.begin(), block.end());
      return answer;
    }
    case gw::kSeek:
      if (length == 3) return Answer(code, Seek(static_cast<std::int8_t>(command[2])));
      if (length == 4) return Answer(code, Seek(static_cast<std::int16_t>(U16(command, 2))));
      break;
    case gw::kHead:
      if (length != 3 || command[2] > 1) break;
      head_ = command[2];
      return Answer(code, gw::kOkay);
    case gw::kSetParams:
      if (length < 3 + 10 || command[2] != gw::kParamsDelays) break;
      stepSeconds_ = U16(command, 5) * 1e-6;
      settleSeconds_ = U16(command, 7) * 1e-3;
      motorSeconds_ = U16(command, 9) * 1e-3;
      return Answer(code, gw::kOkay);
    case gw::kSetBusType:
      if (length != 3 || (command[2] != gw::kBusIbmPc && command[2] != gw::kBusShugart)) break;
      busType_ = command[2];
      return Answer(code, gw::kOkay);
    case gw::kSelect:
    case gw::kMotor: {
      if (length != (code == gw::kSelect ? 3u : 4u)) break;
      if (busType_ == 0) return Answer(code, gw::kNoBus);
      const int maxUnit = busType_ == gw::kBusIbmPc ? 1 : 2;
      if (command[2] > maxUnit) return Answer(code, gw::kBadUnit);
      if (code == gw::kSelect) {
        unit_ = command[2];
        selected_ = true;
      } else {
        const bool on = command[3] != 0;
        if (on && !motorOn_) Elapse(motorSeconds_);
        motorOn_ = on;
      }
      return Answer(code, gw::kOkay);
    }
    case gw::kDeselect:
      selected_ = false;
      unit_ = -1;
      return Answer(code, gw::kOkay);
    case gw::kGetPin: {
      if (length != 3) break;
      if (command[2] != gw::kPinTrack0) return Answer(code, gw::kBadPin);
      Bytes answer = Answer(code, gw::kOkay);
      answer.push_back(cylinder_ == 0 ? 0 : 1);
      return answer;
    }
    case gw::kReset:
      selected_ = false;
      motorOn_ = false;
      busType_ = 0;
      unit_ = -1;
      return Answer(code, gw::kOkay);
    case gw::kReadFlux: {
      if (length != 8) break;
      Bytes answer = Answer(code, gw::kOkay);
      const Bytes stream = ReadFlux(U32(command, 2), static_cast<int>(U16(command, 6)));
      answer.insert(answer.end(), stream.begin(), stream.end());
      return answer;
    }
    case gw::kWriteFlux: {
      if (length != 4 && length != 8) break;
      const std::uint8_t ack = StartWrite();
      if (ack == gw::kOkay) receivingStream_ = true;
      return Answer(code, ack);
    }
    case gw::kGetFluxStatus: return Answer(code, fluxStatus_);
    case gw::kEraseFlux: {
      if (length != 6) break;
      const std::uint8_t ack = Erase(U32(command, 2));
      Bytes answer = Answer(code, ack);
      if (ack == gw::kOkay) answer.push_back(0);
      return answer;
    }
    default: break;
  }
  return Answer(code, gw::kBadCommand);
}

std::uint8_t GreaseweazleSim::Seek(int cylinder) {
  if (cylinder < 0 || cylinder >= options_.cylinders) return gw::kBadCylinder;
  Elapse(std::abs(cylinder - cylinder_) * stepSeconds_ + settleSeconds_);
  cylinder_ = cylinder;
  seeks_.push_back(cylinder);
  return gw::kOkay;
}

void GreaseweazleSim::WaitForIndex() {
  const double phase = std::fmod(seconds_, kRevolutionSeconds);
  if (phase > 0) Elapse(kRevolutionSeconds - phase);
}

std::vector<std::uint32_t> GreaseweazleSim::RevolutionFlux(bool weakGood) {
  const int t = TrackIndex();
  if (written_[t]) return written_[t]->intervals;
  const GreaseweazleSimFaults& faults = options_.faults;
  TTrack& copy = scratch_->GetTrack(static_cast<std::uint8_t>(t));
  copy = medium_.GetTrack(static_cast<std::uint8_t>(t));
  for (TSectorRec& sector : copy.Sectors) {
    if (!sector.Used) continue;
    const SectorKey key{t, sector.IdSector};
    const bool weak = faults.weak.count(key) != 0;
    if (faults.bad.count(key) != 0 || (weak && !weakGood)) sector.DataOk = false;
    if (weak && !weakGood && sector.DataLen > 0) {
      for (int k = 0; k < kWeakBytes; ++k)
        sector.Data[random_() % sector.DataLen] ^= static_cast<std::uint8_t>(random_() | 1);
    }
  }
  FluxTiming timing;
  timing.sampleClock = options_.sampleClock;
  FluxTrack flux;
  EncodeDiskTrack(*scratch_, static_cast<std::uint8_t>(t), timing, flux);
  return flux.intervals;
}

Bytes GreaseweazleSim::ReadFlux(std::uint32_t ticks, int indexCount) {
  const int t = TrackIndex();
  ++fluxReads_;
  ++readsOfTrack_[t];
  const GreaseweazleSimFaults& faults = options_.faults;
  fluxStatus_ = gw::kOkay;
  if (!DiskPresent() || !motorOn_) {
    Elapse(kIndexTimeoutSeconds);
    fluxStatus_ = gw::kNoIndex;
    return {0};
  }
  const double clock = options_.sampleClock;
  const auto revolutionTicks = static_cast<std::uint64_t>(std::llround(kRevolutionSeconds * clock));
  // The capture starts where the disk is now and ends once `ticks` ticks
  // have passed or at the `indexCount`th index pulse, whichever comes first
  // (0: no limit of that kind).
  const double phase = std::fmod(seconds_, kRevolutionSeconds) / kRevolutionSeconds;
  const auto startTick = static_cast<std::uint64_t>(phase * static_cast<double>(revolutionTicks));
  const std::uint64_t firstIndex = revolutionTicks - startTick;
  std::uint64_t end = kLongestReadTurns * revolutionTicks;
  if (ticks > 0) end = std::min<std::uint64_t>(end, ticks);
  if (indexCount > 0 && !faults.noIndex)
    end = std::min(end, firstIndex + static_cast<std::uint64_t>(indexCount - 1) * revolutionTicks);

  // A weak sector holds in every second read.
  const bool weakGood = readsOfTrack_[t] % 2 == 0;
  std::vector<std::uint64_t> times;
  FluxTrack track;
  track.sampleClock = clock;
  for (std::uint64_t turnStart = 0; turnStart < startTick + end; turnStart += revolutionTicks) {
    std::uint64_t time = turnStart;
    for (const std::uint32_t interval : RevolutionFlux(weakGood)) {
      time += interval;
      if (time > startTick && time - startTick <= end) times.push_back(time - startTick);
    }
    const std::uint64_t index = turnStart + revolutionTicks;
    if (!faults.noIndex && index - startTick <= end) track.indexTimes.push_back(index - startTick);
  }
  if (faults.jitterNs > 0) {
    const double spread = faults.jitterNs * 1e-9 * clock;
    std::uniform_real_distribution<double> jitter(-spread, spread);
    std::uint64_t previous = 0;
    for (std::uint64_t& time : times) {
      const double moved = static_cast<double>(time) + jitter(random_);
      time = std::max<std::uint64_t>(previous + 1, static_cast<std::uint64_t>(std::max(0.0, moved)));
      previous = time;
    }
  }
  std::uint64_t previous = 0;
  for (const std::uint64_t time : times) {
    track.intervals.push_back(static_cast<std::uint32_t>(time - previous));
    previous = time;
  }
  Elapse(static_cast<double>(end) / clock);
  ticksRead_ += end;
  if (faults.noIndex) {
    fluxStatus_ = gw::kNoIndex;
  } else if (readsOfTrack_[t] <= faults.overflowReads) {
    // The device's buffer ran over: the stream stops early.
    fluxStatus_ = gw::kFluxOverflow;
    track.intervals.resize(track.intervals.size() / 3);
    track.indexTimes.resize(std::min<std::size_t>(track.indexTimes.size(), 1));
  }
  return gw::EncodeReadStream(track);
}

std::uint8_t GreaseweazleSim::StartWrite() {
  if (options_.faults.writeProtected) return gw::kWriteProtected;
  writeStream_.clear();
  return gw::kOkay;
}

void GreaseweazleSim::FinishWrite() {
  fluxStatus_ = gw::kOkay;
  WaitForIndex();
  if (!DiskPresent() || !motorOn_ || options_.faults.noIndex) {
    Elapse(kIndexTimeoutSeconds);
    fluxStatus_ = gw::kNoIndex;
    return;
  }
  Elapse(kRevolutionSeconds);
  FluxTrack flux;
  if (!gw::DecodeFluxStream(writeStream_, options_.sampleClock, flux)) {
    fluxStatus_ = gw::kBadCommand;
    return;
  }
  // The write stops at the next index: what the stream holds beyond one
  // revolution is not on the disk.
  const auto revolutionTicks = static_cast<std::uint64_t>(std::llround(kRevolutionSeconds * options_.sampleClock));
  std::uint64_t time = 0;
  std::size_t kept = 0;
  while (kept < flux.intervals.size() && time + flux.intervals[kept] < revolutionTicks) time += flux.intervals[kept++];
  flux.intervals.resize(kept);
  flux.indexTimes = {0, revolutionTicks};
  const int t = TrackIndex();
  TTrack& track = medium_.GetTrack(static_cast<std::uint8_t>(t));
  DecodeFluxTrack(flux, track);
  written_[t] = std::move(flux);
}

std::uint8_t GreaseweazleSim::Erase(std::uint32_t ticks) {
  if (options_.faults.writeProtected) return gw::kWriteProtected;
  WaitForIndex();
  Elapse(ticks / options_.sampleClock);
  FluxTrack flux;
  flux.sampleClock = options_.sampleClock;
  flux.indexTimes = {0, static_cast<std::uint64_t>(std::llround(kRevolutionSeconds * options_.sampleClock))};
  const int t = TrackIndex();
  medium_.GetTrack(static_cast<std::uint8_t>(t)).Clear();
  written_[t] = std::move(flux);
  fluxStatus_ = gw::kOkay;
  return gw::kOkay;
}

}  // namespace velloran
