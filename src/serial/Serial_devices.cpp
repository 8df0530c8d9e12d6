#include "Serial_devices.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "Com_ports.h"

namespace doz {
namespace {

namespace fs = std::filesystem;


bool Exists(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

// Where a path leads in the end, for comparing two names of one device; a
// missing target still compares by its name.
fs::path Resolved(const fs::path& path) {
  std::error_code ec;
  fs::path resolved = fs::weakly_canonical(path, ec);
  return ec ? path.lexically_normal() : resolved;
}

// The first line of a sysfs attribute; empty when there is none.
std::string Attribute(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
  return line;
}

// Entries of a folder in name order; none when it cannot be read.
std::vector<fs::path> Entries(const fs::path& dir) {
  std::vector<fs::path> entries;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    entries.push_back(it->path());
  std::sort(entries.begin(), entries.end());
  return entries;
}

// "com12" gives 12; 0 for any other entry name.
int LinkNumber(const std::string& entry) {
  if (entry.size() < 4 || entry.size() > 6 || entry.compare(0, 3, "com") != 0 || entry[3] == '0')
    return 0;
  const std::string digits = entry.substr(3);
  if (digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  const int n = std::stoi(digits);
  return n <= COM_MAX ? n : 0;
}

// Legacy ttyS ports exist whether or not a UART is there; the port type 0
// (unknown) says there is none, and there is no device to show.
bool IsSerialPort(const fs::path& classDir) {
  if (!Exists(classDir / "device")) return false;
  return Attribute(classDir / "type") != "0";
}

bool IsBelow(const fs::path& path, const fs::path& root) {
  const std::string prefix = root.string() + "/";
  return path.string().compare(0, prefix.size(), prefix) == 0;
}

// sysfs: the resolved root, which the walks up from a device stay below.
void ReadUsbInfo(const fs::path& sysfs, fs::path dir, TSerialDevice& device) {
  // The tty hangs below a USB interface; the device with the ids is above it.
  for (; IsBelow(dir, sysfs); dir = dir.parent_path()) {
    if (!Exists(dir / "idVendor")) continue;
    device.vendorId = Attribute(dir / "idVendor");
    device.productId = Attribute(dir / "idProduct");
    device.vendor = Attribute(dir / "manufacturer");
    device.product = Attribute(dir / "product");
    device.serial = Attribute(dir / "serial");
    return;
  }
}

// The driver link's own target names the driver: .../drivers/ftdi_sio. Newer
// kernels put serial-core port and controller devices ("port", "ctrl") between
// a UART and its hardware; the name worth showing is the one above them.
std::string DriverOf(const fs::path& sysfs, fs::path dir) {
  for (; IsBelow(dir, sysfs); dir = dir.parent_path()) {
    std::error_code ec;
    const fs::path driver = fs::read_symlink(dir / "driver", ec);
    if (ec) return {};
    if (driver.parent_path().parent_path().filename() != "serial-base") return driver.filename();
  }
  return {};
}

std::string ByIdLink(const TSerialRoots& roots, const fs::path& devicePath) {
  const fs::path target = Resolved(devicePath);
  for (const fs::path& link : Entries(roots.byId))
    if (Resolved(link) == target) return link.string();
  return {};
}

// A ports/comN link to the device first (the user's own choice), else its
// number under the usual mapping unless a link has taken that number.
int ComNumberFor(const TSerialRoots& roots, const TSerialDevice& device) {
  if (roots.appDir.empty()) return UsualComNumber(device.name);
  const fs::path target = Resolved(device.path);
  int linked = 0;
  for (const fs::path& entry : Entries(fs::path(roots.appDir) / "ports")) {
    const int n = LinkNumber(entry.filename());
    if (n != 0 && (linked == 0 || n < linked) && Resolved(entry) == target) linked = n;
  }
  if (linked != 0) return linked;
  const int usual = UsualComNumber(device.name);
  return usual != 0 && !Exists(ComLinkPath(roots.appDir, usual)) ? usual : 0;
}

TSerialDevice Describe(const TSerialRoots& roots, const fs::path& sysfs,
                       const fs::path& classDir) {
  TSerialDevice device;
  device.name = classDir.filename();
  device.path = (fs::path(roots.dev) / device.name).string();
  const fs::path parent = Resolved(classDir / "device");
  device.driver = DriverOf(sysfs, parent);
  ReadUsbInfo(sysfs, parent, device);
  device.byId = ByIdLink(roots, device.path);
  device.comNumber = ComNumberFor(roots, device);
  return device;
}

bool FreeNumber(const TSerialRoots& roots, int n) {
  if (Exists(ComLinkPath(roots.appDir, n))) return false;
  const std::string usual = UsualDeviceName(n);
  return usual.empty() || !Exists(fs::path(roots.dev) / usual);
}

}  // namespace

std::vector<TSerialDevice> ListSerialDevices(const TSerialRoots& roots) {
  std::vector<TSerialDevice> devices;
  const fs::path sysfs = Resolved(roots.sysfs);
  for (const fs::path& classDir : Entries(fs::path(roots.sysfs) / "class" / "tty"))
    if (IsSerialPort(classDir)) devices.push_back(Describe(roots, sysfs, classDir));
  // Already in name order; a device without a number (0) goes last.
  const auto key = [](const TSerialDevice& d) { return d.comNumber == 0 ? COM_MAX + 1 : d.comNumber; };
  std::stable_sort(devices.begin(), devices.end(),
                   [&key](const TSerialDevice& a, const TSerialDevice& b) { return key(a) < key(b); });
  return devices;
}

std::string ProductText(const TSerialDevice& device) {
  const char* gap = device.vendor.empty() || device.product.empty() ? "" : " ";
  return device.vendor + gap + device.product;
}

std::string UsbIdText(const TSerialDevice& device) {
  return device.vendorId.empty() ? "" : device.vendorId + ":" + device.productId;
}

TComLink MakeComLink(const TSerialRoots& roots, const std::string& device) {
  const std::vector<TSerialDevice> devices = ListSerialDevices(roots);
  const bool byName = device.find('/') == std::string::npos;
  const auto found = std::find_if(devices.begin(), devices.end(), [&](const TSerialDevice& d) {
    return byName ? d.name == device : Resolved(d.path) == Resolved(device);
  });
  if (found == devices.end()) return {TComLinkResult::NoSuchDevice};
  if (found->comNumber != 0) return {TComLinkResult::AlreadyReachable, found->comNumber};
  if (roots.appDir.empty()) return {TComLinkResult::CannotCreate};
  int n = 1;
  while (n <= COM_MAX && !FreeNumber(roots, n)) ++n;
  if (n > COM_MAX) return {TComLinkResult::NoFreeNumber};
  // The by-id name stays the same when the adapter moves to another socket.
  const std::string target = found->byId.empty() ? found->path : found->byId;
  const fs::path link = ComLinkPath(roots.appDir, n);
  std::error_code ec;
  fs::create_directories(link.parent_path(), ec);
  if (!ec) fs::create_symlink(target, link, ec);
  if (ec) return {TComLinkResult::CannotCreate};
  return {TComLinkResult::Made, n, link.string(), target};
}

}  // namespace doz
