#include "Exchange_writer.h"

#include <cmath>

#include "Number_text.h"
#include "Point_quantities.h"
#include "Text_writer.h"

namespace doz::analysis {
namespace {

constexpr int kDigits = 9;  // significant digits of every number but S11's
// Near S11 = 1 a megohm is 1 - 1e-4: nine digits would leave |Z| ohms off
// there, twelve keep it within a part in ten million up to the unit's 16 MΩ.
constexpr int kScatteringDigits = 12;
constexpr double kReferenceOhms = 50.0;

std::string Number(double value, int digits = kDigits) {
  return NumberText(value, std::chars_format::general, digits);
}

std::string Optional(const std::optional<double>& value) { return value ? Number(*value) : ""; }

// A comment's text on one line.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

std::string Csv(const std::vector<TImpedanceSample>& samples) {
  std::string text = "frequency_Hz,impedance_ohm,phase_deg,Rs_ohm,Xs_ohm,Ls_H,Cs_F,Q\n";
  for (const TImpedanceSample& s : samples) {
    const TPointQuantities q = QuantitiesOf(s);
    text += Number(s.Hertz) + ',' + Number(s.Ohms) + ',' + Number(s.Degrees) + ',' + Number(q.Rs) +
            ',' + Number(q.Xs) + ',' + Optional(q.Ls) + ',' + Optional(q.Cs) + ',' + Optional(q.Q) +
            '\n';
  }
  return text;
}

std::string Comments(const char* mark, const TExchangeSource& source) {
  std::string text = std::string(mark) + " Do-Z impedance measurement\n";
  if (!source.Name.empty()) text += std::string(mark) + " File: " + OneLine(source.Name) + "\n";
  if (!source.DateTime.empty())
    text += std::string(mark) + " Measured: " + OneLine(source.DateTime) + "\n";
  return text;
}

std::string Zma(const std::vector<TImpedanceSample>& samples, const TExchangeSource& source) {
  std::string text = Comments("*", source) + "* Frequency [Hz]  Impedance [ohm]  Phase [deg]\n";
  for (const TImpedanceSample& s : samples) {
    text += Number(s.Hertz) + ' ' + Number(s.Ohms) + ' ' + Number(s.Degrees) + '\n';
  }
  return text;
}

std::string Touchstone(const std::vector<TImpedanceSample>& samples,
                       const TExchangeSource& source) {
  std::string text = Comments("!", source) + "! S11 = (Z - 50) / (Z + 50)\n# Hz S RI R 50\n";
  for (const TImpedanceSample& s : samples) {
    const std::complex<double> s11 = (s.Z - kReferenceOhms) / (s.Z + kReferenceOhms);
    if (!std::isfinite(s11.real()) || !std::isfinite(s11.imag())) continue;
    text += Number(s.Hertz) + ' ' + Number(s11.real(), kScatteringDigits) + ' ' +
            Number(s11.imag(), kScatteringDigits) + '\n';
  }
  return text;
}

}  // namespace

std::optional<TExchangeFormat> ExchangeFormatNamed(std::string_view name) {
  if (name == "csv") return TExchangeFormat::Csv;
  if (name == "zma") return TExchangeFormat::Zma;
  if (name == "touchstone") return TExchangeFormat::Touchstone;
  return std::nullopt;
}

const char* ExchangeExtension(TExchangeFormat format) {
  switch (format) {
    case TExchangeFormat::Csv:
      return ".csv";
    case TExchangeFormat::Zma:
      return ".zma";
    case TExchangeFormat::Touchstone:
      return ".s1p";
  }
  return "";
}

std::string ExchangeText(TExchangeFormat format, const std::vector<TImpedanceSample>& samples,
                         const TExchangeSource& source) {
  switch (format) {
    case TExchangeFormat::Csv:
      return Csv(samples);
    case TExchangeFormat::Zma:
      return Zma(samples, source);
    case TExchangeFormat::Touchstone:
      return Touchstone(samples, source);
  }
  return "";
}

TWriteResult WriteExchangeFile(const std::string& path, TExchangeFormat format,
                               const std::vector<TImpedanceSample>& samples,
                               const TExchangeSource& source) {
  platform::TTextWriter writer;
  if (!writer.Open(path)) return TWriteResult::CannotWrite;
  writer.WriteBytes(ExchangeText(format, samples, source));
  return writer.Commit() ? TWriteResult::Written : TWriteResult::CannotWrite;
}

}  // namespace doz::analysis
