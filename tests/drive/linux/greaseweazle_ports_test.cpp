// Finding Greaseweazles among the serial devices of Linux, over a folder tree
// laid out as sysfs and /dev/serial/by-id lay it out.
#include <gtest/gtest.h>

#include <filesystem>

#include "drive/greaseweazle/serial_port.h"
#include "support/test_support.h"

namespace velloran {
namespace {

TEST(GreaseweazlePortsTest, FoundByTheirUsbIds) {
  // A by-id folder and a sysfs tty tree as Linux lays them out.
  test::ScratchDir dir;
  namespace fs = std::filesystem;
  const fs::path byId = dir / "by-id", tty = dir / "tty", usb = dir / "usb";
  auto device = [&](const std::string& name, const std::string& link, const std::string& vendor,
                    const std::string& product, const std::string& productName) {
    const fs::path interface = usb / name / (name + ":1.0");
    fs::create_directories(interface);
    fs::create_directories(tty / name);
    fs::create_directory_symlink(interface, tty / name / "device");
    test::WriteFileBytes(usb / name / "idVendor", Bytes(vendor.begin(), vendor.end()));
    test::WriteFileBytes(usb / name / "idProduct", Bytes(product.begin(), product.end()));
    test::WriteFileBytes(usb / name / "product", Bytes(productName.begin(), productName.end()));
    fs::create_directories(byId);
    test::WriteFileBytes(dir / name, {});
    fs::create_symlink(dir / name, byId / link);
  };
  device("ttyACM0", "usb-Keir_Fraser_Greaseweazle_1-if00", "1209\n", "4d69\n", "Greaseweazle\n");
  device("ttyACM1", "usb-Other_Gadget-if00", "1209\n", "0001\n", "Gadget\n");
  device("ttyACM2", "usb-Old_Greaseweazle-if00", "1209\n", "0001\n", "Greaseweazle\n");
  device("ttyACM3", "usb-Modem-if00", "0403\n", "4d69\n", "Modem\n");
  const std::vector<std::string> found = FindGreaseweazlePortsIn(byId, tty);
  EXPECT_EQ(found, (std::vector<std::string>{(byId / "usb-Keir_Fraser_Greaseweazle_1-if00").string(),
                                             (byId / "usb-Old_Greaseweazle-if00").string()}));
  EXPECT_TRUE(FindGreaseweazlePortsIn(dir / "none", tty).empty());
}

}  // namespace
}  // namespace velloran
