// Windows has no pseudo-terminals: the simulated Greaseweazle is not offered.
#include "sim/greaseweazle_sim.h"

namespace velloran {

struct GreaseweazlePty::Link {};

GreaseweazlePty::GreaseweazlePty(std::shared_ptr<GreaseweazleSim> sim) : sim_(std::move(sim)) {
  error_ = "Имитация Greaseweazle в Windows недоступна: нужен псевдотерминал.";
}

GreaseweazlePty::~GreaseweazlePty() = default;

GreaseweazleSim& GreaseweazlePty::Sim() { return *sim_; }

}  // namespace velloran
