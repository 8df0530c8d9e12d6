#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "Graph_rig.h"

namespace doz::test {
namespace {

// Paint box at (64, 24), 500 x 312: bitmap 498 x 310.
constexpr int kLp = 64, kTp = 24, kWp = 500, kHp = 312, kW = 498, kH = 310;
const std::vector<double> kBand1Freqs{10, 30, 100, 300, 1000, 3000, 10000, 30000, 100000};
const std::vector<std::string> kBand1Texts{"10", "30",  "100", "300", "1k",
                                           "3k", "10k", "30k", "100k"};
const std::vector<double> kLogValues{1000, 3000, 10000, 30000, 100000, 200000};

int Band1X(double f, int width) { return static_cast<int>(width * std::log10(f / 10) / 4); }
int LogP(double r, int height) {
  return static_cast<int>(height * std::log10(r / 1000) / std::log10(200.0));
}

void ExpectShown(const QLabel* label, const std::string& text,
                 const std::function<QPoint(int w, int h)>& at) {
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text().toStdString(), text);
  EXPECT_FALSE(label->isHidden()) << text;
  EXPECT_EQ(label->pos(), at(label->width(), label->height())) << text;
}

void ExpectEmpty(const QLabel* label) {
  EXPECT_TRUE(label->text().isEmpty());
  EXPECT_TRUE(label->isHidden());
}

int RowTop(int i, int h) { return kTp + (kH * i) / 10 - h / 2 + 2; }

TEST(GraphLabels, LinearAxesPlaceAllThirtyFiveLabels) {
  TGraphRig rig;
  rig.graph->DrawScales();
  for (int k = 0; k < 10; ++k) {
    if (k >= 9) {
      ExpectEmpty(rig.labels[24 + k]);
      continue;
    }
    ExpectShown(rig.labels[24 + k], kBand1Texts[k], [&](int w, int) {
      return QPoint(kLp + Band1X(kBand1Freqs[k], kW) - w / 2 + 2, kTp + kHp + 5);
    });
  }
  ExpectShown(rig.labels[34], "[Hz]",
              [](int w, int h) { return QPoint(kLp + kWp - w / 2, kTp + kHp + h + 5); });
  for (int i = 0; i <= 10; ++i) {
    ExpectShown(rig.labels[i], i == 10 ? "0" : std::to_string(150 - 15 * i) + "k",
                [&](int w, int h) { return QPoint(kLp - w - 5, RowTop(i, h)); });
    ExpectShown(rig.labels[12 + i], FormatPhaseLabel(100 - 20 * i),
                [&](int, int h) { return QPoint(kLp + kWp + 5, RowTop(i, h)); });
  }
  ExpectShown(rig.labels[11], "[Ω]", [](int, int h) { return QPoint(kLp, kTp - h - 2); });
  ExpectShown(rig.labels[23], "[deg]",
              [](int w, int h) { return QPoint(kLp + kWp - w - 5, kTp - h - 2); });
}

TEST(GraphLabels, LogarithmicResistanceAxis) {
  TGraphRig rig;
  rig.setting.flog = 1;  // 1 k to 200 k
  rig.graph->DrawScales();
  for (int k = 0; k <= 10; ++k) {
    if (k >= 6) {
      ExpectEmpty(rig.labels[k]);
      continue;
    }
    ExpectShown(rig.labels[k], LogResistanceLabelText(kLogValues[k]), [&](int w, int h) {
      return QPoint(kLp - w - 2, kTp + kH - LogP(kLogValues[k], kH) - h / 2 + 2);
    });
  }
  ExpectShown(rig.labels[11], "[Ω]", [](int, int h) { return QPoint(kLp, kTp - h - 1); });

  rig.range.MinR = 5000000;  // no span: the labels keep what they had
  rig.range.MaxR = 0;
  rig.graph->DrawScales();
  EXPECT_EQ(rig.labels[1]->text(), "3k");
  EXPECT_FALSE(rig.labels[1]->isHidden());
}

TEST(GraphLabels, ResistanceOnlyHidesThePhaseAxisAndNullSlotsAreSkipped) {
  TGraphRig rig(10);
  rig.setting.fronly = 1;
  rig.graph->DrawScales();
  for (int slot = 12; slot <= 23; ++slot) EXPECT_TRUE(rig.labels[slot]->isHidden()) << slot;
  EXPECT_FALSE(rig.labels[0]->isHidden());
  const std::vector<std::string> band10{"10", "20", "30", "50", "100"};
  for (int k = 0; k < 10; ++k) {
    if (k < 5)
      EXPECT_EQ(rig.labels[24 + k]->text().toStdString(), band10[k]);
    else
      ExpectEmpty(rig.labels[24 + k]);
  }

  auto table = rig.labels;
  table[5] = table[20] = table[30] = table[34] = nullptr;
  rig.labels[30]->setText("kept");
  rig.setting.fronly = 0;
  rig.range.MaxR = 800;
  TGraph_RTF partial(rig.owner, *rig.box, rig.setting, table, rig.range);
  partial.DrawScales();
  EXPECT_EQ(rig.labels[30]->text(), "kept");
  EXPECT_EQ(rig.labels[4]->text(), "0.6k");
  EXPECT_EQ(rig.labels[6]->text(), "0.4k");
  EXPECT_FALSE(rig.labels[21]->isHidden());
}

// A portrait page 200 mm wide at 600 dpi, screen at 96 dpi.
const TPrintGeometry kPage{590, 472, 4370, 3602, 3780, 3130, 6.25f, 56};

template <std::size_t N>
std::pair<std::array<int, N>, std::array<int, N>> Unset() {
  std::array<int, N> a;
  a.fill(-1);
  return {a, a};
}

TEST(PrintLabelPositions, LinearPageFromTheLabelSizes) {
  TGraphRig rig;
  rig.graph->DrawScales();
  auto [fx, fy] = Unset<11>();
  rig.graph->FreqLabelPositions(kPage, fx, fy);
  for (int k = 0; k < 9; ++k) {
    EXPECT_EQ(fx[k], static_cast<int>(590 + Band1X(kBand1Freqs[k], 3780) -
                                      3.125 * rig.labels[24 + k]->width()));
    EXPECT_EQ(fy[k], 3633);
  }
  EXPECT_EQ(fx[9], -1);
  EXPECT_EQ(fx[10], static_cast<int>(4370 - 3.125 * rig.labels[34]->width()));
  EXPECT_EQ(fy[10], 3720);

  auto [rx, ry] = Unset<12>();
  auto [px, py] = Unset<12>();
  rig.graph->ResistanceLabelPositions(kPage, rx, ry);
  rig.graph->PhaseLabelPositions(kPage, px, py);
  for (int i = 0; i <= 10; ++i) {
    EXPECT_EQ(rx[i], static_cast<int>(590 - 6.25 * rig.labels[i]->width() - 62.5));
    EXPECT_EQ(ry[i], 472 + 3130 * i / 10 - 28);
    EXPECT_EQ(px[i], 4432);
    EXPECT_EQ(py[i], ry[i]);
  }
  EXPECT_EQ(rx[11], 590);
  EXPECT_EQ(ry[11], 384);
  EXPECT_EQ(px[11], static_cast<int>(4370 - 6.25 * rig.labels[23]->width() - 31.25));
  EXPECT_EQ(py[11], static_cast<int>(472 - 6.25 * rig.labels[23]->height() - 12.5));
}

TEST(PrintLabelPositions, LogarithmicAndResistanceOnlyPages) {
  TGraphRig rig;
  rig.setting.flog = 1;
  rig.setting.fronly = 1;
  rig.graph->DrawScales();
  auto [rx, ry] = Unset<12>();
  auto [px, py] = Unset<12>();
  rig.graph->ResistanceLabelPositions(kPage, rx, ry);
  rig.graph->PhaseLabelPositions(kPage, px, py);
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(rx[k], static_cast<int>(590 - 6.25 * rig.labels[k]->width() - 31.25));
    EXPECT_EQ(ry[k], static_cast<int>(472 + 3130 - LogP(kLogValues[k], 3130) - 28 - 18.75));
  }
  for (int k = 6; k <= 10; ++k) EXPECT_EQ(rx[k], -1);
  EXPECT_EQ(rx[11], 590);
  EXPECT_EQ(px, (Unset<12>().first));
}

}  // namespace
}  // namespace doz::test
