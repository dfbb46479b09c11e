// Which floppy driver the program talks to: the platform's real one, or the
// simulated drive named by "sim:IMAGE" (on the command line with --drive or
// in the environment variable VELLORAN_DRIVE).
//
// A simulated drive is written "sim:IMAGE" or "sim:IMAGE?OPTION&OPTION...".
// IMAGE is any image the format table loads; empty means a blank disk.
// Options:
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
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "fdc/floppy_driver.h"
#include "fdc/simulated_drive.h"

namespace velloran {

inline constexpr const char* kDriveEnvironmentVariable = "VELLORAN_DRIVE";

struct DriveChoice {
  bool simulated = false;
  char drive = 'A';              // the real drive, "A" or "B"
  std::filesystem::path image;   // the simulated drive's disk; empty = blank
  std::filesystem::path saveTo;  // where to save the simulated disk afterwards
  SimulatedDriveOptions simulation;
};

// Parses "A", "B" (also "a", "B:") or a simulated drive. False with a
// message when the text is neither.
bool ParseDriveChoice(const std::string& text, DriveChoice& choice, std::string& error);

// The text of VELLORAN_DRIVE, when it is set and not empty.
std::optional<std::string> DriveChoiceFromEnvironment();

// The real floppy driver of this system (Windows or Linux), defined in the
// platform's folder (windows/, linux/).
std::unique_ptr<FloppyDriver> CreatePlatformDriver();

// A simulated drive with the chosen image loaded; nullptr and a message
// when the image cannot be loaded.
std::unique_ptr<SimulatedDrive> CreateSimulatedDrive(const DriveChoice& choice, std::string& error);

// The driver a choice names: the simulated drive or the platform's driver.
std::unique_ptr<FloppyDriver> CreateDriver(const DriveChoice& choice, std::string& error);

}  // namespace velloran
