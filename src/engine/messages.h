// Texts the disk operations and controller commands show or log. Every
// message box of these commands has the caption kErrorCaption and one OK button.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velloran {

inline constexpr std::string_view kErrorCaption = "Ошибка!";

inline std::string ResetFailedText(std::uint32_t code) {
  return "Ошибка сброса контроллера - (" + std::to_string(code) + ")!";
}

inline std::string SeekFailedText(std::uint32_t code) {
  return "Ошибка позиционирования - (" + std::to_string(code) + ")!";
}

}  // namespace velloran
