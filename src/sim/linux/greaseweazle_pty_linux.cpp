// The simulated Greaseweazle behind a pseudo-terminal. A thread reads what
// the backend writes to the terminal, hands it to the simulator and writes
// the answers back. It also holds the terminal's device side open, to set it
// raw before the backend comes and to watch its line speed for clear comms.
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#include "common/messages.h"
#include "drive/greaseweazle/greaseweazle_protocol.h"
#include "sim/greaseweazle_sim.h"

namespace velloran {

struct GreaseweazlePty::Link {
  int master = -1;
  int device = -1;  // the terminal's device side, kept open
  std::atomic<bool> stop{false};
  std::thread thread;

  ~Link() {
    stop = true;
    if (thread.joinable()) thread.join();
    if (device >= 0) ::close(device);
    if (master >= 0) ::close(master);
  }

  // Raw bytes from the start, whatever the backend does later.
  bool MakeRaw() {
    termios2 settings{};
    if (::ioctl(device, TCGETS2, &settings) < 0) return false;
    settings.c_iflag = 0;
    settings.c_oflag = 0;
    settings.c_lflag = 0;
    settings.c_cflag = (settings.c_cflag & ~static_cast<tcflag_t>(CSIZE | PARENB)) | CS8 | CREAD | CLOCAL;
    return ::ioctl(device, TCSETS2, &settings) == 0;
  }

  speed_t LineSpeed() const {
    termios2 settings{};
    return ::ioctl(device, TCGETS2, &settings) == 0 ? settings.c_ospeed : 0;
  }

  bool WriteAll(const Bytes& data) {
    std::size_t done = 0;
    while (done < data.size() && !stop) {
      const ssize_t n = ::write(master, data.data() + done, data.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        // The terminal's buffer is full until the backend reads.
        pollfd p{master, POLLOUT, 0};
        ::poll(&p, 1, 1);
      } else {
        return false;
      }
    }
    return true;
  }

  void Serve(GreaseweazleSim& sim) {
    Bytes buffer(1 << 16);
    bool clearing = false;
    while (!stop) {
      pollfd p{master, POLLIN, 0};
      const int ready = ::poll(&p, 1, 20);
      // The line at 10000 baud: the host clears comms.
      const bool atClearSpeed = LineSpeed() == static_cast<speed_t>(gw::kClearCommsBaud);
      if (atClearSpeed && !clearing) sim.ClearComms();
      clearing = atClearSpeed;
      if (ready <= 0 || (p.revents & POLLIN) == 0) continue;
      const ssize_t n = ::read(master, buffer.data(), buffer.size());
      if (n <= 0) continue;
      if (clearing) continue;
      const Bytes answer = sim.Feed(ByteSpan(buffer.data(), static_cast<std::size_t>(n)));
      if (!WriteAll(answer)) return;
    }
  }
};

GreaseweazlePty::GreaseweazlePty(std::shared_ptr<GreaseweazleSim> sim) : link_(std::make_unique<Link>()), sim_(sim) {
  Link& link = *link_;
  link.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  char name[128] = {};
  if (link.master < 0 || ::grantpt(link.master) != 0 || ::unlockpt(link.master) != 0 ||
      ::ptsname_r(link.master, name, sizeof name) != 0) {
    error_ = MessageText(MessageId::PtyNotCreated, {std::strerror(errno)});
    return;
  }
  path_ = name;
  link.device = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (link.device < 0 || !link.MakeRaw()) {
    error_ = MessageText(MessageId::PtyNotOpened, {std::strerror(errno)});
    return;
  }
  link.thread = std::thread([&link, sim] { link.Serve(*sim); });
}

GreaseweazlePty::~GreaseweazlePty() = default;

GreaseweazleSim& GreaseweazlePty::Sim() { return *sim_; }

}  // namespace velloran
