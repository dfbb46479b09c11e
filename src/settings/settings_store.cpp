#include "settings/settings_store.h"

namespace velloran {

std::optional<std::string> MemorySettingsStore::Read(const std::string& key) const {
  const auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void MemorySettingsStore::Write(const std::string& key, const std::string& value) {
  values_[key] = value;
  writes_.emplace_back(key, value);
}

}  // namespace velloran
