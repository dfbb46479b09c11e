// The PNG writer of builds without libpng: it says so.
#include "plot/png_writer.h"

namespace velloran {

bool PngAvailable() { return false; }

bool EncodePng(const RgbImage&, Bytes& out, std::string& error) {
  out.clear();
  error = "this build writes plots as SVG only (it was built without libpng)";
  return false;
}

}  // namespace velloran
