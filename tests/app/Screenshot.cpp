// doz-screenshot [FOLDER]: pictures of the main window for the documentation.
// A band-1 measurement and two references, loudspeaker-like sweeps of the
// simulated unit's circuit, are opened through the window's own commands;
// the window is drawn with a linear and with a logarithmic resistance axis
// into FOLDER/screenshot-linear.png and FOLDER/screenshot-log.png.
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <filesystem>

#include "File_answer_prompter.h"
#include "Paint_box.h"
#include "Sample_files.h"
#include "Temp_dir.h"

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

int Run(const std::string& folder) {
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
  if (!Save(*window, folder + "/screenshot-linear.png")) return 1;
  window->MenuGraph_LogClick();
  return Save(*window, folder + "/screenshot-log.png") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return Run(argc > 1 ? argv[1] : "docs");
}
