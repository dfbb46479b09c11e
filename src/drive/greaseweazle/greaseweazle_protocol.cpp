#include "drive/greaseweazle/greaseweazle_protocol.h"

#include <algorithm>
#include <cmath>

namespace velloran::gw {

namespace {

// Longest interval of one or two stream bytes.
constexpr std::uint32_t kOneByteLimit = 249;
constexpr std::uint32_t kTwoByteLimit = 1524;
constexpr std::uint8_t kOpcodeByte = 255;
constexpr std::uint8_t kOpIndex = 1;
constexpr std::uint8_t kOpSpace = 2;
constexpr std::uint8_t kOpAstable = 3;
constexpr std::uint32_t kN28Limit = (1u << 28) - 1;

void PutN28(Bytes& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(((value >> (7 * i)) & 0x7F) << 1 | 1));
}

void PutOpcode(Bytes& out, std::uint8_t opcode, std::uint32_t value) {
  out.push_back(kOpcodeByte);
  out.push_back(opcode);
  PutN28(out, value);
}

// Long stretches go out as Space opcodes, each within 28 bits.
void PutSpace(Bytes& out, std::uint64_t ticks) {
  while (ticks > 0) {
    const auto part = static_cast<std::uint32_t>(std::min<std::uint64_t>(ticks, kN28Limit));
    PutOpcode(out, kOpSpace, part);
    ticks -= part;
  }
}

// One interval that ends in a transition, at most 1524 ticks.
void PutShortInterval(Bytes& out, std::uint32_t ticks) {
  if (ticks <= kOneByteLimit) {
    out.push_back(static_cast<std::uint8_t>(ticks));
    return;
  }
  const std::uint32_t above = ticks - 250;
  out.push_back(static_cast<std::uint8_t>(250 + above / 255));
  out.push_back(static_cast<std::uint8_t>(above % 255 + 1));
}

// Any interval: what does not fit two bytes is a Space before a one-byte interval.
void PutInterval(Bytes& out, std::uint64_t ticks) {
  if (ticks == 0) return;
  if (ticks > kTwoByteLimit) {
    PutSpace(out, ticks - kOneByteLimit);
    ticks = kOneByteLimit;
  }
  PutShortInterval(out, static_cast<std::uint32_t>(ticks));
}

// An index pulse at `time`, counted from the start of the interval that
// began at `intervalStart`.
void PutIndex(Bytes& out, std::uint64_t time, std::uint64_t intervalStart) {
  const std::uint64_t offset = time >= intervalStart ? time - intervalStart : 0;
  PutOpcode(out, kOpIndex, static_cast<std::uint32_t>(std::min<std::uint64_t>(offset, kN28Limit)));
}

std::uint32_t U16(ByteSpan b, std::size_t at) { return b[at] | b[at + 1] << 8; }

}  // namespace

std::string FirmwareInfo::ModelName() const {
  std::string name = "Greaseweazle";
  if (hardwareModel != 0) name += " model " + std::to_string(hardwareModel) + "." + std::to_string(hardwareSubmodel);
  return name;
}

FirmwareInfo ParseFirmwareInfo(ByteSpan block) {
  FirmwareInfo info;
  if (block.size() < 12) return info;
  info.major = block[0];
  info.minor = block[1];
  info.mainFirmware = block[2] != 0;
  info.maxCommand = block[3];
  info.sampleFrequency = U16(block, 4) | U16(block, 6) << 16;
  info.hardwareModel = block[8];
  info.hardwareSubmodel = block[9];
  info.usbSpeed = block[10];
  return info;
}

Bytes FirmwareInfoBlock(const FirmwareInfo& info) {
  Bytes block = {static_cast<std::uint8_t>(info.major), static_cast<std::uint8_t>(info.minor),
                 static_cast<std::uint8_t>(info.mainFirmware ? 1 : 0), static_cast<std::uint8_t>(info.maxCommand)};
  PutU32(block, info.sampleFrequency);
  block.insert(block.end(),
               {static_cast<std::uint8_t>(info.hardwareModel), static_cast<std::uint8_t>(info.hardwareSubmodel),
                static_cast<std::uint8_t>(info.usbSpeed)});
  block.resize(kInfoSize, 0);
  return block;
}

Phrase AckMessage(std::uint8_t ack) {
  MessageId what = MessageId::GreaseweazleUnknownAck;
  switch (ack) {
    case kOkay: return {MessageId::GreaseweazleDone};
    case kBadCommand: what = MessageId::GreaseweazleBadCommand; break;
    case kNoIndex: what = MessageId::GreaseweazleNoIndex; break;
    case kNoTrack0: what = MessageId::GreaseweazleNoTrack0; break;
    case kFluxOverflow: what = MessageId::GreaseweazleFluxOverflow; break;
    case kFluxUnderflow: what = MessageId::GreaseweazleFluxUnderflow; break;
    case kWriteProtected: what = MessageId::GreaseweazleWriteProtected; break;
    case kNoUnit: what = MessageId::GreaseweazleNoUnit; break;
    case kNoBus: what = MessageId::GreaseweazleNoBus; break;
    case kBadUnit: what = MessageId::GreaseweazleBadUnit; break;
    case kBadPin: what = MessageId::GreaseweazleBadPin; break;
    case kBadCylinder: what = MessageId::GreaseweazleBadCylinder; break;
    case kOutOfSram: what = MessageId::GreaseweazleOutOfSram; break;
    case kOutOfFlash: what = MessageId::GreaseweazleOutOfFlash; break;
    default: break;
  }
  return {MessageId::GreaseweazleFailed, {Phrase{what}, ack}};
}

Bytes MakeCommand(std::uint8_t command, ByteSpan arguments) {
  Bytes out(2 + arguments.size());
  out[0] = command;
  out[1] = static_cast<std::uint8_t>(out.size());
  std::copy(arguments.begin(), arguments.end(), out.begin() + 2);
  return out;
}

void PutU16(Bytes& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(Bytes& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

bool DecodeFluxStream(ByteSpan stream, double sampleClock, FluxTrack& out) {
  out = FluxTrack{};
  out.sampleClock = sampleClock;
  std::uint64_t lastTransition = 0;  // time of the last transition
  std::uint64_t pending = 0;         // ticks added to the current interval by Space opcodes
  std::size_t i = 0;
  while (i < stream.size()) {
    const std::uint8_t b = stream[i];
    std::uint64_t interval = 0;
    if (b == kOpcodeByte) {
      if (i + 6 > stream.size()) return false;
      std::uint32_t value = 0;
      for (int k = 0; k < 4; ++k) value |= static_cast<std::uint32_t>(stream[i + 2 + k] >> 1) << (7 * k);
      switch (stream[i + 1]) {
        case kOpIndex: {
          const std::uint64_t time = lastTransition + value;
          if (!out.indexTimes.empty() && time < out.indexTimes.back()) return false;
          out.indexTimes.push_back(time);
          break;
        }
        case kOpSpace: pending += value; break;
        case kOpAstable: break;
        default: return false;
      }
      i += 6;
      continue;
    }
    if (b == 0) return false;
    if (b < 250) {
      interval = b;
      i += 1;
    } else {
      if (i + 2 > stream.size() || stream[i + 1] == 0) return false;
      interval = 250 + (b - 250) * 255u + stream[i + 1] - 1;
      i += 2;
    }
    interval += pending;
    pending = 0;
    if (interval > UINT32_MAX) return false;
    out.intervals.push_back(static_cast<std::uint32_t>(interval));
    lastTransition += interval;
  }
  return true;
}

Bytes EncodeFluxStream(const std::vector<std::uint32_t>& intervals, double sampleClock) {
  // Gaps longer than 150 µs are written as a no-flux area (an astable
  // oscillation of 1.25 µs), which a drive reads back as no transitions.
  const auto noFluxFrom = static_cast<std::uint64_t>(std::llround(150e-6 * sampleClock));
  const auto astablePeriod = static_cast<std::uint32_t>(std::llround(1.25e-6 * sampleClock));
  Bytes out;
  out.reserve(intervals.size() * 2 + 16);
  for (const std::uint32_t interval : intervals) {
    const std::uint64_t ticks = interval;
    if (ticks == 0) continue;
    if (ticks > noFluxFrom) {
      PutSpace(out, ticks - kOneByteLimit);
      PutOpcode(out, kOpAstable, astablePeriod);
      PutShortInterval(out, kOneByteLimit);
    } else {
      PutInterval(out, ticks);
    }
  }
  // A last interval of about 100 µs, sacrificed to the end of the write.
  PutInterval(out, static_cast<std::uint64_t>(std::llround(100e-6 * sampleClock)));
  out.push_back(0);
  return out;
}

Bytes EncodeReadStream(const FluxTrack& track) {
  Bytes out;
  out.reserve(track.intervals.size() * 2 + 16);
  std::uint64_t lastTransition = 0;
  std::size_t index = 0;
  for (const std::uint32_t interval : track.intervals) {
    const std::uint64_t next = lastTransition + interval;
    // Index pulses within this interval come first, counted from its start.
    while (index < track.indexTimes.size() && track.indexTimes[index] < next)
      PutIndex(out, track.indexTimes[index++], lastTransition);
    PutInterval(out, interval);
    lastTransition = next;
  }
  while (index < track.indexTimes.size()) PutIndex(out, track.indexTimes[index++], lastTransition);
  out.push_back(0);
  return out;
}

}  // namespace velloran::gw
