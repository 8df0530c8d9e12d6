// Runs one idle pass each time the event loop runs out of work after it has
// handled something else: the pass is queued when the event dispatcher is
// about to block, and a pass that posts nothing new lets the loop sleep. An
// idle window therefore uses no CPU, and a pass that redraws (posting paint
// events) is followed by the next pass at once.
#pragma once

#include <QObject>
#include <functional>

namespace doz {

class TIdlePump : public QObject {
  Q_OBJECT
 public:
  explicit TIdlePump(std::function<void()> pass, QObject* parent = nullptr);
  ~TIdlePump() override;

  // Lets the next pass follow as soon as the loop runs out of work, even if
  // nothing else happens meanwhile.
  void RunAgain() { armed_ = true; }

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AboutToBlock();

  std::function<void()> pass_;
  bool armed_ = true;    // something happened since the last pass
  bool queued_ = false;  // a pass event is on its way
  bool running_ = false;
};

}  // namespace doz
