#include "Cli_plot.h"

#include <QGuiApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>

#include "Cli_args.h"
#include "Cli_measurement.h"
#include "Cp932.h"
#include "App_font.h"
#include "Curve_stats.h"
#include "Doz_print.h"
#include "Doz_printinfo.h"
#include "Label_measure.h"
#include "Quantity_graph.h"
#include "Quantity_page.h"
#include "Text_catalogue.h"

namespace doz::cli {
namespace {

const char* const kHelp =
    "usage: doz-cli plot FILE.DTA [--ref REF.DTA]... [--log] [--r-only] [--wide]\n"
    "                    [--no-average] [--info TEXT]... [--force] [--open FILE.DTA]\n"
    "                    [--short FILE.DTA] [--quantity Rs|Xs|Ls|Cs|Rp|Lp|Cp|Q|D|nyquist]\n"
    "                    -o OUT.pdf|OUT.png\n"
    "Draws the page the application's print command prints: the graph of the\n"
    "measurement with its axis labels, the title and the information lines, on\n"
    "A4 portrait: a PDF at 600 dots per inch, or a PNG image rasterised at\n"
    "150 dots per inch (1240 x 1754 pixels).\n"
    "  --ref REF.DTA  a reference measurement drawn over it (at most 5)\n"
    "  --quantity Q   instead of resistance and phase, one quantity against\n"
    "                 frequency as the analysis window's graph draws it: series\n"
    "                 Rs, Xs, Ls, Cs, parallel Rp, Lp, Cp, the ratios Q and D, or\n"
    "                 nyquist (Re Z against -Im Z at equal scales); a point where\n"
    "                 it has no value (Ls where X < 0) leaves a gap\n"
    "  --log          logarithmic resistance axis (not with --quantity)\n"
    "  --r-only       resistance only, no phase curves or labels (not with\n"
    "                 --quantity)\n"
    "  --wide         thick pen for the measured curves\n"
    "  --no-average   the unsmoothed values instead of the five-point means\n"
    "  --info TEXT    the next information line under the title (at most 3, each\n"
    "                 at most 243 bytes in code page 932); \"\" leaves its row blank\n"
    "  -o OUT         output file, .pdf or .png\n"
    "  --force        overwrite an existing output file\n"
    "The page of compensated values says 補正あり after the title.\n";

const std::vector<TCliOption> kOptions = {
    {"-o", true},        {"--ref", true},    {"--info", true},        {"--log", false},
    {"--r-only", false}, {"--wide", false},  {"--no-average", false}, {"--force", false},
    {"--open", true},    {"--short", true},  {"--quantity", true}};

enum class TPageFormat { Pdf, Png, Unknown };

// --ref and --info may come more than once; the common parser keeps one
// value per option, so their values are taken out first.
struct TSplitArgs {
  std::vector<std::string> refs;
  std::vector<std::string> infos;
  std::vector<std::string> rest;
};

TSplitArgs SplitRepeated(const std::vector<std::string>& args) {
  TSplitArgs split;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (hasValue && (arg == "--ref" || arg == "--info")) {
      (arg == "--ref" ? split.refs : split.infos).push_back(args[++i]);
      continue;
    }
    split.rest.push_back(arg);
    // A value is never an option of its own, even when it looks like one.
    if (hasValue && arg == "-o") split.rest.push_back(args[++i]);
  }
  return split;
}

TPageFormat FormatOf(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
    return TPageFormat::Unknown;
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == "pdf") return TPageFormat::Pdf;
  if (ext == "png") return TPageFormat::Png;
  return TPageFormat::Unknown;
}

int UsageError(std::ostream& err, const std::string& reason) {
  err << "doz-cli plot: " << reason << " (try 'doz-cli plot --help')\n";
  return EXIT_USAGE;
}

// Empty when the line can be kept in the settings file, else why not.
std::string InfoProblem(const std::string& line) {
  if (line.find_first_of("\r\n") != std::string::npos) return "an --info text must be one line";
  if (platform::Cp932Length(line) > PRINT_TEXT_MAX_BYTES)
    return "an --info text is longer than " + std::to_string(PRINT_TEXT_MAX_BYTES) +
           " bytes in code page 932";
  return "";
}

QString LocalPath(const std::string& path) { return QFile::decodeName(path.c_str()); }

// Fonts and painters need an application object; doz-cli makes one only
// here. It never shows a window: the offscreen platform draws the same page
// with a display or without, whatever QT_QPA_PLATFORM names.
std::unique_ptr<QGuiApplication> ApplicationIfNone() {
  if (QCoreApplication::instance()) return nullptr;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "doz-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

int PixelsFor(double mm, int dpi) { return static_cast<int>(std::lround(mm / 25.4 * dpi)); }

struct TPlotJob {
  TSettingData setting;
  std::optional<TQuantity> quantity;  // none: resistance and phase
  std::unique_ptr<TCliMeasurement> measurement;
  std::vector<std::unique_ptr<TCliMeasurement>> references;
};

// What the window holds when it prints, without a window: the graph range
// scaled from the data as the window scales it, and the labels laid out as
// its paint box at the form's size shows them, in the window's font.
struct TPlotPage {
  TGraphRange range;
  TLabelLayout labels;
};

TPlotPage PageOf(const TPlotJob& job) {
  TPlotPage page;
  const TCliMeasurement& m = *job.measurement;
  InitGraphRange(page.range, m.raw.Band);
  TRefSets calc{}, ave{};
  const std::size_t count = std::min<std::size_t>(job.references.size(), REF_MAX);
  for (std::size_t k = 0; k < count; ++k) {
    calc[k] = &job.references[k]->calc;
    ave[k] = &job.references[k]->ave;
  }
  SelectCurveSets(page.range, job.setting.fave3 != 0, m.calc, m.ave, calc, ave);
  const TCurveStats measured = MeasuredCurveStats(m.calc, page.range.Band);
  ApplyCurveLimits(page.range, count > 0 ? Combined(measured, ReferenceCurveStats(calc, page.range.Band))
                                         : measured);
  const TLabelFrame box = kFormGraphFrame;
  LayoutLabels(page.labels, box, MakePlotScale(page.range, box.Wp - 2, box.Hp - 2),
               {job.setting.flog != 0, job.setting.fronly != 0},
               [font = AppFont()](int, const std::string& text) { return TextSizeIn(font, text); });
  return page;
}

// The quantity graph of the sets the page's graph would draw.
TQuantityGraph QuantityGraphOf(const TPlotJob& job, const TGraphRange& range) {
  TQuantityInput input;
  input.Band = range.Band;
  input.Measured = range.PlotMeas;
  std::copy(std::begin(range.PlotRef), std::end(range.PlotRef), input.References.begin());
  TQuantityGraph graph;
  graph.SetData(input, *job.quantity, job.setting);
  return graph;
}

// The page the print command would print, composed onto `device`.
bool Compose(const TPlotJob& job, QPaintDevice& device) {
  const TPlotPage page = PageOf(job);
  const QString note = job.measurement->compensated ? QStringLiteral("補正あり") : QString();
  if (job.quantity)
    return PrintQuantityPage(QuantityGraphOf(job, page.range), device, job.setting, note);
  TDoZ_Print print(page.range, device, job.setting, page.labels);
  print.SetNote(note);
  return print.Print(job.setting.fronly != 0, !job.references.empty());
}

bool RenderPdf(const TPlotJob& job, QByteArray& bytes) {
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setResolution(PLOT_PDF_DPI);
  writer.setCreator(QStringLiteral("Do-Z v1.1"));
  writer.setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  return Compose(job, writer);
}

bool RenderPng(const TPlotJob& job, QByteArray& bytes) {
  const QSizeF mm = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
  QImage page(PixelsFor(mm.width(), PLOT_PNG_DPI), PixelsFor(mm.height(), PLOT_PNG_DPI),
              QImage::Format_RGB32);
  if (page.isNull()) return false;
  const int dotsPerMeter = static_cast<int>(std::lround(PLOT_PNG_DPI / 0.0254));
  page.setDotsPerMeterX(dotsPerMeter);
  page.setDotsPerMeterY(dotsPerMeter);
  page.fill(Qt::white);
  if (!Compose(job, page)) return false;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  return page.save(&buffer, "PNG");
}

// Replaces the output only once the whole page has been written.
bool WriteOutput(const std::string& path, const QByteArray& bytes) {
  QSaveFile file(LocalPath(path));
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

int Render(const TPlotJob& job, TPageFormat format, const std::string& output, std::ostream& out,
           std::ostream& err) {
  const auto app = ApplicationIfNone();
  QByteArray bytes;
  const bool rendered = format == TPageFormat::Pdf ? RenderPdf(job, bytes) : RenderPng(job, bytes);
  if (!rendered) {
    err << "doz-cli plot: the page could not be composed\n";
    return EXIT_FAILED;
  }
  if (!WriteOutput(output, bytes)) {
    err << StatusText(TStatusText::SaveError, "Do-Z") << ": " << output << "\n";
    return EXIT_FAILED;
  }
  out << output << "\n";
  return EXIT_OK;
}

TSettingData SettingFor(const TCliArgs& parsed, const std::vector<std::string>& infos) {
  TSettingData setting;
  SetDefaultSetting(setting);
  setting.flog = parsed.Has("--log") ? 1 : 0;
  setting.fronly = parsed.Has("--r-only") ? 1 : 0;
  setting.fwide = parsed.Has("--wide") ? 1 : 0;
  setting.fave3 = parsed.Has("--no-average") ? 0 : 1;
  for (std::size_t i = 0; i < infos.size(); ++i) setting.pstr[i] = infos[i];
  return setting;
}

// The quantity asked for; a usage problem when --quantity names none or
// comes with an option of the resistance graph.
std::string QuantityProblem(const TCliArgs& parsed, std::optional<TQuantity>& quantity) {
  if (!parsed.Has("--quantity")) return "";
  quantity = QuantityNamed(parsed.Value("--quantity"));
  if (!quantity) return "--quantity takes Rs, Xs, Ls, Cs, Rp, Lp, Cp, Q, D or nyquist";
  if (parsed.Has("--log") || parsed.Has("--r-only"))
    return "--log and --r-only belong to the resistance graph, not to --quantity";
  return "";
}

// A usage problem of the repeated options, or "".
std::string RepeatedProblem(const TSplitArgs& split) {
  if (split.refs.size() > static_cast<std::size_t>(REF_MAX))
    return "at most " + std::to_string(REF_MAX) + " --ref files";
  if (split.infos.size() > static_cast<std::size_t>(PLOT_INFO_LINES))
    return "at most " + std::to_string(PLOT_INFO_LINES) + " --info lines";
  for (const std::string& info : split.infos)
    if (const std::string problem = InfoProblem(info); !problem.empty()) return problem;
  return "";
}

}  // namespace

int RunPlot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const TSplitArgs split = SplitRepeated(args);
  TCliArgs parsed;
  static const std::string help = std::string(kHelp) + kCompensationHelp;
  if (auto done = ParseVerbArgs(parsed, split.rest, kOptions, 1, "plot", help.c_str(), out, err))
    return *done;
  if (!parsed.Has("-o")) return UsageError(err, "missing -o OUT.pdf|OUT.png");
  const std::string output = parsed.Value("-o");
  const TPageFormat format = FormatOf(output);
  if (format == TPageFormat::Unknown) return UsageError(err, "the output must end in .pdf or .png");
  if (const std::string problem = RepeatedProblem(split); !problem.empty())
    return UsageError(err, problem);
  TPlotJob job;
  if (const std::string problem = QuantityProblem(parsed, job.quantity); !problem.empty())
    return UsageError(err, problem);

  const auto leads = CompensationOf(parsed, err);
  if (!leads) return EXIT_FAILED;
  job.measurement = LoadMeasurement(parsed.Positional()[0], err, *leads);
  if (!job.measurement) return EXIT_FAILED;
  for (const std::string& path : split.refs) {
    job.references.push_back(LoadMeasurement(path, err, *leads));
    if (!job.references.back()) return EXIT_FAILED;
  }
  if (!parsed.Has("--force") && PathTaken(output)) {
    err << "doz-cli plot: " << output << " exists (use --force to overwrite)\n";
    return EXIT_FAILED;
  }
  job.setting = SettingFor(parsed, split.infos);
  return Render(job, format, output, out, err);
}

}  // namespace doz::cli
