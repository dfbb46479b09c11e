// Feeds arbitrary bytes to the Greaseweazle's flux stream reader as if a
// device had sent them, then decodes what it took as a track; and to the
// simulated device as if a host had sent them. The sanitizers catch any
// access outside the buffers.
#include <cstddef>
#include <cstdint>

#include "drive/greaseweazle/greaseweazle_protocol.h"
#include "flux/track_decoder.h"
#include "sim/greaseweazle_sim.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velloran;
  FluxTrack flux;
  if (gw::DecodeFluxStream(ByteSpan(data, size), 72e6, flux)) {
    static auto* track = new TTrack;
    DecodeFluxTrack(flux, *track);
  }
  static auto* sim = new GreaseweazleSim;
  sim->Feed(ByteSpan(data, size));
  sim->ClearComms();
  return 0;
}
