// Program entry: the single-instance guard, the forms, the message loop.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>

#include "Doz_main.h"
#include "Instance_guard.h"
#include "Prompter.h"
#include "Qt_prompter.h"
#include "Stderr_prompter.h"
#include "Toolkit_translation.h"

namespace {

constexpr char kInstanceName[] = "Vu_D";

// Process-level tests set DOZ_PROMPTS=stderr so that boxes are written to
// standard error instead of waiting for a user.
std::unique_ptr<doz::TPrompter> MakePrompter() {
  if (qEnvironmentVariable("DOZ_PROMPTS") == "stderr") return std::make_unique<doz::TStderrPrompter>();
  return std::make_unique<doz::TQtPrompter>();
}

int SecondInstance(const doz::TInstanceGuard& guard, doz::TPrompter& prompter) {
  if (guard.FirstInstanceReachable(1000)) {
    prompter.MessageBox(QStringLiteral("Vu_Dがすでに起動しています"), kInstanceName,
                        doz::TBoxStyle::Error);
    guard.AskFirstToShow(1000);
  }
  return 1;
}

// The start-up benchmark sets DOZ_FIRST_PAINT_EXIT: once the window's first
// paint is done, the program prints the monotonic clock in nanoseconds on
// standard output and quits.
class TFirstPaintExit : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted_) {
      painted_ = true;
      QTimer::singleShot(0, [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("%lld\n", static_cast<long long>(
                                  std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
        QCoreApplication::quit();
      });
    }
    return false;
  }

 private:
  bool painted_ = false;
};

void BringForward(doz::TFormMain& window) {
  window.showNormal();
  window.raise();
  window.activateWindow();
}

int Run(QApplication& app, doz::TPrompter& prompter) {
  doz::TInstanceGuard guard(kInstanceName);
  const doz::TLockResult lock = guard.Acquire();
  if (lock == doz::TLockResult::HeldElsewhere) return SecondInstance(guard, prompter);
  // Only a running Do-Z may refuse a start; without any place for the lock
  // the program runs unguarded.
  if (lock == doz::TLockResult::Unavailable)
    std::fprintf(stderr, "doz: no place for the single-instance lock; starting without it\n");
  QApplication::setApplicationName(kInstanceName);
  doz::TMainOptions options;
  options.prompter = &prompter;
  doz::TFormMain window(std::move(options));
  // The box has said why; the exit status says it too.
  if (!window.ServicesCreated()) return 1;
  window.CreateForms();
  if (lock == doz::TLockResult::Acquired) guard.Listen([&window] { BringForward(window); });
  TFirstPaintExit firstPaint;
  if (qEnvironmentVariableIsSet("DOZ_FIRST_PAINT_EXIT")) window.installEventFilter(&firstPaint);
  app.exec();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // A sweep repaints small strips many times a second; through the X
  // connection itself they cost less than shared memory's round trips.
  if (qEnvironmentVariableIsEmpty("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  QApplication app(argc, argv);
  if (!doz::InstallToolkitTranslation(app))
    std::fprintf(stderr, "doz: Qt's Japanese translation is not installed; its own texts stay English\n");
  std::unique_ptr<doz::TPrompter> prompter = MakePrompter();
  try {
    return Run(app, *prompter);
  } catch (const std::exception& e) {
    prompter->MessageBox(QString::fromLocal8Bit(e.what()), kInstanceName, doz::TBoxStyle::Error);
    return 1;
  }
}
