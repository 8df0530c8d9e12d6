// The histogram of one value over the batch, with the limits it is judged
// against: the bins come from a pure rule, the widget only paints them.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

namespace doz {

struct THistogram {
  double Low = 0;   // the left edge of the first bin
  double High = 1;  // the right edge of the last
  std::vector<int> Counts;

  double BinWidth() const { return Counts.empty() ? 0 : (High - Low) / double(Counts.size()); }
};

// `bins` equal bins over the values and the limits together; a value at
// High goes into the last bin. A span of zero is widened about its value.
THistogram HistogramOf(const std::vector<double>& values, std::optional<double> lower,
                       std::optional<double> upper, int bins);

class TStationHistogram : public QWidget {
 public:
  static constexpr int kBins = 20;

  explicit TStationHistogram(QWidget* parent = nullptr);

  void SetValues(std::vector<double> values, std::optional<double> lower,
                 std::optional<double> upper, const char* unit);
  const THistogram& Shown() const { return histogram_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  THistogram histogram_;
  std::optional<double> lower_;
  std::optional<double> upper_;
  const char* unit_ = "";
};

}  // namespace doz
