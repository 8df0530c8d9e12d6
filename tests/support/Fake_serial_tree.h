// A machine's serial devices in a temporary folder: sysfs entries as the
// kernel lays them out, device nodes (files, or links to a real terminal),
// /dev/serial/by-id links and the program's folder.
#pragma once

#include <string>

#include "Serial_devices.h"
#include "Temp_dir.h"

namespace doz::test {

struct TFakeUsb {
  std::string vendorId, productId, vendor, product, serial;  // empty: no such attribute
  std::string driver;  // "ftdi_sio" (a usb-serial port below the interface), "cdc_acm"
  std::string byId;    // name in by-id; empty: no link
};

class TFakeSerialTree {
 public:
  TFakeSerialTree();
  const TSerialRoots& Roots() const { return roots_; }
  std::string File(const std::string& name) const { return dir_.File(name); }

  // A UART; type 0 is a legacy port with none behind it.
  void AddUart(const std::string& name, int type);
  // A port of the USB device `usbPath` ("1-1").
  void AddUsb(const std::string& name, const std::string& usbPath, const TFakeUsb& usb);
  // A board's own UART with its driver; no driver: a tty with no device (tty0).
  void AddPlatform(const std::string& name, const std::string& driver);
  // The device node: an empty file, or a link to `target`.
  void AddNode(const std::string& name, const std::string& target = {});
  // ports/<entry> in the program's folder, pointing to `target`.
  void AddPortLink(const std::string& entry, const std::string& target);

 private:
  void AddEntry(const std::string& name, const std::string& deviceDir, const std::string& driver);
  void Link(const std::string& target, const std::string& at);

  TTempDir dir_;
  TSerialRoots roots_;
};

}  // namespace doz::test
