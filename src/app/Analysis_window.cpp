#include "Analysis_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "Analysis_texts.h"
#include "App_font.h"
#include "Doz_main.h"
#include "Graph_rtf.h"
#include "Point_quantities.h"
#include "Set_digest.h"
#include "Stringutil.h"

namespace doz {

using namespace analysis;

namespace {

// What the quantity graph adds to the window's width.
constexpr int kGraphWidth = 500;

}  // namespace

TFormAnalysis::TFormAnalysis(TFormMain& main)
    : QWidget(&main, Qt::Window),
      main_(main),
      overlay_(std::make_shared<TAnalysisOverlay>(
          [this] { return CurrentKey(); },
          // Found during a drawing of the graph: followed once it is done.
          [this] { QTimer::singleShot(0, this, [this] { Follow(); }); })) {
  setWindowTitle(QStringLiteral("解析 - Do-Z"));
  setFont(AppFont());
  // The groups in a column as before, the quantity graph beside them.
  auto* columns = new QHBoxLayout(this);
  auto* layout = new QVBoxLayout;
  columns->addLayout(layout);
  MeasurementLabel = new QLabel(this);
  MeasurementLabel->setWordWrap(true);
  layout->addWidget(MeasurementLabel);
  layout->addWidget(CreatePointGroup());
  layout->addWidget(CreateResonanceGroup());
  layout->addWidget(CreateFitGroup());
  layout->addWidget(CreateCompareGroup());
  layout->addWidget(CreateExportGroup());
  layout->addStretch(1);
  columns->addWidget(CreateGraphPanel(), 1);
  resize(440 + kGraphWidth, sizeHint().height());

  fitRunner_.OnFinished = [this](const TFitOutcome& outcome) { FitFinished(outcome); };
  // Queued: followed once the main window's command is done, so that the
  // window sees its data whole, and its own redraws do not re-enter Follow.
  // A hidden window catches up when it is shown.
  connect(
      &main_, &TFormMain::AnalysedDataChanged, this,
      [this] {
        if (isVisible()) Follow();
      },
      Qt::QueuedConnection);
  if (main_.Graph) main_.Graph->SetOverlay(overlay_);
  ShowMeasurement();
  FillReferenceChoices();
  ShowComparison();
}

QTableWidget* TFormAnalysis::CreateTable(const QStringList& columns, int visibleRows,
                                         QWidget* parent) {
  constexpr int kRowHeight = 20;
  auto* table = new QTableWidget(0, int(columns.size()), parent);
  table->setHorizontalHeaderLabels(columns);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::NoSelection);
  table->setFocusPolicy(Qt::NoFocus);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table->verticalHeader()->setDefaultSectionSize(kRowHeight);
  table->setFixedHeight(visibleRows * kRowHeight + table->horizontalHeader()->sizeHint().height() +
                        2 * table->frameWidth());
  return table;
}

void TFormAnalysis::SetCell(QTableWidget* table, int row, int column, const QString& text) {
  auto* item = new QTableWidgetItem(text);
  if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  table->setItem(row, column, item);
}

void TFormAnalysis::KeepLines(QLabel* label, int lines) {
  label->setMinimumHeight(lines * label->fontMetrics().lineSpacing());
}

QGroupBox* TFormAnalysis::CreatePointGroup() {
  auto* group = new QGroupBox(QStringLiteral("クリックした点"), this);
  auto* layout = new QVBoxLayout(group);
  PointHeader = new QLabel(group);
  PointHeader->setWordWrap(true);
  PointTable = CreateTable({QStringLiteral("直列"), QStringLiteral("並列")}, 4, group);
  PointTable->setRowCount(4);
  PointTable->setVerticalHeaderLabels({QStringLiteral("抵抗 R"), QStringLiteral("リアクタンス X"),
                                       QStringLiteral("インダクタンス L"),
                                       QStringLiteral("キャパシタンス C")});
  layout->addWidget(PointHeader);
  layout->addWidget(PointTable);
  return group;
}

QGroupBox* TFormAnalysis::CreateResonanceGroup() {
  auto* group = new QGroupBox(QStringLiteral("共振"), this);
  auto* layout = new QVBoxLayout(group);
  ResonanceTable = CreateTable({QStringLiteral("種類"), QStringLiteral("周波数"),
                                QStringLiteral("|Z|"), QStringLiteral("Q")},
                               3, group);
  ResonanceTable->verticalHeader()->hide();
  ResonanceNote = new QLabel(group);
  layout->addWidget(ResonanceTable);
  layout->addWidget(ResonanceNote);
  return group;
}

// The graph's own choice once it has made one, so that the values, the
// clicked point and the marks all belong to the curve on the screen.
const TCalcData& TFormAnalysis::AnalysedSet() const {
  if (main_.GraphRange.PlotMeas) return *main_.GraphRange.PlotMeas;
  return main_.MenuGraph_Ave->isChecked() ? main_.ShownAve() : main_.ShownCalc();
}

int TFormAnalysis::Band() const { return main_.GraphRange.Band; }

std::optional<std::uint64_t> TFormAnalysis::CurrentKey() const {
  if (main_.MeasData.Present != 1) return std::nullopt;
  return SetDigest(AnalysedSet(), Band());
}

void TFormAnalysis::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Follow();
}

void TFormAnalysis::Follow() {
  const std::optional<std::uint64_t> key = CurrentKey();
  if (key != shownKey_) {
    shownKey_ = key;
    ShowMeasurement();
  }
  FillReferenceChoices();
  if (CompareInputNow() != compared_) ShowComparison();
  ShowQuantityGraph();
}

void TFormAnalysis::PointClicked(int slot) {
  clickedSlot_ = slot;
  clickedKey_ = CurrentKey();
  Follow();
  ShowPoint();
  ShowQuantityGraph();
}

void TFormAnalysis::ShowMeasurement() {
  const bool present = shownKey_.has_value();
  QString text = QStringLiteral("測定データがありません");
  if (present) {
    const std::string name = FileNamePart(main_.FileName);
    text = (name.empty() ? QStringLiteral("未保存の測定") : QString::fromStdString(name)) +
           QStringLiteral("　") + QString::fromUtf8(BandLabel(Band())) +
           (main_.MenuGraph_Ave->isChecked() ? QStringLiteral("　平均処理あり")
                                             : QStringLiteral("　平均処理なし"));
  }
  MeasurementLabel->setText(text);
  for (QPushButton* button : {FitButton, CsvButton, ZmaButton, TouchstoneButton, PrintButton})
    button->setEnabled(present);
  ShowPoint();
  ShowResonances(present ? FindResonances(SamplesOf(main_.ShownCalc(), Band()))
                         : std::vector<TResonance>());
  if (present && fitWanted_) {
    StartFit();
  } else {
    ClearFit(present ? QStringLiteral("「フィット」で等価回路の定数を求めます")
                     : QStringLiteral("測定データがありません"));
  }
  ExportStatus->clear();
}

std::optional<TImpedanceSample> TFormAnalysis::ClickedSample() const {
  if (clickedSlot_ < 0 || !shownKey_ || clickedKey_ != shownKey_) return std::nullopt;
  for (const TImpedanceSample& s : SamplesOf(AnalysedSet(), Band()))
    if (s.Slot == clickedSlot_) return s;
  return std::nullopt;
}

void TFormAnalysis::ShowPoint() {
  PointTable->clearContents();
  const std::optional<TImpedanceSample> s = ClickedSample();
  if (!s) {
    PointHeader->setText(
        shownKey_ ? QStringLiteral("グラフの測定点をクリックすると、その点の値を表示します")
                  : QString());
    return;
  }
  const TPointQuantities q = QuantitiesOf(*s);
  PointHeader->setText(SiText(s->Hertz, "Hz") + QStringLiteral("　|Z| ") + SiText(s->Ohms, "Ω") +
                       QStringLiteral("　位相 ") + DegreesText(s->Degrees) + QStringLiteral("　Q ") +
                       RatioText(q.Q) + QStringLiteral("　D ") + RatioText(q.D));
  // Rows R, X, L, C; columns series and parallel.
  const std::optional<double> values[][2] = {
      {q.Rs, q.Rp}, {q.Xs, q.Xp}, {q.Ls, q.Lp}, {q.Cs, q.Cp}};
  const char* const units[] = {"Ω", "Ω", "H", "F"};
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 2; ++column)
      SetCell(PointTable, row, column, SiText(values[row][column], units[row]));
}

void TFormAnalysis::ShowResonances(const std::vector<TResonance>& resonances) {
  ResonanceTable->setRowCount(int(resonances.size()));
  for (int row = 0; row < int(resonances.size()); ++row) {
    const TResonance& r = resonances[row];
    SetCell(ResonanceTable, row, 0, ResonanceText(r.Kind));
    SetCell(ResonanceTable, row, 1, SiText(r.Hertz, "Hz"));
    SetCell(ResonanceTable, row, 2, SiText(r.Ohms, "Ω"));
    SetCell(ResonanceTable, row, 3, RatioText(r.Q));
    ResonanceTable->item(row, 2)->setToolTip(
        (r.Kind == TResonanceKind::Peak ? QStringLiteral("山の頂 ") : QStringLiteral("谷の底 ")) +
        SiText(r.ExtremumOhms, "Ω") + QStringLiteral("（") + SiText(r.ExtremumHertz, "Hz") +
        QStringLiteral("）"));
  }
  if (!shownKey_) {
    ResonanceNote->clear();
  } else if (resonances.empty()) {
    ResonanceNote->setText(QStringLiteral("位相が 0° を横切る山や谷はありません"));
  } else {
    ResonanceNote->setText(
        (resonances[0].Source == TResonanceSource::Model ? QStringLiteral("フィットしたモデルから ")
                                                          : QStringLiteral("測定点から ")) +
        QStringLiteral("%1 か所（|Z| は位相 0° の周波数での値）").arg(resonances.size()));
  }
}

void TFormAnalysis::RedrawGraph() {
  if (main_.Session.fReceiving() || main_.MeasData.Present != 1 || !main_.Graph) return;
  main_.RedrawCurrent();
}

}  // namespace doz
