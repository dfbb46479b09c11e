// Writing a plot to a file: SVG or PNG by the file's extension, saved
// atomically like every file the program writes.
#pragma once

#include <filesystem>
#include <string>

#include "plot/scene.h"

namespace velloran {

enum class PlotFileKind { None, Svg, Png };

// The kind of the file's extension (.svg or .png, any case), else None.
PlotFileKind PlotFileKindOf(const std::filesystem::path& file);

// False with a message in `error` for another extension, a PNG in a build
// without libpng, or a failed write.
bool WritePlotFile(const Scene& scene, const std::filesystem::path& file, std::string& error);

}  // namespace velloran
