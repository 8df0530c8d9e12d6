// The batch in the station window: the last parts, the counts and the
// yield, the statistics of every recorded value and the histogram of one,
// and the rows waiting in the store's queue.
#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <algorithm>

#include "Judgement.h"
#include "Result_stats.h"
#include "Station_histogram.h"
#include "Station_texts.h"
#include "Station_window.h"

namespace doz {

using namespace results;

namespace {

void SetCell(QTableWidget* table, int row, int column, const QString& text) {
  auto* item = new QTableWidgetItem(text);
  if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  table->setItem(row, column, item);
}

QString Measured(double value, const char* unit) {
  return QString::fromStdString(station::ValueText(value, unit));
}

// "L（2.40 H～2.60 H）": a value's entry, by its name and the limits it was judged against.
QString EntryText(const TValueStats& s) {
  if (!s.Lower && !s.Upper) return QString::fromStdString(s.Name);
  const char* unit = station::ValueUnit(s.Name);
  return QStringLiteral("%1（%2～%3）")
      .arg(QString::fromStdString(s.Name), s.Lower ? Measured(*s.Lower, unit) : QString(),
           s.Upper ? Measured(*s.Upper, unit) : QString());
}

}  // namespace

void TFormStation::ShowParts() {
  PartsTable->setRowCount(int(parts_.size()));
  for (int i = 0; i < int(parts_.size()); ++i) {
    const TPartLine& line = parts_[std::size_t(i)];
    SetCell(PartsTable, i, 0, line.Time);
    SetCell(PartsTable, i, 1, line.Serial);
    SetCell(PartsTable, i, 2, VerdictText(line.Verdict));
    SetCell(PartsTable, i, 3, line.Fate ? RowFateText(*line.Fate) : QStringLiteral("記録中…"));
    PartsTable->item(i, 1)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PartsTable->item(i, 1)->setToolTip(line.File);
  }
}

// The store's rows of the criteria and those written from here that it
// does not hold (yet): a row waiting in the queue counts all the same.
std::vector<TResultRow> TFormStation::BatchRows() const {
  std::vector<TResultRow> rows = storeRows_;
  for (const TResultRow& own : ownRows_) {
    const bool stored = std::any_of(rows.begin(), rows.end(),
                                    [&](const TResultRow& row) { return row.Id == own.Id; });
    if (!stored && criteria_ && own.Criteria == criteria_->Name) rows.push_back(own);
  }
  return rows;
}

void TFormStation::ShowBatch(const TStationView& view) {
  if (view.Read.Ok() && criteria_) {
    storeRows_.clear();
    for (const TResultRow& row : view.Rows)
      if (row.Criteria == criteria_->Name) storeRows_.push_back(row);
  }
  const std::vector<TResultRow> rows = BatchRows();
  const TBatchStats stats = BatchStats(rows);
  const auto count = [&](TVerdict v) {
    return std::count_if(rows.begin(), rows.end(),
                         [v](const TResultRow& r) { return r.Verdict == v; });
  };
  CountsLabel->setText(
      QStringLiteral("件数 %1　合格 %2　不合格 %3　測定エラー %4　歩留まり %5")
          .arg(stats.Count)
          .arg(stats.Passed)
          .arg(count(TVerdict::Fail))
          .arg(count(TVerdict::MeasurementError))
          .arg(stats.Yield ? QString::number(100 * *stats.Yield, 'f', 1) + QStringLiteral(" %")
                           : QStringLiteral("－")));
  WaitingLabel->setStyleSheet(view.Waiting > 0 ? QStringLiteral("color: #c00000;") : QString());
  WaitingLabel->setText(
      view.Waiting > 0
          ? QStringLiteral("記録先に届いていない行 %1 行（待機中）").arg(view.Waiting) +
                (view.Read.Ok() ? QString()
                                : QStringLiteral("：") + QString::fromStdString(view.Read.Message))
          : QStringLiteral("待機中の行はありません"));
  StatsTable->setRowCount(int(stats.Values.size()));
  const QString chosen = HistogramBox->currentText();
  HistogramBox->blockSignals(true);
  HistogramBox->clear();
  for (int i = 0; i < int(stats.Values.size()); ++i) {
    const TValueStats& s = stats.Values[std::size_t(i)];
    SetCell(StatsTable, i, 0, EntryText(s));
    SetCell(StatsTable, i, 1, QString::number(s.Count));
    const char* unit = station::ValueUnit(s.Name);
    SetCell(StatsTable, i, 2, Measured(s.Mean, unit));
    SetCell(StatsTable, i, 3, Measured(s.StdDev, unit));
    SetCell(StatsTable, i, 4, Measured(s.Min, unit));
    SetCell(StatsTable, i, 5, Measured(s.Max, unit));
    SetCell(StatsTable, i, 6, s.Cpk ? QString::number(*s.Cpk, 'f', 2) : QStringLiteral("－"));
    HistogramBox->addItem(EntryText(s));
  }
  HistogramBox->setCurrentIndex(std::max(0, HistogramBox->findText(chosen)));
  HistogramBox->blockSignals(false);
  ShowHistogram();
}

void TFormStation::ShowHistogram() {
  const std::vector<TResultRow> rows = BatchRows();
  const TBatchStats stats = BatchStats(rows);
  const int index = HistogramBox->currentIndex();
  if (index < 0 || index >= int(stats.Values.size())) return Histogram->SetValues({}, {}, {}, "");
  const TValueStats& s = stats.Values[std::size_t(index)];
  std::vector<double> values;
  for (const TResultRow& row : rows)
    for (const TFittedValue& v : row.Values)
      if (v.Name == s.Name && v.Lower == s.Lower && v.Upper == s.Upper) values.push_back(v.Value);
  Histogram->SetValues(std::move(values), s.Lower, s.Upper, station::ValueUnit(s.Name));
}

}  // namespace doz
