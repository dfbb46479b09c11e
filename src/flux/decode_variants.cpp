#include "flux/decode_variants.h"

#include <array>
#include <cmath>

namespace velloran {

namespace {

constexpr double kNormalPhase = PllSettings{}.phaseGain;
constexpr double kCalmPhase = 0.6;

// Frequency gains first at the nominal cell (speed drift and jitter), then
// the same with the cell 2 % off (a drive turning off speed, peak shift),
// then a phase that follows each transition less closely.
constexpr std::array<PllSettings, 16> kVariants = {{
    {0.02, kNormalPhase, 1.00},
    {0.04, kNormalPhase, 1.00},
    {0.08, kNormalPhase, 1.00},
    {0.16, kNormalPhase, 1.00},
    {0.01, kNormalPhase, 0.98},
    {0.01, kNormalPhase, 1.02},
    {0.04, kNormalPhase, 0.98},
    {0.04, kNormalPhase, 1.02},
    {0.08, kNormalPhase, 0.98},
    {0.08, kNormalPhase, 1.02},
    {0.16, kNormalPhase, 0.98},
    {0.16, kNormalPhase, 1.02},
    {0.01, kCalmPhase, 1.00},
    {0.04, kCalmPhase, 1.00},
    {0.04, kCalmPhase, 0.98},
    {0.04, kCalmPhase, 1.02},
}};

int Percent(double share) { return static_cast<int>(std::lround(share * 100)); }

}  // namespace

std::span<const PllSettings> DecodeVariants() { return kVariants; }

PllSettings WaySettings(const DecodeWay& way) {
  return way.setting >= 1 && way.setting <= static_cast<int>(kVariants.size())
             ? kVariants[static_cast<std::size_t>(way.setting - 1)]
             : PllSettings{};
}

Phrase WayName(const DecodeWay& way) {
  const PllSettings settings = WaySettings(way);
  const int loop = Percent(settings.frequencyGain);
  const int clock = Percent(settings.clockScale);
  Phrase setting = settings.phaseGain == kNormalPhase
                       ? Phrase{MessageId::FluxVariantSettings, {loop, clock}}
                       : Phrase{MessageId::FluxVariantSettingsWithPhase, {loop, clock, Percent(settings.phaseGain)}};
  if (way.dataRate <= 0) return setting;
  return {MessageId::FluxWayAtRate, {way.dataRate / 1000, setting}};
}

}  // namespace velloran
