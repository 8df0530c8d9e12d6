#include "Idle_pump.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace doz {
namespace {

const QEvent::Type kIdleEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

}  // namespace

TIdlePump::TIdlePump(std::function<void()> pass, QObject* parent)
    : QObject(parent), pass_(std::move(pass)) {
  QCoreApplication::instance()->installEventFilter(this);
  auto* dispatcher = QAbstractEventDispatcher::instance(thread());
  connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TIdlePump::AboutToBlock);
}

TIdlePump::~TIdlePump() { QCoreApplication::instance()->removeEventFilter(this); }

void TIdlePump::AboutToBlock() {
  if (!armed_ || queued_) return;
  armed_ = false;
  queued_ = true;
  QCoreApplication::postEvent(this, new QEvent(kIdleEvent), Qt::LowEventPriority);
}

bool TIdlePump::event(QEvent* event) {
  if (event->type() != kIdleEvent) return QObject::event(event);
  queued_ = false;
  // A modal box inside a pass runs a nested loop; that loop must not start a
  // second pass before the first has finished.
  if (running_) {
    armed_ = true;
    return true;
  }
  running_ = true;
  pass_();
  running_ = false;
  return true;
}

bool TIdlePump::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != kIdleEvent) armed_ = true;
  return QObject::eventFilter(watched, event);
}

}  // namespace doz
