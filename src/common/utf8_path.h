// File names as UTF-8 text. Inside the program every file name is UTF-8; a
// std::filesystem::path made from a plain std::string would read it in the
// system's ANSI code page on Windows (and print in it), so paths are made
// from text and turned back into text only through these two functions.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velloran {

std::filesystem::path PathFromUtf8(std::string_view text);
std::string PathToUtf8(const std::filesystem::path& path);

}  // namespace velloran
