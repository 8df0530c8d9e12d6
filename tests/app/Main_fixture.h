// A main window for one test: its own settings folder, scripted dialogs, a
// fixed screen size, and idle passes run by hand so each step is
// deterministic.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "Doz_main.h"
#include "Scripted_prompter.h"
#include "Temp_dir.h"

namespace doz::test {

class TMainFixture {
 public:
  // adjust: changes the options (or writes files into the folder) before the
  // window is created.
  explicit TMainFixture(const std::function<void(TMainOptions&, const TTempDir&)>& adjust = {});
  ~TMainFixture();

  TFormMain& Window() { return *window_; }
  TScriptedPrompter& Prompter() { return prompter_; }
  const TTempDir& Dir() const { return dir_; }

  // Handles pending events, then runs one idle pass.
  void Idle();
  // The window after its first idle pass: settings loaded, window shown.
  TFormMain& Shown() {
    Idle();
    return *window_;
  }
  // Idle passes until cond holds or the time is up; true when it held.
  bool IdleUntil(const std::function<bool()>& cond, int timeoutMs);
  QString Panel(int panel) const;
  // Links ports/com<n> in the window's folder to a device.
  void LinkComPort(int n, const std::string& device) const;

  static constexpr int kScreenWidth = 1920;
  static constexpr int kScreenHeight = 1080;

 private:
  TTempDir dir_;
  TScriptedPrompter prompter_;
  std::unique_ptr<TFormMain> window_;
};

}  // namespace doz::test
