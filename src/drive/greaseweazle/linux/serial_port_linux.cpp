// The serial port on Linux: a tty device in raw mode through termios2, which
// takes any line speed (the device's 10000 baud control signal among them).
#include <asm/termbits.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "drive/greaseweazle/serial_port.h"

namespace velloran {

namespace {

std::string ErrnoText(int code) { return std::strerror(code); }

class LinuxSerialPort : public SerialPort {
 public:
  explicit LinuxSerialPort(int fd) : fd_(fd) {}
  ~LinuxSerialPort() override { ::close(fd_); }
  LinuxSerialPort(const LinuxSerialPort&) = delete;
  LinuxSerialPort& operator=(const LinuxSerialPort&) = delete;

  // Raw eight-bit bytes, no echo, no signals, no flow control.
  bool MakeRaw() {
    termios2 settings{};
    if (::ioctl(fd_, TCGETS2, &settings) < 0) return Fail(errno);
    settings.c_iflag &=
        ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::ioctl(fd_, TCSETS2, &settings) < 0) return Fail(errno);
    return true;
  }

  bool Write(ByteSpan data) override {
    std::size_t done = 0;
    while (done < data.size()) {
      const ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EAGAIN) {
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, 1000);
        continue;
      }
      if (n <= 0) return Fail(n < 0 ? errno : EIO);
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  long ReadSome(std::uint8_t* data, std::size_t size, int timeoutMs) override {
    pollfd p{fd_, POLLIN, 0};
    int ready = 0;
    do {
      ready = ::poll(&p, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) return Fail(errno) ? 0 : -1;
    if (ready == 0) return 0;
    if ((p.revents & POLLIN) == 0) return Fail(EIO) ? 0 : -1;
    const ssize_t n = ::read(fd_, data, size);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    if (n <= 0) return Fail(n < 0 ? errno : EIO) ? 0 : -1;
    return static_cast<long>(n);
  }

  bool SetBaud(int baud) override {
    termios2 settings{};
    if (::ioctl(fd_, TCGETS2, &settings) < 0) return Fail(errno);
    settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD);
    settings.c_cflag |= BOTHER;
    settings.c_ispeed = static_cast<speed_t>(baud);
    settings.c_ospeed = static_cast<speed_t>(baud);
    if (::ioctl(fd_, TCSETS2, &settings) < 0) return Fail(errno);
    return true;
  }

  void FlushInput() override { ::ioctl(fd_, TCFLSH, TCIFLUSH); }

  std::string LastError() const override { return error_; }

 private:
  bool Fail(int code) {
    error_ = ErrnoText(code);
    return false;
  }

  int fd_;
  std::string error_;
};

std::string ReadLine(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

// Whether the USB device above a tty's interface is a Greaseweazle.
bool IsGreaseweazle(const std::filesystem::path& ttyClassFolder, const std::string& ttyName) {
  std::error_code error;
  const std::filesystem::path device = std::filesystem::canonical(ttyClassFolder / ttyName / "device", error);
  if (error) return false;
  const std::filesystem::path usb = device.parent_path();
  const std::string vendor = ReadLine(usb / "idVendor");
  const std::string product = ReadLine(usb / "idProduct");
  if (vendor != "1209") return false;
  if (product == "4d69" || product == "4D69") return true;
  // The shared test ID is used by other gadgets too: the name must say so.
  return product == "0001" && ReadLine(usb / "product").find("Greaseweazle") != std::string::npos;
}

}  // namespace

std::unique_ptr<SerialPort> OpenSerialPort(const std::string& device, Phrase& error) {
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int code = errno;
    error = {code == EACCES ? MessageId::SerialPortOpenFailedDialout : MessageId::SerialPortOpenFailed,
             {device, ErrnoText(code)}};
    return nullptr;
  }
  auto port = std::make_unique<LinuxSerialPort>(fd);
  if (!port->MakeRaw() || !port->SetBaud(9600)) {
    error = {MessageId::NotSerialPort, {device, port->LastError()}};
    return nullptr;
  }
  return port;
}

std::vector<std::string> FindGreaseweazlePortsIn(const std::filesystem::path& byIdFolder,
                                                 const std::filesystem::path& ttyClassFolder) {
  std::vector<std::string> ports;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(byIdFolder, error)) {
    const std::filesystem::path target = std::filesystem::canonical(entry.path(), error);
    if (error) continue;
    if (IsGreaseweazle(ttyClassFolder, target.filename().string())) ports.push_back(entry.path().string());
  }
  std::sort(ports.begin(), ports.end());
  return ports;
}

std::vector<std::string> FindGreaseweazlePorts() {
  return FindGreaseweazlePortsIn("/dev/serial/by-id", "/sys/class/tty");
}

}  // namespace velloran
