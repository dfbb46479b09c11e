// What every kind of drive tells about itself. Velloran reaches disks through
// two kinds of drive: controller drives, which take the nine requests of a
// PC floppy controller (FloppyDriver), and flux drives, which read and write
// whole tracks as flux (FluxDrive). The disk operations look at the
// description to learn which kind they have in hand.
#pragma once

#include <string>

namespace velloran {

class FloppyDriver;
class FluxDrive;

struct DriveCapabilities {
  bool controllerCommands = false;  // the floppy controller's requests (scan, read and write sectors, format)
  bool fluxRead = false;            // reads a track's flux transitions
  bool fluxWrite = false;           // writes a track as flux
  bool writeProtectSense = false;   // tells a write-protected disk before writing
};

struct DriveDescription {
  std::string name;     // for example "fdrawcmd.sys" or "Greaseweazle F7"
  std::string version;  // the driver's or firmware's version, as text
  DriveCapabilities capabilities;
};

class DiskDrive {
 public:
  virtual ~DiskDrive() = default;
  // What the drive is; the version is known once the drive was opened.
  virtual DriveDescription Describe() const = 0;
  // The drive as a controller drive or a flux drive; nullptr when it is not.
  // Every drive is one of the two (FloppyDriver and FluxDrive are the only
  // classes derived from this one); code that treats the kinds differently
  // goes through VisitDrive.
  virtual FloppyDriver* AsController() { return nullptr; }
  virtual FluxDrive* AsFlux() { return nullptr; }
};

// Calls onController with a controller drive and onFlux with a flux drive:
// the one place where the kinds of drive part ways.
template <class OnController, class OnFlux>
decltype(auto) VisitDrive(DiskDrive& drive, OnController&& onController, OnFlux&& onFlux) {
  if (FloppyDriver* controller = drive.AsController()) return onController(*controller);
  return onFlux(*drive.AsFlux());
}

}  // namespace velloran
