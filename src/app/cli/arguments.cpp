#include <exception>
#include <iostream>

#include "app/cli/cli.h"
#include "common/messages.h"

namespace velloran::cli {

Arguments::Arguments(const std::vector<std::string>& words, const std::set<std::string>& valueOptions) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
      positional_.push_back(word);
      continue;
    }
    const std::string name = word.substr(2);
    if (valueOptions.count(name) == 0) {
      flags_.insert(name);
    } else if (i + 1 < words.size()) {
      values_.emplace_back(name, words[++i]);
    } else {
      error_ = MessageText(MessageId::CliOptionNeedsValue, {"--" + name});
    }
  }
}

std::optional<std::string> Arguments::Value(const std::string& name) const {
  for (auto it = values_.rbegin(); it != values_.rend(); ++it)
    if (it->first == name) return it->second;
  return std::nullopt;
}

std::string Arguments::UnknownOption(const std::set<std::string>& known) const {
  for (const auto& flag : flags_)
    if (known.count(flag) == 0) return "--" + flag;
  for (const auto& value : values_)
    if (known.count(value.first) == 0) return "--" + value.first;
  return {};
}

void ReportLosses(const std::string& file, const SaveLosses& losses) {
  for (const auto& loss : losses)
    std::cerr << "velloran-cli: " << MessageText(MessageId::CliLost, {file, LossText(loss)}) << '\n';
}

std::optional<std::string> TakeShortOption(std::vector<std::string>& words, const std::string& option,
                                           std::string& error) {
  std::optional<std::string> value;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] != option) continue;
    if (i + 1 >= words.size()) {
      error = MessageText(MessageId::CliOptionNeedsValue, {option});
      return std::nullopt;
    }
    value = words[i + 1];
    words.erase(words.begin() + static_cast<long>(i), words.begin() + static_cast<long>(i) + 2);
    --i;
  }
  return value;
}

int Fail(const std::string& message) {
  std::cerr << "velloran-cli: " << message << '\n';
  return 1;
}

std::string SaveFailureText(const std::string& file, const Diagnostic& failure) {
  return file + ": " + (failure.Empty() ? MessageText(MessageId::CliCannotSaveImage) : DiagnosticText(failure));
}

bool NumberOption(const Arguments& args, const std::string& name, int minimum, int maximum, std::uint8_t& value,
                  std::string& error) {
  const auto text = args.Value(name);
  if (!text) return true;
  try {
    std::size_t used = 0;
    const int number = std::stoi(*text, &used);
    if (used == text->size() && number >= minimum && number <= maximum) {
      value = static_cast<std::uint8_t>(number);
      return true;
    }
  } catch (const std::exception&) {}
  error = MessageText(MessageId::CliNumberRange, {"--" + name, std::to_string(minimum), std::to_string(maximum)});
  return false;
}

}  // namespace velloran::cli
