// Renders a band-1 loudspeaker-like measurement with two references, on
// linear and logarithmic axes, labels included, into the build tree for a
// person to look at.
#include <gtest/gtest.h>

#include <QFont>
#include <algorithm>
#include <string>

#include "Curve_stats.h"
#include "Graph_rig.h"
#include "Sample_curves.h"

namespace doz::test {
namespace {

int CountColor(const QImage& image, const QColor& color) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == color;
  return n;
}

TEST(GraphPicture, Band1SpeakerWithTwoReferences) {
  TGraphRig rig(1, 760, 480);
  QFont font = rig.owner.font();
  font.setPixelSize(12);
  rig.owner.setFont(font);
  rig.owner.setStyleSheet("background: white");
  FillSpeaker(rig.meas, 1, TSpeaker{});
  FillSpeaker(rig.refs[0], 1, TSpeaker{1700, 11000, 55, 5, 0.010});
  FillSpeaker(rig.refs[1], 1, TSpeaker{1300, 7000, 38, 3, 0.015});
  const TRefSets sets{&rig.refs[0], &rig.refs[1], nullptr, nullptr, nullptr};
  ApplyCurveLimits(rig.range,
                   Combined(MeasuredCurveStats(rig.meas, 1), ReferenceCurveStats(sets, 1)));
  rig.setting.PenColor_R_Ref[1] = 0x00A000;
  rig.setting.PenColor_Theta_Ref[1] = 0x0080FF;
  rig.owner.show();
  for (const char* axis : {"linear", "log"}) {
    rig.setting.flog = std::string(axis) == "log";
    rig.graph->Clear();
    rig.graph->DrawAll();
    const QImage shot = rig.owner.grab().toImage();
    const std::string path = std::string(DOZ_PICTURE_DIR) + "/graph-band1-" + axis + ".png";
    ASSERT_TRUE(shot.save(QString::fromStdString(path))) << path;
    for (TColorRef ref : {rig.setting.PenColor_R, rig.setting.PenColor_Theta,
                          rig.setting.PenColor_R_Ref[0], rig.setting.PenColor_Theta_Ref[1]})
      EXPECT_GT(CountColor(rig.graph->Bitmap(), ColorFromRef(ref)), 200) << axis << " " << ref;
  }
}

}  // namespace
}  // namespace doz::test
