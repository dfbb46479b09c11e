#include "plot/plot_file.h"

#include <algorithm>

#include "common/file_io.h"
#include "common/messages.h"
#include "common/utf8_path.h"
#include "plot/png_writer.h"
#include "plot/raster.h"
#include "plot/svg_writer.h"

namespace velloran {

PlotFileKind PlotFileKindOf(const std::filesystem::path& file) {
  std::string extension = PathToUtf8(file.extension());
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); });
  if (extension == ".svg") return PlotFileKind::Svg;
  if (extension == ".png") return PlotFileKind::Png;
  return PlotFileKind::None;
}

bool WritePlotFile(const Scene& scene, const std::filesystem::path& file, std::string& error) {
  Bytes bytes;
  switch (PlotFileKindOf(file)) {
    case PlotFileKind::Svg: {
      const std::string svg = SceneToSvg(scene);
      bytes.assign(svg.begin(), svg.end());
      break;
    }
    case PlotFileKind::Png:
      if (!EncodePng(RasterizeScene(scene), bytes, error)) return false;
      break;
    case PlotFileKind::None: error = MessageText(MessageId::PlotFileKindNeeded, {PathToUtf8(file)}); return false;
  }
  return WriteFileAtomic(file, bytes, error);
}

}  // namespace velloran
