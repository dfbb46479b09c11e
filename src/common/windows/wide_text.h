// UTF-8 text and the UTF-16 strings of the Windows API.
#pragma once

#include <string>
#include <string_view>

namespace velloran {

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace velloran
