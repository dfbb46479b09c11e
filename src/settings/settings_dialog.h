// What the settings window shows: the limits of its number fields and the
// mapping between the Drive and Rate settings and the items of its lists.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velloran {

// Limits of one number field of the window.
struct NumberFieldLimits {
  std::string_view field;  // component name
  int minimum;
  int maximum;
  int digits;
};

inline constexpr NumberFieldLimits kRetryCountField{"e1", 0, 255, 3};
inline constexpr NumberFieldLimits kRetryCountWithResetField{"e2", 0, 255, 3};
// Track indexes end at 165, so the first track cannot be set beyond it.
inline constexpr NumberFieldLimits kFirstTrackField{"e3", 0, 165, 3};
inline constexpr NumberFieldLimits kLastTrackField{"e4", 0, 165, 3};
inline constexpr NumberFieldLimits kCycleReadField{"e5", 1, 30, 3};
inline constexpr NumberFieldLimits kTimeOutField{"e6", 1, 30, 2};
inline constexpr NumberFieldLimits kGapField{"e7", 1, 30, 3};

// Items of the drive list `cbdr` and of the data-rate list `cbsr`.
inline constexpr std::array<std::string_view, 2> kDriveItems = {"A:", "B:"};
inline constexpr std::array<std::string_view, 4> kRateItems = {"250K", "300K", "500K", "1M"};

// The name of a data rate code: 0 "500K", 1 "300K", 2 "250K", 3 "1M".
std::string_view RateName(std::uint8_t rate);

// Drive "A" shows as item 0, anything else as item 1; back: item 0 is "A",
// any other item "B".
int DriveItemIndex(const std::string& drive);
std::string DriveFromItem(int item);

// Rate 2 shows as item 0, 1 as 1, 0 as 2, 3 as 3, any other as 2; back:
// item 0 is rate 2, 1 is 1, 2 is 0, 3 is 3 (no item: 2).
int RateItemIndex(std::uint8_t rate);
std::uint8_t RateFromItem(int item);

}  // namespace velloran
