// The Windows backend as fdrawcmd.sys sees it: its control codes and
// parameter blocks checked against the driver's published interface, and
// whole disks read and written through it over a stand-in for the driver
// that answers like the real controller.
#include <gtest/gtest.h>

#include <cstddef>

#include "drive/controller/windows_floppy_driver.h"
#include "drive/drive_test_support.h"
#include "drive/fake_fdrawcmd.h"
#include "engine/disk_engines.h"
#include "formats/trd.h"
#include "support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#endif
#ifdef __linux__
#include <linux/fdreg.h>
#endif

namespace velloran {
namespace {

using test::FakeFdrawcmd;

// CTL_CODE of the Windows driver kit: device type in bits 16-31, required
// access in bits 14-15, function in bits 2-13, transfer method in bits 0-1.
constexpr std::uint32_t CtlCode(std::uint32_t deviceType, std::uint32_t function, std::uint32_t method,
                                std::uint32_t access) {
  return deviceType << 16 | access << 14 | function << 2 | method;
}
constexpr std::uint32_t kFileDeviceUnknown = 0x22;  // FILE_DEVICE_UNKNOWN
constexpr std::uint32_t kMethodBuffered = 0;        // METHOD_BUFFERED
constexpr std::uint32_t kMethodInDirect = 1;        // METHOD_IN_DIRECT
constexpr std::uint32_t kMethodOutDirect = 2;       // METHOD_OUT_DIRECT
constexpr std::uint32_t kReadWriteAccess = 1 | 2;   // FILE_READ_DATA | FILE_WRITE_DATA

// The driver's header (fdrawcmd.h) defines every code as
// FD_CTL_CODE(function, method) = CTL_CODE(FILE_DEVICE_UNKNOWN, function,
// method, FILE_READ_DATA | FILE_WRITE_DATA).
constexpr std::uint32_t FdCtlCode(std::uint32_t function, std::uint32_t method) {
  return CtlCode(kFileDeviceUnknown, function, method, kReadWriteAccess);
}

TEST(WindowsBackendTest, ControlCodesAreTheDriversPublishedOnes) {
  // The published function numbers and methods: the controller commands are
  // 0x800 plus the controller's opcode, the driver's own requests 0x888 and
  // 0x900 onwards; sector data travel by direct I/O (out for reads, in for
  // writes), everything else is buffered.
  EXPECT_EQ(driver_code::kGetVersion, FdCtlCode(0x888, kMethodBuffered));   // IOCTL_FDRAWCMD_GET_VERSION
  EXPECT_EQ(driver_code::kWriteData, FdCtlCode(0x805, kMethodInDirect));    // IOCTL_FDCMD_WRITE_DATA
  EXPECT_EQ(driver_code::kReadData, FdCtlCode(0x806, kMethodOutDirect));    // IOCTL_FDCMD_READ_DATA
  EXPECT_EQ(driver_code::kReadId, FdCtlCode(0x80A, kMethodBuffered));       // IOCTL_FDCMD_READ_ID
  EXPECT_EQ(driver_code::kFormatTrack, FdCtlCode(0x80D, kMethodBuffered));  // IOCTL_FDCMD_FORMAT_TRACK
  EXPECT_EQ(driver_code::kSeek, FdCtlCode(0x80F, kMethodBuffered));         // IOCTL_FDCMD_SEEK
  EXPECT_EQ(driver_code::kScanTrack, FdCtlCode(0x900, kMethodBuffered));    // IOCTL_FD_SCAN_TRACK
  EXPECT_EQ(driver_code::kReset, FdCtlCode(0x902, kMethodBuffered));        // IOCTL_FD_RESET
  EXPECT_EQ(driver_code::kSetDataRate, FdCtlCode(0x904, kMethodBuffered));  // IOCTL_FD_SET_DATA_RATE
  EXPECT_EQ(driver_code::kGetFdcInfo, FdCtlCode(0x905, kMethodBuffered));   // IOCTL_FD_GET_FDC_INFO
  EXPECT_EQ(driver_code::kReadId, 0x0022E028u);

#ifdef __linux__
  // The opcodes in those function numbers are the controller's, as Linux's
  // floppy driver names them (the low five bits; the top ones are MT, MFM, SK).
  EXPECT_EQ(0x806 & 0x1F, FD_READ & 0x1F);
  EXPECT_EQ(0x805 & 0x1F, FD_WRITE & 0x1F);
  EXPECT_EQ(0x80A & 0x1F, FD_READID & 0x1F);
  EXPECT_EQ(0x80D & 0x1F, FD_FORMAT & 0x1F);
  EXPECT_EQ(0x80F & 0x1F, FD_SEEK);
#endif
#ifdef _WIN32
  // The Windows headers' own macro agrees with the one above.
  EXPECT_EQ(FdCtlCode(0x806, kMethodOutDirect),
            static_cast<std::uint32_t>(
                CTL_CODE(FILE_DEVICE_UNKNOWN, 0x806, METHOD_OUT_DIRECT, FILE_READ_DATA | FILE_WRITE_DATA)));
  EXPECT_EQ(FdCtlCode(0x805, kMethodInDirect),
            static_cast<std::uint32_t>(
                CTL_CODE(FILE_DEVICE_UNKNOWN, 0x805, METHOD_IN_DIRECT, FILE_READ_DATA | FILE_WRITE_DATA)));
#endif
}

// The packed blocks as the driver's header lays them out, field by field.
static_assert(sizeof(test::FdReadWriteParams) == 9);
static_assert(offsetof(test::FdReadWriteParams, phead) == 1 && offsetof(test::FdReadWriteParams, cyl) == 2);
static_assert(offsetof(test::FdReadWriteParams, sector) == 4 && offsetof(test::FdReadWriteParams, eot) == 6);
static_assert(offsetof(test::FdReadWriteParams, datalen) == 8);
static_assert(sizeof(test::FdSeekParams) == 2 && sizeof(test::FdScanParams) == 2 && sizeof(test::FdIdHeader) == 4);
static_assert(sizeof(test::FdFormatParams) == 6 && offsetof(test::FdFormatParams, sectors) == 3);
static_assert(sizeof(test::FdCmdResult) == 7 && offsetof(test::FdCmdResult, cyl) == 3);

// A driver over the fake device, the controller holding a TR-DOS disk.
struct Rig {
  SimulatedDrive controller;
  FakeFdrawcmd* device = nullptr;
  std::unique_ptr<WindowsFloppyDriver> driver;

  Rig() {
    auto fake = std::make_unique<FakeFdrawcmd>(&controller);
    device = fake.get();
    driver = std::make_unique<WindowsFloppyDriver>(std::move(fake));
  }
  const FakeFdrawcmd::Call& Last() const { return device->calls.back(); }
  test::FdReadWriteParams LastReadWrite() const {
    test::FdReadWriteParams params{};
    EXPECT_EQ(Last().input.size(), sizeof params);
    std::memcpy(&params, Last().input.data(), std::min(sizeof params, Last().input.size()));
    return params;
  }
};

TEST(WindowsBackendTest, DevicesAndRequestsFollowTheDriversInterface) {
  Rig rig;
  for (int t = 0; t < 4; ++t) test::FillTrack(rig.controller.Medium(), t, 16, 1);
  ASSERT_TRUE(rig.driver->OpenControl());
  ASSERT_TRUE(rig.driver->OpenDrive('B'));
  EXPECT_EQ(rig.device->opened, (std::vector<std::string>{"\\\\.\\fdrawcmd", "\\\\.\\fdraw1"}));
  std::uint32_t version = 0;
  ASSERT_TRUE(rig.driver->GetVersion(version));
  EXPECT_EQ(rig.Last().device, "\\\\.\\fdrawcmd");
  EXPECT_TRUE(VersionSupported(version));

  ASSERT_TRUE(rig.driver->Seek(1, 1));
  EXPECT_EQ(rig.Last().device, "\\\\.\\fdraw1");
  EXPECT_EQ(rig.Last().input, (std::vector<std::uint8_t>{1, 1}));

  // One sector: the controller's EOT is the sector itself, and the output
  // buffer holds just that sector, so the transfer ends the command there.
  std::vector<std::uint8_t> buffer(kSectorBufferSize);
  std::size_t count = 0;
  ReadWriteBlock block;
  block.head = 1;
  block.id = {1, 1, 16, 1};
  block.eot = 17;
  ASSERT_TRUE(rig.driver->ReadData(block, buffer, count)) << rig.driver->LastError();
  EXPECT_EQ(rig.Last().code, driver_code::kReadData);
  auto params = rig.LastReadWrite();
  EXPECT_EQ(params.flags, kFlagMfm);
  EXPECT_EQ(params.phead, 1);
  EXPECT_EQ(params.cyl, 1);
  EXPECT_EQ(params.head, 1);
  EXPECT_EQ(params.sector, 16);
  EXPECT_EQ(params.size, 1);
  EXPECT_EQ(params.eot, 16);
  EXPECT_EQ(params.gap, kReadGap);
  EXPECT_EQ(params.datalen, kDataLengthAll);
  EXPECT_EQ(rig.Last().outputSize, 256u);
  EXPECT_EQ(count, 256u);

  // Sixteen sectors in one request, as the catalog is read: EOT 16, 4 KB.
  block.id = {1, 1, 1, 1};
  ASSERT_TRUE(rig.driver->ReadData(block, buffer, count));
  EXPECT_EQ(rig.LastReadWrite().eot, 16);
  EXPECT_EQ(rig.Last().outputSize, 4096u);

  // A write sends its data as the transfer buffer, with their own length.
  const std::vector<std::uint8_t> data(256, 0x5A);
  block.id = {1, 1, 3, 1};
  block.eot = 4;
  block.gap = kWriteGap;
  ASSERT_TRUE(rig.driver->WriteData(block, data));
  EXPECT_EQ(rig.Last().code, driver_code::kWriteData);
  EXPECT_EQ(rig.LastReadWrite().eot, 3);
  EXPECT_EQ(rig.LastReadWrite().gap, kWriteGap);
  EXPECT_EQ(rig.Last().outputSize, 256u);

  FormatBlock format;
  format.head = 1;
  format.sizeCode = 2;
  format.headers = {{1, 1, 1, 2}, {1, 1, 2, 2}};
  ASSERT_TRUE(rig.driver->FormatTrack(format));
  EXPECT_EQ(rig.Last().input, (std::vector<std::uint8_t>{kFlagMfm, 1, 2, 2, kWriteGap, 0, 1, 1, 1, 2, 1, 1, 2, 2}));

  IdHeader id;
  ASSERT_TRUE(rig.driver->ReadId(kFlagMfm, 1, id));
  EXPECT_EQ(rig.Last().input, (std::vector<std::uint8_t>{kFlagMfm, 1}));
  EXPECT_EQ(id.c, 1);
  EXPECT_EQ(id.n, 2);
}

TEST(WindowsBackendTest, FailuresCarryTheSystemsCodes) {
  // No driver installed: the device is not found (ERROR_FILE_NOT_FOUND).
  WindowsFloppyDriver missing(std::make_unique<FakeFdrawcmd>(nullptr));
  EXPECT_FALSE(missing.OpenControl());
  EXPECT_EQ(missing.LastError(), test::kErrorFileNotFound);

  // A request on a drive that is not open never reaches the driver.
  Rig rig;
  ASSERT_TRUE(rig.driver->OpenControl());
  EXPECT_FALSE(rig.driver->Reset());
  EXPECT_EQ(rig.driver->LastError(), kWindowsInvalidHandle);
  EXPECT_TRUE(rig.device->calls.empty());

  // The controller's own failure: a sector that is not there (27).
  ASSERT_TRUE(rig.driver->OpenDrive('A'));
  test::FillTrack(rig.controller.Medium(), 0, 9, 1);
  std::vector<std::uint8_t> buffer(kSectorBufferSize);
  std::size_t count = 0;
  ReadWriteBlock block;
  block.id = {0, 0, 10, 1};
  block.eot = 11;
  EXPECT_FALSE(rig.driver->ReadData(block, buffer, count));
  EXPECT_EQ(rig.driver->LastError(), 27u);
  EXPECT_TRUE(rig.driver->Reset());
  EXPECT_EQ(rig.driver->LastError(), 0u);

  rig.driver->CloseDrive();
  EXPECT_EQ(rig.device->closed, (std::vector<std::string>{"\\\\.\\fdraw0"}));
  EXPECT_FALSE(rig.driver->DriveOpen());
}

// Whole disks through the backend and the engines: every sector, the last
// one of each track too, comes back as it is on the disk.
TEST(WindowsBackendTest, WholeDisksReadAndWrittenThroughTheBackend) {
  const Bytes original = test::ReadFileBytes(test::CorpusFile("trd/alfishe_unreal-ng__EyeAche.trd"));
  for (const OperationSteps steps : {kScanAndRead, kFastRead}) {
    Rig rig;
    ASSERT_TRUE(LoadTRDFromBytes(rig.controller.Medium(), original));
    ASSERT_TRUE(rig.driver->OpenControl());
    ASSERT_TRUE(rig.driver->OpenDrive('A'));
    TZX_Disk disk;
    test::RecordingHost host;
    DiskOperation operation;
    operation.Steps = steps;
    operation.OpLastTrack = 159;
    operation.RetryCount = 1;
    ASSERT_EQ(RunDiskOperation(disk, *rig.driver, host, operation), OperationOutcome::Completed)
        << "fast " << steps.fast;
    EXPECT_EQ(operation.BadSectors, 0) << "fast " << steps.fast;
    Bytes saved;
    ASSERT_TRUE(SaveTRDToBytes(disk, saved));
    EXPECT_TRUE(saved == original) << "fast " << steps.fast;
  }

  Rig blank;
  ASSERT_TRUE(blank.driver->OpenControl());
  ASSERT_TRUE(blank.driver->OpenDrive('A'));
  TZX_Disk source;
  ASSERT_TRUE(LoadTRDFromBytes(source, original));
  test::RecordingHost host;
  DiskOperation operation;
  operation.Steps = kFormatAndWrite;
  operation.OpLastTrack = 159;
  ASSERT_EQ(RunDiskOperation(source, *blank.driver, host, operation), OperationOutcome::Completed);
  EXPECT_EQ(operation.BadSectors, 0);
  Bytes written;
  ASSERT_TRUE(SaveTRDToBytes(blank.controller.Medium(), written));
  EXPECT_TRUE(written == original);
}

}  // namespace
}  // namespace velloran
