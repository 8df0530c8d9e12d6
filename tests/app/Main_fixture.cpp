#include "Main_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>

#include "Status_bar.h"

namespace doz::test {

TMainFixture::TMainFixture(const std::function<void(TMainOptions&, const TTempDir&)>& adjust) {
  TMainOptions options;
  options.appDir = dir_.Path();
  options.prompter = &prompter_;
  options.screenSize = [] { return QSize(kScreenWidth, kScreenHeight); };
  if (adjust) adjust(options, dir_);
  window_ = std::make_unique<TFormMain>(std::move(options));
  if (window_->ServicesCreated()) window_->CreateForms();
}

TMainFixture::~TMainFixture() {
  window_.reset();
  QCoreApplication::processEvents();
}

void TMainFixture::Idle() {
  QCoreApplication::processEvents();
  window_->mOnIdle();
}

bool TMainFixture::IdleUntil(const std::function<bool()>& cond, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!cond()) {
    if (timer.elapsed() > timeoutMs) return false;
    Idle();
  }
  return true;
}

QString TMainFixture::Panel(int panel) const { return window_->StatusBar1->PanelText(panel); }

void TMainFixture::LinkComPort(int n, const std::string& device) const {
  std::filesystem::create_directories(dir_.File("ports"));
  const std::string link = dir_.File("ports/com" + std::to_string(n));
  std::filesystem::remove(link);
  std::filesystem::create_symlink(device, link);
}

}  // namespace doz::test
