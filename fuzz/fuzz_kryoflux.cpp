// Feeds arbitrary bytes to the KryoFlux stream parser and decodes what it
// gives as a track: stream blocks, index blocks and the decoder's framing.
#include <cstddef>
#include <cstdint>

#include "flux/track_decoder.h"
#include "formats/kryoflux.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  static auto* track = new TTrack;
  FluxTrack flux;
  Diagnostic error;
  if (ParseKryoFluxStream(ByteSpan(data, size), flux, error)) DecodeFluxTrack(flux, *track);
  return 0;
}
