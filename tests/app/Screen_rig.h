// The real doz on a private X server, as a person meets it: copied into a
// program folder of its own whose ports/com1 is a simulated unit, driven from
// the keyboard through xdotool, and looked at in grabs of the screen.
#pragma once

#include <QImage>
#include <QRect>
#include <memory>
#include <string>
#include <vector>

#include "Spawned_process.h"
#include "Temp_dir.h"
#include "Unitsim_process.h"

namespace doz::test {

class TScreenRig {
 public:
  // display: ":N"; unitArgs: the simulated unit's options (its link and its
  // trace are added). Waits until the window is on the screen.
  TScreenRig(const std::string& display, const std::vector<std::string>& unitArgs);
  ~TScreenRig();

  // The window is mapped and has the keyboard.
  bool Ready() const { return ready_; }
  pid_t DozPid() const { return doz_ ? doz_->Pid() : -1; }
  // The main window's X id, for grabbing it alone.
  unsigned long WindowId() const { return std::stoul(window_); }
  // 測定(M) → 開始(S), from the keyboard.
  void StartSweep();
  // 解析(A) → 解析ウィンドウ(W), then in that window 表示する量(Q) and the
  // first letter of a quantity's name, from the keyboard; the window's X id,
  // 0 when it did not appear.
  unsigned long ShowQuantityGraph(const std::string& letter);
  // 解析(A) → 補正を使う, from the keyboard.
  void UseCompensation();
  // A file in the program's folder.
  std::string File(const std::string& name) const { return dir_.File(name); }
  // 検査(T) → 検査モード… from the keyboard; the station window's X id, 0
  // when it did not appear.
  unsigned long OpenStation();
  // Keys as xdotool names them ("Return", "alt+c"), and text typed.
  void Keys(const std::string& keys) const;
  void Type(const std::string& text) const;
  // The commands the unit heard, each after its monotonic time in seconds.
  std::string Trace() const;
  // Its time of the last "ME" after a start command; 0 while there is none.
  double ReleaseTime() const;

 private:
  unsigned long FocusWindow(const std::string& title) const;

  std::string display_;
  TTempDir dir_;
  std::unique_ptr<TUnitsimProcess> unit_;
  std::unique_ptr<TSpawnedProcess> doz_;
  std::string window_;
  bool ready_ = false;
};

// The paint box on a grab of the window: the inside of its one-pixel black
// frame, the longest black line there is.
QRect GraphArea(const QImage& screen);
// How many pixels of the colour lie in the area, and the rightmost one's
// column counted from the area's left (-1: none).
struct TCurvePixels {
  int count = 0;
  int rightmost = -1;
};
TCurvePixels CurvePixels(const QImage& screen, const QRect& area, QRgb color);

}  // namespace doz::test
