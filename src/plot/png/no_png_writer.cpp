// The PNG writer of builds without libpng: it says so.
#include "common/messages.h"
#include "plot/png_writer.h"

namespace velloran {

bool PngAvailable() { return false; }

bool EncodePng(const RgbImage&, Bytes& out, std::string& error) {
  out.clear();
  error = MessageText(MessageId::PngNotBuilt);
  return false;
}

}  // namespace velloran
