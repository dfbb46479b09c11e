// The heap in transparent huge pages: the blocks after the set-up lie in a
// huge page from the first on, and blocks of every size are still served.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/system.h"

namespace velloran {
namespace {

// Whether the kernel gives huge pages to memory advised to have them.
bool HugePagesOffered() {
  std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string modes;
  std::getline(in, modes);
  return modes.find("[always]") != std::string::npos || modes.find("[madvise]") != std::string::npos;
}

// A counter of /proc/vmstat; 0 when missing.
std::uint64_t VmCounter(const std::string& name) {
  std::ifstream in("/proc/vmstat");
  std::string key;
  std::uint64_t value = 0;
  while (in >> key >> value)
    if (key == name) return value;
  return 0;
}

// Kilobytes of huge pages in the mapping that holds `address`, from
// /proc/self/smaps; -1 when no mapping holds it.
long HugeKilobytesAt(const void* address) {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  std::ifstream in("/proc/self/smaps");
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> start >> dash >> end && dash == '-') {
      inside = start <= at && at < end;
    } else if (inside && line.rfind("AnonHugePages:", 0) == 0) {
      return std::stol(line.substr(std::strlen("AnonHugePages:")));
    }
  }
  return -1;
}

// Under a sanitizer, or without glibc, the heap is left as it is.
#if defined(__SANITIZE_ADDRESS__) || !defined(__GLIBC__)
constexpr bool kHeapLeftAsItIs = true;
#else
constexpr bool kHeapLeftAsItIs = false;
#endif

TEST(LargePages, TheFirstBlocksLieInAHugePageAndEverySizeIsServed) {
  if (kHeapLeftAsItIs) GTEST_SKIP() << "the heap is left as it is here";
  if (!HugePagesOffered()) GTEST_SKIP() << "transparent huge pages are off";
  UseLargePages();
  const std::uint64_t fallbacks = VmCounter("thp_fault_fallback");
  constexpr std::size_t kBlock = 256 * 1024;
  auto first = std::make_unique<char[]>(kBlock);
  std::memset(first.get(), 1, kBlock);
  if (VmCounter("thp_fault_fallback") != fallbacks) GTEST_SKIP() << "the kernel had no huge page free";
  EXPECT_GE(HugeKilobytesAt(first.get()), 2048);

  // Small blocks and blocks past a 64 MiB step of the heap, all written and
  // read back.
  std::vector<std::unique_ptr<char[]> > blocks;
  for (const std::size_t size :
       {std::size_t{16}, std::size_t{4096}, std::size_t{3} << 20, std::size_t{40} << 20, std::size_t{70} << 20}) {
    blocks.push_back(std::make_unique<char[]>(size));
    std::memset(blocks.back().get(), static_cast<int>(size & 0x7F), size);
    EXPECT_EQ(blocks.back()[size - 1], static_cast<char>(size & 0x7F));
  }
}

}  // namespace
}  // namespace velloran
