// Where settings live: a flat store of text values under key names (one INI
// section in the desktop application). Integers are stored in decimal,
// Booleans as 1 or 0, strings as they are.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velloran {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text of a key, or nothing when the key is missing.
  virtual std::optional<std::string> Read(const std::string& key) const = 0;
  virtual void Write(const std::string& key, const std::string& value) = 0;
};

// A store held in memory, for the command line and the tests. It remembers
// the order of writes so that the order can be checked.
class MemorySettingsStore : public SettingsStore {
 public:
  std::optional<std::string> Read(const std::string& key) const override;
  void Write(const std::string& key, const std::string& value) override;

  const std::map<std::string, std::string>& Values() const { return values_; }
  // Every write, in order: key and value.
  const std::vector<std::pair<std::string, std::string>>& Writes() const { return writes_; }
  void ClearWrites() { writes_.clear(); }

 private:
  std::map<std::string, std::string> values_;
  std::vector<std::pair<std::string, std::string>> writes_;
};

}  // namespace velloran
