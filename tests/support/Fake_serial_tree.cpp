#include "Fake_serial_tree.h"

#include <filesystem>

namespace doz::test {
namespace {

namespace fs = std::filesystem;

void WriteAttribute(const std::string& path, const std::string& value) {
  if (!value.empty()) WriteBytes(path, value + "\n");
}

}  // namespace

TFakeSerialTree::TFakeSerialTree() {
  roots_.sysfs = dir_.File("sys");
  roots_.dev = dir_.File("dev");
  roots_.byId = dir_.File("dev/serial/by-id");
  roots_.appDir = dir_.File("app");
  for (const std::string& d : {roots_.sysfs + "/class/tty", roots_.byId, roots_.appDir})
    fs::create_directories(d);
}

void TFakeSerialTree::Link(const std::string& target, const std::string& at) {
  fs::create_directories(fs::path(at).parent_path());
  fs::create_symlink(target, at);
}

void TFakeSerialTree::AddClassEntry(const std::string& name, const std::string& deviceDir) {
  const std::string entry = roots_.sysfs + "/class/tty/" + name;
  fs::create_directories(entry);
  if (!deviceDir.empty()) Link(deviceDir, entry + "/device");
}

void TFakeSerialTree::AddUart(const std::string& name, int type) {
  // A real UART as newer kernels show it: the port and controller devices of
  // the serial core below the firmware's device; a legacy port hangs on the
  // serial8250 platform device.
  std::string device = roots_.sysfs + "/devices/platform/serial8250";
  if (type != 0) {
    const std::string pnp = roots_.sysfs + "/devices/pnp0/" + name;
    device = pnp + "/ctrl/port";
    fs::create_directories(device);
    Link(roots_.sysfs + "/bus/pnp/drivers/serial", pnp + "/driver");
    Link(roots_.sysfs + "/bus/serial-base/drivers/ctrl", pnp + "/ctrl/driver");
    Link(roots_.sysfs + "/bus/serial-base/drivers/port", device + "/driver");
  } else if (!fs::is_symlink(device + "/driver")) {
    fs::create_directories(device);
    Link(roots_.sysfs + "/bus/platform/drivers/serial8250", device + "/driver");
  }
  AddClassEntry(name, device);
  WriteAttribute(roots_.sysfs + "/class/tty/" + name + "/type", std::to_string(type));
  AddNode(name);
}

void TFakeSerialTree::AddUsb(const std::string& name, const std::string& usbPath,
                             const TFakeUsb& usb) {
  const std::string device = roots_.sysfs + "/devices/pci0000:00/usb1/" + usbPath;
  const std::string interface = device + "/" + usbPath + ":1.0";
  fs::create_directories(interface);
  WriteAttribute(device + "/idVendor", usb.vendorId);
  WriteAttribute(device + "/idProduct", usb.productId);
  WriteAttribute(device + "/manufacturer", usb.vendor);
  WriteAttribute(device + "/product", usb.product);
  WriteAttribute(device + "/serial", usb.serial);
  // A usb-serial driver makes a port below the interface; cdc_acm binds the
  // interface itself.
  const bool port = usb.driver != "cdc_acm";
  const std::string parent = port ? interface + "/" + name : interface;
  fs::create_directories(parent);
  Link(roots_.sysfs + "/bus/usb/drivers/" + usb.driver, parent + "/driver");
  AddClassEntry(name, parent);
  AddNode(name);
  if (!usb.byId.empty()) Link("../../" + name, roots_.byId + "/" + usb.byId);
}

void TFakeSerialTree::AddPlatform(const std::string& name, const std::string& driver) {
  const std::string device = roots_.sysfs + "/devices/platform/soc/" + name;
  fs::create_directories(device);
  Link(roots_.sysfs + "/bus/platform/drivers/" + driver, device + "/driver");
  AddClassEntry(name, device);
  AddNode(name);
}

void TFakeSerialTree::AddVirtual(const std::string& name) {
  AddClassEntry(name, {});
  AddNode(name);
}

void TFakeSerialTree::AddNode(const std::string& name, const std::string& target) {
  const std::string node = roots_.dev + "/" + name;
  std::error_code ec;
  fs::remove(node, ec);
  if (target.empty())
    WriteBytes(node, "");
  else
    Link(target, node);
}

void TFakeSerialTree::AddPortLink(const std::string& entry, const std::string& target) {
  Link(target, roots_.appDir + "/ports/" + entry);
}

}  // namespace doz::test
