#include "Screen_rig.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "Unit_commands.h"

namespace doz::test {
namespace {

constexpr int kWindowTimeoutS = 20;
constexpr int kMinFrameLine = 200;

// Standard output of a shell command.
std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

}  // namespace

TScreenRig::TScreenRig(const std::string& display, const std::vector<std::string>& unitArgs)
    : display_(display) {
  namespace fs = std::filesystem;
  const std::string app = dir_.File("doz");
  fs::copy_file(DOZ_APP_PATH, app);
  fs::create_directory(dir_.File("ports"));
  fs::create_directory(dir_.File("run"));
  chmod(dir_.File("run").c_str(), 0700);
  std::vector<std::string> args = unitArgs;
  args.insert(args.end(), {"--link", dir_.File("ports/com1"), "--trace", dir_.File("trace.txt")});
  unit_ = std::make_unique<TUnitsimProcess>(args);
  if (!unit_->Started()) return;
  TSpawnOptions options;
  options.args = {app};
  options.setEnv = {"DISPLAY=" + display, "XDG_RUNTIME_DIR=" + dir_.File("run")};
  options.unsetEnv = {"QT_QPA_PLATFORM", "DOZ_PROMPTS", "WAYLAND_DISPLAY"};
  options.keepStderr = true;
  doz_ = std::make_unique<TSpawnedProcess>(options);
  window_ = Output("DISPLAY=" + display + " timeout " + std::to_string(kWindowTimeoutS) +
                   " xdotool search --sync --onlyvisible --name '^Do-Z v1.1$' | head -n 1");
  if (window_.empty()) return;
  Output("DISPLAY=" + display + " xdotool windowfocus --sync " + window_);
  ready_ = true;
}

TScreenRig::~TScreenRig() {
  if (doz_) doz_->Stop();
}

void TScreenRig::Keys(const std::string& keys) const {
  Output("DISPLAY=" + display_ + " xdotool key " + keys);
}

void TScreenRig::StartSweep() {
  Keys("alt+m");
  // The menu opens before its item is chosen, as under a person's hands.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Keys("s");
}

void TScreenRig::Type(const std::string& text) const {
  Output("DISPLAY=" + display_ + " xdotool type --delay 20 '" + text + "'");
}

unsigned long TScreenRig::FocusWindow(const std::string& title) const {
  const std::string window =
      Output("DISPLAY=" + display_ + " timeout " + std::to_string(kWindowTimeoutS) +
             " xdotool search --sync --onlyvisible --name '^" + title + "$' | head -n 1");
  if (window.empty()) return 0;
  Output("DISPLAY=" + display_ + " xdotool windowfocus --sync " + window);
  return std::stoul(window);
}

unsigned long TScreenRig::ShowQuantityGraph(const std::string& letter) {
  Keys("alt+a");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Keys("w");
  const unsigned long window = FocusWindow("解析 - Do-Z");
  if (window == 0) return 0;
  Keys("alt+q");
  Keys(letter);
  return window;
}

unsigned long TScreenRig::OpenStation() {
  Keys("alt+t");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Keys("Return");
  return FocusWindow("検査 - Do-Z");
}

void TScreenRig::UseCompensation() {
  Keys("alt+a");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // 解析ウィンドウ, then past the separator オープン補正, ショート補正, 補正を使う.
  Keys("Down Down Down Return");
}

std::string TScreenRig::Trace() const {
  std::ifstream in(dir_.File("trace.txt"));
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

double TScreenRig::ReleaseTime() const {
  std::istringstream lines(Trace());
  double at = 0, release = 0;
  std::string command;
  bool started = false;
  while (lines >> at >> command) {
    started = started || IsSweepStart(command);
    if (started && command == "ME") release = at;
  }
  return release;
}

QRect GraphArea(const QImage& screen) {
  const QRgb black = qRgb(0, 0, 0);
  QRect best;
  for (int y = 0; y < screen.height(); ++y) {
    int run = 0;
    for (int x = 0; x <= screen.width(); ++x) {
      if (x < screen.width() && screen.pixel(x, y) == black) {
        ++run;
        continue;
      }
      if (run >= kMinFrameLine && run > best.width()) best = QRect(x - run, y, run, 1);
      run = 0;
    }
  }
  if (best.isEmpty()) return {};
  int bottom = best.top() + 1;
  while (bottom < screen.height() && screen.pixel(best.left(), bottom) == black) ++bottom;
  return QRect(best.left() + 1, best.top() + 1, best.width() - 2, bottom - best.top() - 2);
}

TCurvePixels CurvePixels(const QImage& screen, const QRect& area, QRgb color) {
  TCurvePixels found;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (screen.pixel(x, y) == color) {
        ++found.count;
        found.rightmost = std::max(found.rightmost, x - area.left());
      }
  return found;
}

}  // namespace doz::test
