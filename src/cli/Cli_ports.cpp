#include "Cli_ports.h"

#include <algorithm>
#include <array>

#include "App_dir.h"
#include "Cli_args.h"

namespace doz::cli {
namespace {

const char* const kHelp =
    "usage: doz-cli ports [--link DEVICE]\n"
    "Lists the serial devices of this machine, one a line: the COM number that\n"
    "opens each (a link ports/comN in the program's folder, else COM1-32 ttyS,\n"
    "COM33-64 ttyUSB, COM65-96 ttyACM), its device and driver and, for a USB\n"
    "adapter, the vendor and product ids, maker and product names, serial number\n"
    "and /dev/serial/by-id name. A device that no COM number opens is shown with\n"
    "\"-\" and a note on standard error.\n"
    "  --link DEVICE  give DEVICE (its path, its by-id name or a name such as\n"
    "                 ttyAMA0) the lowest free COM number: a link ports/comN in\n"
    "                 the program's folder to its by-id name, else its path\n"
    "Exit status: 0 done, 1 failed, 2 usage error.\n";

constexpr std::size_t kColumns = 7;
using TRow = std::array<std::string, kColumns>;

std::string OrDash(const std::string& text) { return text.empty() ? "-" : text; }

std::string ComText(int comNumber) {
  return comNumber == 0 ? "-" : "COM" + std::to_string(comNumber);
}

TRow RowOf(const TSerialDevice& d) {
  return {ComText(d.comNumber),    d.path,           OrDash(d.driver), OrDash(UsbIdText(d)),
          OrDash(ProductText(d)), OrDash(d.serial), OrDash(d.byId)};
}

int LinkDevice(const TSerialRoots& roots, const std::string& device, std::ostream& out,
               std::ostream& err) {
  const TComLink made = MakeComLink(roots, device);
  switch (made.result) {
    case TComLinkResult::Made:
      out << ComText(made.comNumber) << "  " << made.link << " -> " << made.target << "\n";
      return EXIT_OK;
    case TComLinkResult::AlreadyReachable:
      out << ComText(made.comNumber) << "  " << device << "\n";
      err << "doz-cli ports: " << device << " is " << ComText(made.comNumber) << " already\n";
      return EXIT_OK;
    case TComLinkResult::NoSuchDevice:
      err << "doz-cli ports: " << device << " is no serial device of this machine "
          << "(see doz-cli ports)\n";
      return EXIT_FAILED;
    case TComLinkResult::NoFreeNumber:
      err << "doz-cli ports: COM1 to COM256 are all taken\n";
      return EXIT_FAILED;
    case TComLinkResult::CannotCreate:
      break;
  }
  err << "doz-cli ports: cannot make a link in " << roots.appDir << "/ports\n";
  return EXIT_FAILED;
}

}  // namespace

std::string PortsTable(const std::vector<TSerialDevice>& devices) {
  std::vector<TRow> rows = {{"PORT", "DEVICE", "DRIVER", "USB ID", "DESCRIPTION", "SERIAL", "BY-ID"}};
  for (const TSerialDevice& d : devices) rows.push_back(RowOf(d));
  std::array<std::size_t, kColumns> widths{};
  for (const TRow& row : rows)
    for (std::size_t c = 0; c < kColumns; ++c) widths[c] = std::max(widths[c], row[c].size());
  std::string table;
  for (const TRow& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < kColumns; ++c)
      line += row[c] + (c + 1 < kColumns ? std::string(widths[c] - row[c].size() + 2, ' ') : "");
    table += line + "\n";
  }
  return table;
}

int RunPortsWith(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const TSerialRoots& roots) {
  TCliArgs parsed;
  if (auto done = ParseVerbArgs(parsed, args, {{"--link", true}}, 0, "ports", kHelp, out, err))
    return *done;
  if (parsed.Has("--link")) return LinkDevice(roots, parsed.Value("--link"), out, err);
  const std::vector<TSerialDevice> devices = ListSerialDevices(roots);
  if (devices.empty()) {
    err << "doz-cli ports: no serial devices found\n";
    return EXIT_OK;
  }
  out << PortsTable(devices);
  for (const TSerialDevice& d : devices) {
    if (d.comNumber != 0) continue;
    err << "doz-cli ports: no COM number opens " << d.path << " yet; 'doz-cli ports --link "
        << d.name << "' gives it one\n";
  }
  return EXIT_OK;
}

int RunPorts(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TSerialRoots roots;
  roots.appDir = platform::ApplicationDir();
  return RunPortsWith(args, out, err, roots);
}

}  // namespace doz::cli
