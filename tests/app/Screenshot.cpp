// doz-screenshot [FOLDER]: pictures of the main window for the documentation.
// A band-1 measurement and two references, loudspeaker-like sweeps of the
// simulated unit's circuit, are opened through the window's own commands;
// the window is drawn with a linear and with a logarithmic resistance axis
// into FOLDER/screenshot-linear.png and FOLDER/screenshot-log.png. Then a
// measured coil is fitted in the analysis window and compared with a
// reference coil: both windows side by side in FOLDER/screenshot-analysis.png.
// Last a measured coil's series inductance Ls, fitted, in the analysis
// window's quantity graph: FOLDER/screenshot-ls.png.
// Then the station after a short batch of coils measured through the
// simulated unit, one of them outside its limits: FOLDER/screenshot-station.png.
// On a screen of pixel ratio 2 (QT_SCALE_FACTOR=2) only the linear picture is
// drawn, at device resolution, into FOLDER/screenshot-linear@2x.png.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPainter>
#include <QPixmap>
#include <cstdio>
#include <filesystem>

#include <QLineEdit>

#include "Analysis_window.h"
#include "File_answer_prompter.h"
#include "Paint_box.h"
#include "Sample_files.h"
#include "Station_window.h"
#include "Synthetic_sweep.h"
#include "Temp_dir.h"
#include "Unitsim_process.h"

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 640;

bool Save(doz::TFormMain& window, const std::string& path) {
  QApplication::processEvents();
  window.mOnIdle();  // the status bar's relayout pass
  if (window.grab().save(QString::fromStdString(path), "PNG")) {
    std::printf("%s\n", path.c_str());
    return true;
  }
  std::fprintf(stderr, "doz-screenshot: cannot write %s\n", path.c_str());
  return false;
}

bool SavePicture(const QPixmap& picture, const std::string& path) {
  if (picture.save(QString::fromStdString(path), "PNG")) {
    std::printf("%s\n", path.c_str());
    return true;
  }
  std::fprintf(stderr, "doz-screenshot: cannot write %s\n", path.c_str());
  return false;
}

// The main window and the analysis window beside it, on the desktop's grey.
QPixmap SideBySide(QWidget& left, QWidget& right) {
  const QPixmap a = left.grab();
  const QPixmap b = right.grab();
  constexpr int kGap = 12;
  QPixmap both(a.width() + kGap + b.width(), std::max(a.height(), b.height()));
  both.fill(QColor(0xD8, 0xD8, 0xD8));
  QPainter painter(&both);
  painter.drawPixmap(0, 0, a);
  painter.drawPixmap(a.width() + kGap, 0, b);
  return both;
}

// A woofer with a lossy voice coil, measured at its true scale (whole
// ohms), and a reference woofer whose cone is 3 % heavier: the fit gives its
// Thiele-Small figures and draws the model dashed, the comparison marks the
// points about the resonance.
int RunAnalysis(const std::string& folder) {
  const doz::test::TTempDir dir;
  const std::string measured = dir.File("woofer.DTA");
  const std::string reference = dir.File("golden.DTA");
  const char* const woofer = "speaker-lossy:Re=6.2,Le=0.3m,L2=1.2m,R2=9,Res=58,Lces=70.6m,Cmes=";
  if (!doz::test::WriteSyntheticFile(measured, doz::test::Circuit(woofer + std::string("293u"))) ||
      !doz::test::WriteSyntheticFile(reference, doz::test::Circuit(woofer + std::string("302u")), 1,
                                     {0.003, 0.2, 2})) {
    std::fprintf(stderr, "doz-screenshot: cannot write the woofer files\n");
    return 1;
  }
  doz::test::TFileAnswerPrompter prompter;
  prompter.Answer({measured});
  prompter.Answer({reference});
  const std::unique_ptr<doz::TFormMain> window = doz::test::UnattendedWindow(dir.Path(), prompter);
  if (!window) return 1;
  window->resize(kWidth, kHeight);
  window->MenuFile_OpenClick();
  window->MenuRef_OpenClick();
  window->MenuAnalysis_WindowClick();
  doz::TFormAnalysis& analysis = window->mAnalysisWindow();
  window->PaintBox1MouseDown(window->PaintBox1->width() * 3 / 5, 40);
  analysis.DrawModelBox->setChecked(true);
  analysis.FitClick();
  QElapsedTimer timer;
  timer.start();
  while (analysis.FitRunning() && timer.elapsed() < 10000) QApplication::processEvents();
  analysis.ReferenceBox->setCurrentIndex(1);
  for (int pass = 0; pass < 3; ++pass) QApplication::processEvents();
  window->mOnIdle();
  return SavePicture(SideBySide(*window, analysis), folder + "/screenshot-analysis.png") ? 0 : 1;
}

// A winding with its self-capacitance (the README's coil), measured with the
// unit's noise: Ls rises towards the resonance near 5 kHz and has no value
// above it, where the coil is capacitive. The fitted model is dashed.
int RunQuantity(const std::string& folder) {
  const doz::test::TTempDir dir;
  const std::string coil = dir.File("coil.DTA");
  if (!doz::test::WriteSyntheticFile(coil, doz::test::Circuit("coil:R=6800,L=2.5,C=400p"))) {
    std::fprintf(stderr, "doz-screenshot: cannot write the coil file\n");
    return 1;
  }
  doz::test::TFileAnswerPrompter prompter;
  prompter.Answer({coil});
  const std::unique_ptr<doz::TFormMain> window = doz::test::UnattendedWindow(dir.Path(), prompter);
  if (!window) return 1;
  window->resize(kWidth, kHeight);
  window->MenuFile_OpenClick();
  window->MenuAnalysis_WindowClick();
  doz::TFormAnalysis& analysis = window->mAnalysisWindow();
  analysis.QuantityBox->setCurrentIndex(2);  // Ls
  window->PaintBox1MouseDown(window->PaintBox1->width() / 2, 40);
  analysis.FitClick();
  QElapsedTimer timer;
  timer.start();
  while (analysis.FitRunning() && timer.elapsed() < 10000) QApplication::processEvents();
  for (int pass = 0; pass < 3; ++pass) QApplication::processEvents();
  return SavePicture(analysis.grab(), folder + "/screenshot-ls.png") ? 0 : 1;
}

// Coils of a batch, each swept by the simulated unit through the main
// window; the sixth is outside its limits. The histogram shows L.
int RunStation(const std::string& folder) {
  namespace fs = std::filesystem;
  const doz::test::TTempDir dir;
  const std::string criteria = dir.File("coil-A.dozcheck");
  doz::test::WriteBytes(criteria,
                        "# coils of batch 7\nname: coil-A\nmodel: coil\nlimit: L=2.4..2.6\n"
                        "limit: C=350p..450p\nresonance: peak 4.5k..5.5k\nband: 7\n");
  doz::test::TFileAnswerPrompter prompter;
  const std::unique_ptr<doz::TFormMain> window = doz::test::UnattendedWindow(dir.Path(), prompter);
  if (!window) return 1;
  doz::TFormStation& station = window->mStationWindow();
  station.CriteriaEdit->setText(QString::fromStdString(criteria));
  station.LoadCriteriaClick();
  int recorded = 0;
  QObject::connect(&station, &doz::TFormStation::RowRecorded, [&recorded] { ++recorded; });
  const char* const inductances[] = {"2.47", "2.52", "2.50", "2.55", "2.44", "2.63", "2.49", "2.53", "2.51"};
  fs::create_directories(dir.File("ports"));
  window->SettingRec.CommPortNum = 1;
  for (int i = 0; i < int(std::size(inductances)); ++i) {
    const doz::test::TUnitsimProcess unit({"--fast", "--seed", std::to_string(i + 1), "--circuit",
                                           std::string("coil:R=6800,C=400p,L=") + inductances[i]});
    fs::remove(dir.File("ports/com1"));
    fs::create_symlink(unit.DevicePath(), dir.File("ports/com1"));
    station.SerialEdit->setText(QStringLiteral("A7-%1").arg(1001 + i));
    station.SerialEntered();
    QElapsedTimer timer;
    timer.start();
    while (recorded <= i && timer.elapsed() < 15000) {
      QApplication::processEvents();
      window->mOnIdle();
    }
  }
  station.HistogramBox->setCurrentIndex(station.HistogramBox->findText(QStringLiteral("L（"), Qt::MatchStartsWith));
  for (int pass = 0; pass < 3; ++pass) QApplication::processEvents();
  if (recorded != int(std::size(inductances))) {
    std::fprintf(stderr, "doz-screenshot: the station measured %d of the coils\n", recorded);
    return 1;
  }
  return SavePicture(station.grab(), folder + "/screenshot-station.png") ? 0 : 1;
}

int Run(const std::string& folder, bool hiDpi) {
  const doz::test::TTempDir dir;
  doz::test::TFileAnswerPrompter prompter;
  prompter.Answer(doz::test::WriteSpeakerFiles(dir.Path(), "speaker", 1, {3}));
  prompter.Answer(doz::test::WriteSpeakerFiles(dir.Path(), "reference", 1, {8, 14}));
  const std::unique_ptr<doz::TFormMain> window = doz::test::UnattendedWindow(dir.Path(), prompter);
  if (!window) return 1;
  window->resize(kWidth, kHeight);
  window->MenuFile_OpenClick();
  window->MenuRef_OpenClick();
  if (window->MeasData.Present != 1 || window->RefCount != 2) {
    std::fprintf(stderr, "doz-screenshot: the sample files did not load\n");
    return 1;
  }
  // A read-out near the resonance, as a click on the curve gives it.
  window->PaintBox1MouseDown(window->PaintBox1->width() / 5, 40);
  std::filesystem::create_directories(folder);
  if (hiDpi) return Save(*window, folder + "/screenshot-linear@2x.png") ? 0 : 1;
  if (!Save(*window, folder + "/screenshot-linear.png")) return 1;
  window->MenuGraph_LogClick();
  return Save(*window, folder + "/screenshot-log.png") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string folder = argc > 1 ? argv[1] : "docs";
  if (app.devicePixelRatio() > 1.0) return Run(folder, true);
  if (Run(folder, false) != 0 || RunAnalysis(folder) != 0 || RunQuantity(folder) != 0) return 1;
  return RunStation(folder);
}
