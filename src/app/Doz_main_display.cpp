// Main window display: controls, menu tree, axis labels, status bar and the
// layout that follows the window's size.
#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "App_font.h"
#include "App_icon.h"
#include "Band_list_style.h"
#include "Color_ref.h"
#include "Doz_main.h"
#include "Graph_rtf.h"
#include "Paint_box.h"
#include "Status_bar.h"

namespace doz {
namespace {

constexpr int kStatusPanels = 3;
constexpr int kStatusPanelWidth = 50;
constexpr int kStatusBarHeight = 20;
constexpr int kBorderWidth = 0;

// Label names in the order of the renderer's label table: resistance ticks and
// unit, phase ticks and unit, frequency ticks and unit.
const char* const kLabelNames[TFormMain::kLabelCount] = {
    "Label0",  "Label1",  "Label2",  "Label3",  "Label4",  "Label5",  "Label6",
    "Label7",  "Label8",  "Label9",  "Label00", "Label01", "Label20", "Label21",
    "Label22", "Label23", "Label24", "Label25", "Label26", "Label27", "Label28",
    "Label29", "Label30", "Label31", "Label10", "Label11", "Label12", "Label13",
    "Label14", "Label15", "Label16", "Label17", "Label18", "Label19", "Label199"};

void SetLabelColor(QLabel* label, const QColor& color) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
}

}  // namespace

void TFormMain::CreateControls() {
  setFont(AppFont());
  setWindowIcon(AppIcon());
  move(241, 171);
  resize(640, 486);
  setMinimumSize(640, 480);
  setMaximumSize(1280, 1024);

  Client = new QWidget(this);
  setCentralWidget(Client);
  Client->installEventFilter(this);

  PaintBox1 = new TPaintBox(Client);
  PaintBox1->setGeometry(kFormGraphFrame.Lp, kFormGraphFrame.Tp, kFormGraphFrame.Wp,
                         kFormGraphFrame.Hp);
  PaintBox1->OnMouseDown = [this](int x, int y) { PaintBox1MouseDown(x, y); };

  MStartBtn = new QPushButton(QStringLiteral("測定開始"), Client);
  MStartBtn->setGeometry(64, 372, 75, 24);
  connect(MStartBtn, &QPushButton::clicked, this, [this] { MStartBtnClick(); });

  QuitBtn = new QPushButton(QStringLiteral("終了"), Client);
  QuitBtn->setGeometry(520, 372, 75, 25);
  connect(QuitBtn, &QPushButton::clicked, this, [this] { QuitBtnClick(); });

  ComboBox2 = new QComboBox(Client);
  ComboBox2->setGeometry(152, 374, 105, 20);
  ComboBox2->setFocusPolicy(Qt::ClickFocus);
  auto* bandStyle = new TBandListStyle;
  bandStyle->setParent(ComboBox2);
  ComboBox2->setStyle(bandStyle);
  for (int band = 1; band <= BAND_COUNT; ++band) ComboBox2->addItem(QString::fromUtf8(BandLabel(band)));
  // The open list is as wide as its longest label, not only as the box.
  ComboBox2->view()->setMinimumWidth(ComboBox2->view()->sizeHintForColumn(0) + 8);
  // Only the user's choice runs the handler, not a change made by the program.
  connect(ComboBox2, &QComboBox::activated, this, [this] { ComboBox2Change(); });

  StatusBar1 = new TStatusBar(kStatusPanels, kStatusPanelWidth, Client);
  StatusBar1->setGeometry(0, 432 - kStatusBarHeight, 640, kStatusBarHeight);
  // Beside the panels, not one of them: the note of lead compensation.
  CompensationNote = new QLabel(StatusBar1);
  CompensationNote->hide();

  SweepPulse = new QTimer(this);
  SweepPulse->setInterval(100);

  for (int i = 0; i < kLabelCount; ++i) {
    auto* label = new QLabel(Client);
    label->setObjectName(kLabelNames[i]);
    label->setFixedHeight(12);
  }
}

namespace {

QAction* AddItem(QMenu* menu, const char* caption, const std::function<void()>& handler) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  QObject::connect(action, &QAction::triggered, menu, [handler] { handler(); });
  return action;
}

// A check item whose handler inverts the mark itself: the mark the menu has
// already flipped is put back first, so a click inverts it exactly once.
QAction* AddCheckItem(QMenu* menu, const char* caption, const std::function<void()>& handler) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setCheckable(true);
  QObject::connect(action, &QAction::triggered, menu, [action, handler](bool checked) {
    action->setChecked(!checked);
    handler();
  });
  return action;
}

}  // namespace

void TFormMain::CreateMenus() {
  QMenuBar* bar = menuBar();
  MenuFile = bar->addMenu(QStringLiteral("ファイル(&F)"));
  MenuFile_Open = AddItem(MenuFile, "開く(&O)", [this] { MenuFile_OpenClick(); });
  MenuFile_Save = AddItem(MenuFile, "保存する(&S)", [this] { MenuFile_SaveClick(); });
  MenuFile->addSeparator();
  MenuFile_Close = AddItem(MenuFile, "閉じる", [this] { MenuFile_CloseClick(); });
  MenuFile->addSeparator();
  MenuFile_Export = AddItem(MenuFile, "データをテキスト出力(&T)", [this] { MenuFile_ExportClick(); });
  MenuFile->addSeparator();
  MenuFile_PrintSetup = AddItem(MenuFile, "印刷設定", [this] { MenuFile_PrintSetupClick(); });
  MenuFile_Print = AddItem(MenuFile, "グラフ印刷(&P)", [this] { MenuFile_PrintClick(); });
  MenuFile->addSeparator();
  MenuFile_Quit = AddItem(MenuFile, "終了(&X)", [this] { MenuFile_QuitClick(); });

  MenuMeasure = bar->addMenu(QStringLiteral("測定(&M)"));
  MenuMeasure_Start = AddItem(MenuMeasure, "開始(&S)", [this] { MenuMeasure_StartClick(); });

  MenuGraph = bar->addMenu(QStringLiteral("グラフ(&G)"));
  MenuGraph_R_only = AddCheckItem(MenuGraph, "抵抗値のみ表示", [this] { MenuGraph_R_onlyClick(); });
  MenuGraph_Wide = AddCheckItem(MenuGraph, "測定値は太線で描画", [this] { MenuGraph_WideClick(); });
  MenuGraph_Ave = AddCheckItem(MenuGraph, "平均処理", [this] { MenuGraph_AveClick(); });
  MenuGraph->addSeparator();
  MenuGraph_Log = AddCheckItem(MenuGraph, "対数グラフを使う", [this] { MenuGraph_LogClick(); });

  MenuRef = bar->addMenu(QStringLiteral("参照データ(&R)"));
  MenuRef_Open = AddItem(MenuRef, "読込み", [this] { MenuRef_OpenClick(); });
  MenuRef->addSeparator();
  MenuRef_Close = AddItem(MenuRef, "クリア", [this] { MenuRef_CloseClick(); });

  MenuAnalysis = bar->addMenu(QStringLiteral("解析(&A)"));
  MenuAnalysis_Window =
      AddItem(MenuAnalysis, "解析ウィンドウ(&W)", [this] { MenuAnalysis_WindowClick(); });
  MenuAnalysis->addSeparator();
  MenuAnalysis_OpenSweep =
      AddItem(MenuAnalysis, "オープン補正を測定", [this] { MenuAnalysis_OpenSweepClick(); });
  MenuAnalysis_ShortSweep =
      AddItem(MenuAnalysis, "ショート補正を測定", [this] { MenuAnalysis_ShortSweepClick(); });
  MenuAnalysis_Compensate =
      AddCheckItem(MenuAnalysis, "補正を使う", [this] { MenuAnalysis_CompensateClick(); });
  MenuAnalysis_ClearCompensation =
      AddItem(MenuAnalysis, "補正を解除", [this] { MenuAnalysis_ClearCompensationClick(); });

  MenuStation = bar->addMenu(QStringLiteral("検査(&T)"));
  MenuStation_Mode = AddItem(MenuStation, "検査モード…", [this] { MenuStation_ModeClick(); });

  MenuSet = bar->addMenu(QStringLiteral("設定"));
  MenuSet_COM = AddItem(MenuSet, "COMポート", [this] { MenuSet_COMClick(); });
  MenuSet_Color = AddItem(MenuSet, "グラフの線色", [this] { MenuSet_ColorClick(); });
  MenuSet->addSeparator();
  Menu_Set_aveM = AddCheckItem(MenuSet, "測定時平均処理", [this] { Menu_Set_aveMClick(); });

  MenuHelp = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
  MenuHelp_Version = AddItem(MenuHelp, "バージョン(&V)", [this] { MenuHelp_VersionClick(); });
}

void TFormMain::mInitLabels() {
  for (const char* name : kLabelNames) Client->findChild<QLabel*>(name)->hide();
}

void TFormMain::mBuildLabelTable() {
  for (int i = 0; i < kLabelCount; ++i) LabelSlots[i] = Client->findChild<QLabel*>(kLabelNames[i]);
}

void TFormMain::mSetLabelColors() {
  const QColor text = palette().color(QPalette::WindowText);
  // By name: the colours are set at creation, before the label table exists.
  for (int i = 0; i < kLabelCount; ++i) {
    QLabel* label = Client->findChild<QLabel*>(kLabelNames[i]);
    if (i < PHASE_SLOT) {
      SetLabelColor(label, ColorFromRef(SettingRec.PenColor_R));
    } else if (i < FREQ_SLOT) {
      SetLabelColor(label, ColorFromRef(SettingRec.PenColor_Theta));
    } else {
      SetLabelColor(label, text);
    }
  }
}

int TFormMain::ClientHeight() const { return Client->height(); }

// The width the window keeps in its settings and its size limits apply to;
// the frame the platform may draw around it is not counted.
int TFormMain::WindowWidth() const { return width(); }

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Client && event->type() == QEvent::Resize) FormResize();
  return QMainWindow::eventFilter(watched, event);
}

void TFormMain::FormResize() {
  if (!Graph) return;
  const int clientHeight = ClientHeight();
  PaintBox1->setGeometry(64, 24, WindowWidth() - 140, clientHeight - 120);
  MStartBtn->move(64, clientHeight - 60);
  QuitBtn->move(PaintBox1->x() + PaintBox1->width() - QuitBtn->width(), MStartBtn->y());
  ComboBox2->move(MStartBtn->x() + MStartBtn->width() + 20, MStartBtn->y() + 2);
  Graph->Resize();
  Graph->DrawScales();
  if (MeasData.Present) {
    AnyReferenceLoaded() ? mShowAll() : mShowMeasured();
  } else if (Session.fReceiving() && Session.Sweep().PointCount > 1) {
    Graph->Clear();
    Graph->DrawMeasurementUpTo(Session.Sweep().PointCount - 1);
  } else if (AnyReferenceLoaded()) {
    mShowReferences();
  } else {
    Graph->Clear();
  }
  fRelayoutPending = 1;
  if (!fApplyingGeometry) WindowPos = {y(), x(), width(), height()};
}

void TFormMain::mLayoutStatusBar() {
  StatusBar1->setGeometry(0, ClientHeight() - kBorderWidth - kStatusBarHeight, Client->width(),
                          kStatusBarHeight);
  PlaceCompensationNote();
}

void TFormMain::mDisableControls() {
  for (QMenu* menu :
       {MenuFile, MenuMeasure, MenuGraph, MenuRef, MenuAnalysis, MenuStation, MenuSet, MenuHelp})
    menu->menuAction()->setEnabled(false);
  QuitBtn->setEnabled(false);
  ComboBox2->setEnabled(false);
}

void TFormMain::mEnableControls() {
  for (QMenu* menu :
       {MenuFile, MenuMeasure, MenuGraph, MenuRef, MenuAnalysis, MenuStation, MenuSet, MenuHelp})
    menu->menuAction()->setEnabled(true);
  QuitBtn->setEnabled(true);
  ComboBox2->setEnabled(true);
  MStartBtn->setEnabled(true);
}

void TFormMain::ShowCaption(const std::string& path) {
  if (path.empty()) {
    setWindowTitle(kCaption);
  } else {
    setWindowTitle(QString(kCaption) + " / " + QString::fromStdString(path));
  }
}

}  // namespace doz
