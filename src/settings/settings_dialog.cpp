#include "settings/settings_dialog.h"

namespace velloran {

std::string_view RateName(std::uint8_t rate) {
  static constexpr std::array<std::string_view, 4> kNames = {"500K", "300K", "250K", "1M"};
  return rate < kNames.size() ? kNames[rate] : std::string_view();
}

int DriveItemIndex(const std::string& drive) { return drive == "A" ? 0 : 1; }

std::string DriveFromItem(int item) { return item == 0 ? "A" : "B"; }

int RateItemIndex(std::uint8_t rate) {
  switch (rate) {
    case 2: return 0;
    case 1: return 1;
    case 0: return 2;
    case 3: return 3;
    default: return 2;
  }
}

std::uint8_t RateFromItem(int item) {
  switch (item) {
    case 0: return 2;
    case 1: return 1;
    case 2: return 0;
    case 3: return 3;
    default: return 2;  // no item chosen: the default rate
  }
}

}  // namespace velloran
