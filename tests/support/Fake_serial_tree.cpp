#include "Fake_serial_tree.h"

#include <filesystem>

namespace doz::test {

namespace fs = std::filesystem;

TFakeSerialTree::TFakeSerialTree() {
  roots_ = {dir_.File("sys"), dir_.File("dev"), dir_.File("dev/serial/by-id"), dir_.File("app")};
  for (const std::string& d : {roots_.sysfs + "/class/tty", roots_.byId, roots_.appDir})
    fs::create_directories(d);
}

void TFakeSerialTree::Link(const std::string& target, const std::string& at) {
  fs::create_directories(fs::path(at).parent_path());
  if (!fs::is_symlink(at)) fs::create_symlink(target, at);
}

// The class entry, its device (with a driver link into bus/) and the node.
void TFakeSerialTree::AddEntry(const std::string& name, const std::string& deviceDir,
                               const std::string& driver) {
  fs::create_directories(roots_.sysfs + "/class/tty/" + name);
  if (!deviceDir.empty()) {
    fs::create_directories(deviceDir);
    Link(deviceDir, roots_.sysfs + "/class/tty/" + name + "/device");
    Link(roots_.sysfs + "/bus/" + driver, deviceDir + "/driver");
  }
  AddNode(name);
}

void TFakeSerialTree::AddUart(const std::string& name, int type) {
  // Newer kernels put the serial core's controller and port devices between
  // the firmware's device and the tty; legacy ports hang on serial8250.
  const std::string pnp = roots_.sysfs + "/devices/pnp0/" + name;
  if (type != 0) {
    AddEntry(name, pnp + "/ctrl/port", "serial-base/drivers/port");
    Link(roots_.sysfs + "/bus/serial-base/drivers/ctrl", pnp + "/ctrl/driver");
    Link(roots_.sysfs + "/bus/pnp/drivers/serial", pnp + "/driver");
  } else {
    AddEntry(name, roots_.sysfs + "/devices/platform/serial8250", "platform/drivers/serial8250");
  }
  WriteBytes(roots_.sysfs + "/class/tty/" + name + "/type", std::to_string(type) + "\n");
}

void TFakeSerialTree::AddUsb(const std::string& name, const std::string& usbPath,
                             const TFakeUsb& usb) {
  const std::string device = roots_.sysfs + "/devices/pci0000:00/usb1/" + usbPath;
  const std::string interface = device + "/" + usbPath + ":1.0";
  // A usb-serial driver makes a port below the interface; cdc_acm binds the
  // interface itself.
  const bool port = usb.driver != "cdc_acm";
  AddEntry(name, port ? interface + "/" + name : interface, "usb/drivers/" + usb.driver);
  const std::pair<const char*, std::string> attributes[] = {
      {"idVendor", usb.vendorId}, {"idProduct", usb.productId}, {"manufacturer", usb.vendor},
      {"product", usb.product},   {"serial", usb.serial}};
  for (const auto& [file, value] : attributes)
    if (!value.empty()) WriteBytes(device + "/" + file, value + "\n");
  if (!usb.byId.empty()) Link("../../" + name, roots_.byId + "/" + usb.byId);
}

void TFakeSerialTree::AddPlatform(const std::string& name, const std::string& driver) {
  if (driver.empty()) return AddEntry(name, {}, {});
  AddEntry(name, roots_.sysfs + "/devices/platform/soc/" + name, "platform/drivers/" + driver);
}

void TFakeSerialTree::AddNode(const std::string& name, const std::string& target) {
  const std::string node = roots_.dev + "/" + name;
  fs::remove(node);
  if (target.empty())
    WriteBytes(node, "");
  else
    Link(target, node);
}

void TFakeSerialTree::AddPortLink(const std::string& entry, const std::string& target) {
  Link(target, roots_.appDir + "/ports/" + entry);
}

}  // namespace doz::test
