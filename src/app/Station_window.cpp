#include "Station_window.h"

#include <unistd.h>

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "App_font.h"
#include "Criteria_parser.h"
#include "Doz_main.h"
#include "Prompter.h"
#include "Station_histogram.h"
#include "Station_texts.h"
#include "Store_location.h"
#include "Text_writer.h"

namespace doz {

using namespace station;

namespace {

QLabel* Buddy(const QString& text, QWidget* field, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(field);
  return label;
}

QTableWidget* Table(const QStringList& columns, int rows, QWidget* parent) {
  constexpr int kRowHeight = 20;
  auto* table = new QTableWidget(0, int(columns.size()), parent);
  table->setHorizontalHeaderLabels(columns);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::NoSelection);
  table->setFocusPolicy(Qt::NoFocus);
  table->verticalHeader()->hide();
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table->verticalHeader()->setDefaultSectionSize(kRowHeight);
  table->setFixedHeight(rows * kRowHeight + table->horizontalHeader()->sizeHint().height() +
                        2 * table->frameWidth());
  return table;
}

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "Do-Z";
  return name;
}

}  // namespace

TFormStation::TFormStation(TFormMain& main) : QWidget(&main, Qt::Window), main_(main) {
  setWindowTitle(QStringLiteral("検査 - Do-Z"));
  setFont(AppFont());
  auto* columns = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  left->addWidget(CreateCriteriaGroup());
  left->addWidget(CreateRecordGroup());
  left->addWidget(CreatePartGroup(), 1);
  columns->addLayout(left, 1);
  columns->addWidget(CreateBatchGroup(), 1);
  resize(1120, 720);

  // Direct: the texts are taken as the session reports them; what they
  // start runs once the main window's step is done.
  connect(&main_, &TFormMain::SessionStatus, this,
          [this](TStatusText text) { SessionStatus(text); });
  connect(&main_, &TFormMain::SweepOver, this, [this](TSweepEnding ending) { SweepOver(ending); });
  connect(&judgeWatcher_, &QFutureWatcher<TJudgement>::finished, this, [this] { JudgeFinished(); });
  ShowParts();
  ShowPhase(QString());
}

TFormStation::~TFormStation() { judgeStop_.request_stop(); }

QWidget* TFormStation::CreateCriteriaGroup() {
  auto* group = new QGroupBox(QStringLiteral("検査条件"), this);
  auto* layout = new QVBoxLayout(group);
  auto* row = new QHBoxLayout;
  CriteriaEdit = new QLineEdit(group);
  CriteriaEdit->setPlaceholderText(
      QStringLiteral("検査条件ファイル（.dozcheck）のパス、Enter で読込み"));
  OpenButton = new QPushButton(QStringLiteral("開く(&O)…"), group);
  row->addWidget(Buddy(QStringLiteral("ファイル(&C)"), CriteriaEdit, group));
  row->addWidget(CriteriaEdit, 1);
  row->addWidget(OpenButton);
  layout->addLayout(row);
  CriteriaText = new QPlainTextEdit(group);
  CriteriaText->setTabChangesFocus(true);
  CriteriaText->setFixedHeight(110);
  SaveButton = new QPushButton(QStringLiteral("保存して読込み(&W)"), group);
  CriteriaStatus = new QLabel(group);
  CriteriaStatus->setWordWrap(true);
  layout->addWidget(CriteriaText);
  layout->addWidget(SaveButton, 0, Qt::AlignRight);
  layout->addWidget(CriteriaStatus);
  connect(CriteriaEdit, &QLineEdit::returnPressed, this, [this] { LoadCriteriaClick(); });
  connect(OpenButton, &QPushButton::clicked, this, [this] { OpenCriteriaClick(); });
  connect(SaveButton, &QPushButton::clicked, this, [this] { SaveCriteriaClick(); });
  return group;
}

QWidget* TFormStation::CreateRecordGroup() {
  auto* group = new QGroupBox(QStringLiteral("記録"), this);
  auto* form = new QFormLayout(group);
  FolderEdit = new QLineEdit(group);
  FolderEdit->setPlaceholderText(QStringLiteral("検査条件ファイルのフォルダー"));
  StoreEdit = new QLineEdit(group);
  StoreEdit->setPlaceholderText(QStringLiteral("保存先の results.sqlite、または postgresql://…"));
  StoreEdit->setToolTip(QStringLiteral(
      "サーバーのパスワードは ~/.pgpass（または PGPASSFILE のファイル）に書いてください"));
  StationEdit = new QLineEdit(QString::fromStdString(HostName()), group);
  form->addRow(Buddy(QStringLiteral("保存先フォルダー(&F)"), FolderEdit, group), FolderEdit);
  form->addRow(Buddy(QStringLiteral("記録先(&D)"), StoreEdit, group), StoreEdit);
  form->addRow(Buddy(QStringLiteral("検査台の名前(&N)"), StationEdit, group), StationEdit);
  connect(FolderEdit, &QLineEdit::editingFinished, this, [this] { ApplyStore(); });
  connect(StoreEdit, &QLineEdit::editingFinished, this, [this] { StoreEdited(); });
  return group;
}

QWidget* TFormStation::CreatePartGroup() {
  auto* group = new QGroupBox(QStringLiteral("部品"), this);
  auto* layout = new QVBoxLayout(group);
  auto* row = new QHBoxLayout;
  SerialEdit = new QLineEdit(group);
  SerialEdit->setPlaceholderText(QStringLiteral("シリアル番号を入れて Enter で測定"));
  row->addWidget(Buddy(QStringLiteral("シリアル番号(&S)"), SerialEdit, group));
  row->addWidget(SerialEdit, 1);
  layout->addLayout(row);
  VerdictLabel = new QLabel(group);
  VerdictLabel->setAlignment(Qt::AlignCenter);
  VerdictLabel->setMinimumHeight(120);
  QFont big = VerdictLabel->font();
  big.setPixelSize(72);
  big.setBold(true);
  VerdictLabel->setFont(big);
  ReasonsLabel = new QLabel(group);
  ReasonsLabel->setWordWrap(true);
  ReasonsLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  PartStatus = new QLabel(group);
  PartStatus->setWordWrap(true);
  layout->addWidget(VerdictLabel);
  layout->addWidget(ReasonsLabel, 1);
  layout->addWidget(PartStatus);
  connect(SerialEdit, &QLineEdit::returnPressed, this, [this] { SerialEntered(); });
  return group;
}

QWidget* TFormStation::CreateBatchGroup() {
  auto* group = new QGroupBox(QStringLiteral("ロット"), this);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(new QLabel(QStringLiteral("最近の部品"), group));
  PartsTable = Table({QStringLiteral("時刻"), QStringLiteral("シリアル番号"),
                      QStringLiteral("判定"), QStringLiteral("記録")},
                     kPartsShown, group);
  layout->addWidget(PartsTable);
  CountsLabel = new QLabel(group);
  WaitingLabel = new QLabel(group);
  layout->addWidget(CountsLabel);
  layout->addWidget(WaitingLabel);
  StatsTable = Table({QStringLiteral("値"), QStringLiteral("件数"), QStringLiteral("平均"),
                      QStringLiteral("標準偏差"), QStringLiteral("最小"), QStringLiteral("最大"),
                      QStringLiteral("Cpk")},
                     6, group);
  StatsTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  layout->addWidget(StatsTable);
  auto* row = new QHBoxLayout;
  HistogramBox = new QComboBox(group);
  row->addWidget(Buddy(QStringLiteral("ヒストグラム(&H)"), HistogramBox, group));
  row->addWidget(HistogramBox, 1);
  layout->addLayout(row);
  Histogram = new TStationHistogram(group);
  layout->addWidget(Histogram, 1);
  connect(HistogramBox, &QComboBox::currentIndexChanged, this, [this] { ShowHistogram(); });
  return group;
}

void TFormStation::ShowCriteriaError(const QString& text) {
  criteria_.reset();
  CriteriaStatus->setStyleSheet(QStringLiteral("color: #c00000;"));
  CriteriaStatus->setText(text + QStringLiteral("\n測定できません。"));
}

void TFormStation::LoadCriteriaClick() {
  if (phase_ != TPhase::Idle) return;
  const QString path = CriteriaEdit->text().trimmed();
  if (path.isEmpty())
    return ShowCriteriaError(QStringLiteral("検査条件ファイルを指定してください"));
  QFile file(path);
  if (file.open(QIODevice::ReadOnly))
    CriteriaText->setPlainText(QString::fromUtf8(file.read(kMaxCriteriaBytes)));
  TCriteriaParse parsed = LoadCriteria(path.toStdString());
  if (auto* error = std::get_if<TCriteriaError>(&parsed))
    return ShowCriteriaError(path + QStringLiteral("：") + JapaneseCriteriaError(*error));
  criteria_ = std::get<TCriteria>(std::move(parsed));
  CriteriaStatus->setStyleSheet(QString());
  CriteriaStatus->setText(CriteriaSummary(*criteria_));
  ApplyStore();
  SerialEdit->setFocus();
}

void TFormStation::OpenCriteriaClick() {
  const QStringList files = main_.Prompter().OpenFiles(
      this,
      {QStringLiteral("検査条件ファイルを選んでください"), QStringLiteral("検査条件 (*.dozcheck)"),
       QStringLiteral("*.dozcheck"), QString()},
      false);
  if (files.isEmpty()) return;
  CriteriaEdit->setText(files.first());
  LoadCriteriaClick();
}

// The text as it stands, UTF-8 and whole, then read back as any criteria
// file is: what the station measures by is what the file says.
void TFormStation::SaveCriteriaClick() {
  if (phase_ != TPhase::Idle) return;
  const QString path = CriteriaEdit->text().trimmed();
  if (path.isEmpty())
    return ShowCriteriaError(QStringLiteral("保存する検査条件ファイルのパスを入れてください"));
  platform::TTextWriter writer;
  const bool written =
      writer.Open(path.toStdString()) &&
      (writer.WriteBytes(CriteriaText->toPlainText().toStdString()), writer.Commit());
  if (!written)
    return ShowCriteriaError(path + QStringLiteral("：検査条件ファイルを保存できません"));
  LoadCriteriaClick();
}

std::string TFormStation::BatchFolder() const {
  const QString folder = FolderEdit->text().trimmed();
  if (!folder.isEmpty()) return folder.toStdString();
  if (!criteria_) return {};
  return QFileInfo(QString::fromStdString(criteria_->File)).absolutePath().toStdString();
}

std::string TFormStation::StationName() const {
  const QString name = StationEdit->text().trimmed();
  return name.isEmpty() ? HostName() : name.toStdString();
}

// The field shows the location without its password; what it holds is
// kept here, and a field left as shown keeps it.
void TFormStation::StoreEdited() {
  const std::string text = StoreEdit->text().trimmed().toStdString();
  if (text == results::MaskedLocation(storeLocation_)) return;
  storeLocation_ = text;
  StoreEdit->setText(QString::fromStdString(results::MaskedLocation(storeLocation_)));
  ApplyStore();
}

void TFormStation::ApplyStore() {
  const std::string folder = BatchFolder();
  const std::string location = !storeLocation_.empty() ? storeLocation_
                               : folder.empty()        ? ""
                                                       : folder + "/results.sqlite";
  store_.SetLocation(location);
  if (!criteria_) return;
  store_.Refresh(criteria_->Name, [this](const TStationView& view) { ShowBatch(view); });
}

void TFormStation::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return StopClick();
  QWidget::keyPressEvent(event);
}

}  // namespace doz
