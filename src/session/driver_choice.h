// Which drive the program talks to: the platform's floppy controller, the
// simulated controller drive, a Greaseweazle flux reader, or the simulated
// Greaseweazle. The choice is written on the command line (--drive) or in
// the environment variable VELLORAN_DRIVE:
//
//   A, B                       the platform's first or second floppy drive
//   sim:IMAGE[?OPTIONS]        the simulated controller drive
//   gw[:DEVICE][?drive=U]      a Greaseweazle (the first one found, or the
//                              serial device named); U is the drive on its
//                              cable: A or B (PC drives), DS0, DS1 or DS2
//                              (Shugart drives); default the Drive setting
//   gw-sim:IMAGE[?OPTIONS]     the simulated Greaseweazle
//
// IMAGE is any image the format table loads; empty means a blank disk.
// OPTIONS are joined by '&'. The simulated controller drive takes:
//   nodisk            no disk in the drive (requests fail with 21)
//   protect           write-protected disk (writes and formats fail with 19)
//   nodriver          the driver is not installed (the control device fails)
//   drives=A          the drive letters that exist (default AB)
//   seekfail=C        a seek to cylinder C fails (25)
//   bad=T:R[,T:R]     sector R of track index T always fails to read (23)
//   flaky=T:R:K[,..]  sector R of track T fails its first K reads
//   errors=P          every sector read fails with chance P (0..1)
//   seed=N            seed of those random failures
//   cylinders=N       cylinders the drive reaches (1..83, default 83)
//   save=FILE         the command line saves the disk here afterwards
// The simulated Greaseweazle takes nodisk, protect, seed, cylinders, save and
// drive= as above, and:
//   noindex           the drive gives no index pulses
//   jitter=NS         every flux transition moves by up to NS nanoseconds
//   weak=T:R[,T:R]    sector R of track T reads differently in each
//                     revolution and holds only now and then
//   bad=T:R[,T:R]     sector R of track T has a bad data CRC in every revolution
//   overflow=K        the first K reads of every track end in flux overflow
//   noise=K           every Kth answer comes after a stray byte (K >= 2)
//   firmware=M.N      the firmware version the device tells (default 1.5)
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"
#include "drive/disk_drive.h"
#include "drive/floppy_driver.h"
#include "drive/greaseweazle/greaseweazle_drive.h"
#include "sim/greaseweazle_sim.h"
#include "sim/simulated_drive.h"

namespace velloran {

inline constexpr const char* kDriveEnvironmentVariable = "VELLORAN_DRIVE";

enum class DriveKind { Controller, SimulatedController, Greaseweazle, SimulatedGreaseweazle };

struct DriveChoice {
  DriveKind kind = DriveKind::Controller;
  char drive = 'A';              // the controller's drive, "A" or "B"
  std::filesystem::path image;   // a simulated drive's disk; empty = blank
  std::filesystem::path saveTo;  // where to save a simulated disk afterwards
  SimulatedDriveOptions simulation;
  std::string device;                     // the Greaseweazle's serial device; empty = the first found
  std::optional<GreaseweazleUnit> unit;   // the drive on its cable; none = the Drive setting's letter
  GreaseweazleSimOptions fluxSimulation;  // of the simulated Greaseweazle
};

// What the text after a kind's prefix names.
enum class NameKind { None, Device, Image };

// One kind of drive: how a choice of it is written, the options it takes,
// how it is made and the devices of its kind this machine has. The command
// line, the desktop and their help texts go through these rows.
struct DriveKindRow {
  DriveKind kind = DriveKind::Controller;
  std::string_view prefix;  // what a choice of this kind starts with; empty: the drive letters
  std::string_view syntax;  // as the help writes it
  MessageId description;    // for the help
  bool simulated = false;   // takes the options every simulation takes (save=, cylinders=, seed=)
  bool flux = false;        // a flux drive, which takes drive=U
  bool setting = false;     // may be the desktop's Drive setting (written without options)
  NameKind names = NameKind::None;
  // One "name" or "name=value" option of this kind after '?': false when it
  // is not one; an error text for a bad value.
  bool (*parseOption)(const std::string& name, const std::string& value, DriveChoice& choice,
                      std::string& error) = nullptr;
  std::unique_ptr<DiskDrive> (*create)(const DriveChoice& choice, std::string& error) = nullptr;
  std::vector<std::string> (*discover)() = nullptr;  // the devices found; none for kinds without devices
};

std::span<const DriveKindRow> DriveKinds();
const DriveKindRow& DriveKindOf(DriveKind kind);
// "A|B|gw[:DEVICE]|sim:IMAGE|gw-sim:IMAGE": every way to write a drive.
std::string DriveSyntax();
// The same in words: "A, B, sim:IMAGE, gw[:DEVICE] or gw-sim:IMAGE".
std::string DriveSyntaxInWords();

// Parses a drive choice. False with a message when the text is none.
bool ParseDriveChoice(const std::string& text, DriveChoice& choice, std::string& error);

// The desktop's Drive setting as stored, repaired: a drive of a kind that may
// be the setting, written as the parser reads it (a drive letter in capitals,
// a device named), stays; anything else becomes "A".
std::string RepairDriveSetting(const std::optional<std::string>& stored);

// The text of VELLORAN_DRIVE, when it is set and not empty.
std::optional<std::string> DriveChoiceFromEnvironment();

// The real floppy driver of this system (Windows or Linux), defined in the
// platform's folder (windows/, linux/).
std::unique_ptr<FloppyDriver> CreatePlatformDriver();

// A simulated drive with the chosen image loaded; nullptr and a message
// when the image cannot be loaded.
std::unique_ptr<SimulatedDrive> CreateSimulatedDrive(const DriveChoice& choice, std::string& error);

// The Greaseweazle backend connected to a simulated Greaseweazle of its own
// over a pseudo-terminal.
class SimulatedGreaseweazleDrive : public GreaseweazleDrive {
 public:
  SimulatedGreaseweazleDrive(std::unique_ptr<GreaseweazlePty> pty, GreaseweazleUnit unit);
  // The motor is stopped while the device is still there to hear it.
  ~SimulatedGreaseweazleDrive() override;
  SimulatedGreaseweazleDrive(const SimulatedGreaseweazleDrive&) = delete;
  SimulatedGreaseweazleDrive& operator=(const SimulatedGreaseweazleDrive&) = delete;

  GreaseweazleSim& Sim() { return pty_->Sim(); }

 private:
  std::unique_ptr<GreaseweazlePty> pty_;
};

// The simulated Greaseweazle of a choice with its image loaded; nullptr and
// a message when the image cannot be loaded or no pseudo-terminal is had.
std::unique_ptr<SimulatedGreaseweazleDrive> CreateSimulatedGreaseweazle(const DriveChoice& choice, std::string& error);

// The drive a choice names. nullptr and a message when it cannot be made.
std::unique_ptr<DiskDrive> CreateDriver(const DriveChoice& choice, std::string& error);

// The Greaseweazle unit of a choice, else the PC drive of the Drive setting.
GreaseweazleUnit ChosenUnit(const DriveChoice& choice, const std::string& driveSetting);

}  // namespace velloran
