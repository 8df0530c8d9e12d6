#include "Modal_helper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

namespace doz::test {

namespace {
// Actions scheduled and not yet run.
int pending = 0;
constexpr int STRAY_WATCH_MS = 1000;

// Calls `tick` every few milliseconds until it returns true.
void Poll(std::function<bool()> tick) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, tick] {
    if (!tick()) return;
    timer->stop();
    timer->deleteLater();
  });
  timer->start(5);
}

// Until the next action is scheduled, a modal widget other than `handled`
// is one nobody expected (a second box behind the first, say): it fails the
// test and is closed so the run goes on.
void CloseStrays(QPointer<QWidget> handled) {
  QElapsedTimer clock;
  clock.start();
  Poll([handled, clock] {
    if (pending > 0 || clock.elapsed() > STRAY_WATCH_MS) return true;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != handled.data()) {
      ADD_FAILURE() << "unexpected modal widget: " << modal->windowTitle().toStdString();
      modal->close();
    }
    return false;
  });
}
}  // namespace

void WhenModal(std::function<void(QWidget*)> action, int timeoutMs) {
  ++pending;
  QElapsedTimer clock;
  clock.start();
  Poll([action, timeoutMs, clock] {
    QWidget* modal = QApplication::activeModalWidget();
    const bool late = clock.elapsed() > timeoutMs;
    if (!modal && !late) return false;
    --pending;
    if (!modal) {
      ADD_FAILURE() << "no modal widget appeared";
      return true;
    }
    CloseStrays(modal);
    const QPointer<QWidget> handled = modal;
    action(modal);
    if (handled && handled->isVisible()) {
      ADD_FAILURE() << "the action left " << handled->windowTitle().toStdString() << " open";
      handled->close();
    }
    return true;
  });
}

void ClickBoxButton(QWidget* box, int standardButton) {
  auto* messageBox = qobject_cast<QMessageBox*>(box);
  ASSERT_NE(messageBox, nullptr);
  QAbstractButton* button =
      messageBox->button(static_cast<QMessageBox::StandardButton>(standardButton));
  ASSERT_NE(button, nullptr);
  button->click();
}

}  // namespace doz::test
