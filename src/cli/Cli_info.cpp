#include "Cli_info.h"

#include <algorithm>

#include "Cli_args.h"
#include "Cli_measurement.h"
#include "Format_float.h"

namespace doz::cli {
namespace {

const char* const kHelp =
    "usage: doz-cli info FILE.DTA\n"
    "Shows the serial number, date and time, COM port, band and point count of a\n"
    "measurement file, and the least and greatest resistance and phase of its band\n"
    "(unsmoothed).\n";

struct TExtremes {
  double min;
  double max;
};

TExtremes ExtremesOf(const std::array<double, DATA_MAX>& values, int band) {
  const auto first = values.begin() + BandFirstIndex(band);
  const auto last = values.begin() + BandLastIndex(band) + 1;
  const auto [lo, hi] = std::minmax_element(first, last);
  return {*lo, *hi};
}

}  // namespace

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  TCliArgs parsed;
  if (auto done = ParseVerbArgs(parsed, args, {}, 1, "info", kHelp, out, err)) return *done;
  const std::string& path = parsed.Positional()[0];
  const auto m = LoadMeasurement(path, err);
  if (!m) return EXIT_FAILED;

  const int band = m->raw.Band;
  const TExtremes r = ExtremesOf(m->calc.R, band);
  const TExtremes p = ExtremesOf(m->calc.Theta, band);
  using platform::FormatFloat;
  out << "File:           " << path << "\n"
      << "Serial number:  " << m->serial << "\n"
      << "Date and time:  " << m->raw.DateTime << "\n"
      << "COM port:       " << m->commPort << "\n"
      << "Band:           " << band << " (" << BandLabel(band) << ")\n"
      << "Points:         " << BandDataNum(band) << "\n"
      << "Resistance [Ω]: min " << FormatFloat("0", r.min) << ", max " << FormatFloat("0", r.max)
      << "\n"
      << "Phase [deg]:    min " << FormatFloat("0.00", p.min) << ", max "
      << FormatFloat("0.00", p.max) << "\n";
  return EXIT_OK;
}

}  // namespace doz::cli
