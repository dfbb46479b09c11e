// Windows has no pseudo-terminals: the simulated Greaseweazle is not offered.
#include "common/messages.h"
#include "sim/greaseweazle_sim.h"

namespace velloran {

struct GreaseweazlePty::Link {};

GreaseweazlePty::GreaseweazlePty(std::shared_ptr<GreaseweazleSim> sim) : sim_(std::move(sim)) {
  error_ = MessageText(MessageId::PtyNotOnWindows);
}

GreaseweazlePty::~GreaseweazlePty() = default;

GreaseweazleSim& GreaseweazlePty::Sim() { return *sim_; }

}  // namespace velloran
