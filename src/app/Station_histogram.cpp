#include "Station_histogram.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "Judgement.h"

namespace doz {

THistogram HistogramOf(const std::vector<double>& values, std::optional<double> lower,
                       std::optional<double> upper, int bins) {
  THistogram h;
  h.Counts.assign(std::max(bins, 1), 0);
  std::vector<double> ends;
  for (const double v : values)
    if (std::isfinite(v)) ends.push_back(v);
  for (const auto& limit : {lower, upper})
    if (limit) ends.push_back(*limit);
  if (ends.empty()) return h;
  const auto [low, high] = std::minmax_element(ends.begin(), ends.end());
  h.Low = *low;
  h.High = *high;
  if (!(h.High > h.Low)) {
    const double half = h.Low == 0 ? 1.0 : std::fabs(h.Low) * 0.01;
    h.Low -= half;
    h.High += half;
  }
  const int last = int(h.Counts.size()) - 1;
  for (const double v : values) {
    if (!std::isfinite(v)) continue;
    const int bin = int(std::floor((v - h.Low) / h.BinWidth()));
    ++h.Counts[std::clamp(bin, 0, last)];
  }
  return h;
}

TStationHistogram::TStationHistogram(QWidget* parent) : QWidget(parent) {
  setMinimumSize(320, 140);
  setFocusPolicy(Qt::NoFocus);
}

void TStationHistogram::SetValues(std::vector<double> values, std::optional<double> lower,
                                  std::optional<double> upper, const char* unit) {
  histogram_ = HistogramOf(values, lower, upper, kBins);
  lower_ = lower;
  upper_ = upper;
  unit_ = unit;
  update();
}

void TStationHistogram::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  const int text = fontMetrics().height();
  const QRect plot = rect().adjusted(8, text + 4, -8, -text - 6);
  p.setPen(Qt::black);
  p.drawRect(plot.adjusted(0, 0, -1, -1));
  const THistogram& h = histogram_;
  const int most = h.Counts.empty() ? 0 : *std::max_element(h.Counts.begin(), h.Counts.end());
  const auto x = [&](double value) {
    return plot.left() + int((value - h.Low) / (h.High - h.Low) * plot.width());
  };
  for (std::size_t i = 0; most > 0 && i < h.Counts.size(); ++i) {
    const double left = h.Low + double(i) * h.BinWidth();
    const double middle = left + h.BinWidth() / 2;
    const bool outside = (lower_ && middle < *lower_) || (upper_ && middle > *upper_);
    const int height = h.Counts[i] * (plot.height() - 2) / most;
    const QRect bar(x(left) + 1, plot.bottom() - height,
                    std::max(1, x(left + h.BinWidth()) - x(left) - 1), height);
    p.fillRect(bar, outside ? QColor(220, 40, 40) : QColor(40, 90, 200));
  }
  p.setPen(QPen(QColor(0, 140, 0), 1, Qt::DashLine));
  for (const auto& limit : {lower_, upper_})
    if (limit) p.drawLine(x(*limit), plot.top(), x(*limit), plot.bottom());
  p.setPen(Qt::black);
  const auto label = [&](double value) {
    return QString::fromStdString(station::ValueText(value, unit_));
  };
  p.drawText(QRect(plot.left(), plot.bottom() + 3, plot.width(), text), Qt::AlignLeft,
             label(h.Low));
  p.drawText(QRect(plot.left(), plot.bottom() + 3, plot.width(), text), Qt::AlignRight,
             label(h.High));
  p.drawText(QRect(plot.left(), 2, plot.width(), text), Qt::AlignLeft,
             QStringLiteral("最多 %1 個").arg(most));
}

}  // namespace doz
