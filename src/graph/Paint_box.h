// The graph surface: shows the renderer's finished image inside a one-pixel
// black frame, so the screen never sees a half-drawn picture.
#pragma once

#include <QWidget>
#include <functional>

class QImage;
class QRegion;

namespace doz {

class TPaintBox : public QWidget {
  Q_OBJECT

 public:
  explicit TPaintBox(QWidget* parent = nullptr);

  // Shows the image at (1, 1) from the next paint on; the image is not
  // copied and must outlive its display (null shows a white box).
  void ShowImage(const QImage* image);
  // The same when only `changed` (image pixels) differs from what is shown.
  void ShowImage(const QImage* image, const QRegion& changed);
  const QImage* Image() const { return image_; }

  // Any mouse button pressed on the box, in box pixels.
  std::function<void(int x, int y)> OnMouseDown;
  // Left button pressed and released on the box.
  std::function<void()> OnClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const QImage* image_ = nullptr;
  bool leftPressed_ = false;
};

}  // namespace doz
