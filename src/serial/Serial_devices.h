// The serial devices present on this machine, each with the COM number that
// opens it and what the system knows of it, read from sysfs and the udev
// links in /dev/serial/by-id; and a ports/comN link for a device that no COM
// number reaches yet.
#pragma once

#include <string>
#include <vector>

namespace doz {

// Where to look; tests point these into a fake tree.
struct TSerialRoots {
  std::string sysfs = "/sys";
  std::string dev = "/dev";
  std::string byId = "/dev/serial/by-id";
  std::string appDir;  // the program's folder, holding ports/comN; empty: none
};

struct TSerialDevice {
  std::string name;    // "ttyUSB0"
  std::string path;    // "/dev/ttyUSB0"
  int comNumber = 0;   // the COM number that opens it; 0: none yet
  std::string driver;  // "ftdi_sio", "cdc_acm", "serial8250"
  // Of the USB device behind it; empty for other buses.
  std::string vendorId;   // "0403"
  std::string productId;  // "6001"
  std::string vendor;     // "FTDI"
  std::string product;    // "FT232R USB UART"
  std::string serial;
  std::string byId;  // the full /dev/serial/by-id path of a link to it; empty: none
};

// Sorted by COM number (devices without one last), then by name.
std::vector<TSerialDevice> ListSerialDevices(const TSerialRoots& roots);

// How every list describes a device: "FTDI FT232R USB UART", the maker and
// the product as far as they are known; "0403:6001", its USB ids. Empty when
// nothing is known.
std::string ProductText(const TSerialDevice& device);
std::string UsbIdText(const TSerialDevice& device);

enum class TComLinkResult {
  Made,
  AlreadyReachable,  // some COM number opens it already
  NoSuchDevice,      // not a serial device of the list
  NoFreeNumber,      // COM1-256 all taken
  CannotCreate,      // ports/ or the link could not be made
};

struct TComLink {
  TComLinkResult result;
  // Initialised here so that a refusal may name its result alone.
  int comNumber = 0;      // the new number, or the one that reaches it already
  std::string link{};     // ports/comN in roots.appDir, when made
  std::string target{};   // what the link points to: its by-id name when it has one
};

// device: a device path, a by-id link or a name ("ttyAMA0") of a listed
// device. Gives it the lowest COM number with neither a ports/comN entry nor
// a device under the usual ttyS / ttyUSB / ttyACM mapping.
TComLink MakeComLink(const TSerialRoots& roots, const std::string& device);

}  // namespace doz
