// Main window lifecycle: initialisation, the five services, the idle pass,
// the settings file and closing.
#include "Doz_main.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPrinter>
#include <QScreen>
#include <QTimer>
#include <new>

#include "App_dir.h"
#include "Doz_file.h"
#include "Doz_printinfo.h"
#include "Printer_setup.h"
#include "Graph_rtf.h"
#include "Idle_pump.h"
#include "Prompter.h"
#include "Qo_message.h"
#include "Qo_status.h"
#include "Qt_prompter.h"
#include "Serialport.h"
#include "Setcolor.h"
#include "Setting.h"
#include "Status_bar.h"
#include "Version.h"

namespace doz {

TFormMain::TFormMain(TMainOptions options)
    : Session(TSessionData{MeasData, MeasCalc, MeasAve, GraphRange, UnitSerial, UnitVersion,
                           DataSaved},
              *this, options.clock ? *options.clock : platform::SystemClock()),
      appDir_(options.appDir.empty() ? platform::ApplicationDir() : options.appDir),
      prompter_(options.prompter),
      beforeCreate_(std::move(options.beforeCreate)),
      screenSize_(std::move(options.screenSize)) {
  if (!prompter_) {
    ownPrompter_ = std::make_unique<TQtPrompter>();
    prompter_ = ownPrompter_.get();
  }
  setWindowTitle("Do-Z");
  CreateControls();
  CreateMenus();
  mInitLabels();
  FormCreate();
}

TFormMain::~TFormMain() { FormDestroy(); }

void TFormMain::CreateForms() {
  FormSetting = std::make_unique<TFormSetting>(*prompter_);
  FormPrnInfo = std::make_unique<TFormPrnInfo>();
  FormPrinterSetup = std::make_unique<TFormPrinterSetup>();
  FormSetColor = std::make_unique<TFormSetColor>(*prompter_);
  FormVersion = std::make_unique<TFormVersion>();
}

std::string TFormMain::SettingsPath() const { return appDir_ + "/" + kSettingsFile; }

void TFormMain::FormCreate() {
  idlePump_ = std::make_unique<TIdlePump>([this] { mOnIdle(); });
  fFirstIdle = 1;
  DataSaved = fRelayoutPending = fApplyingGeometry = 0;
  MenuGraph_R_only->setChecked(false);
  MenuGraph_Wide->setChecked(false);
  MenuGraph_Ave->setChecked(true);
  MenuGraph_Log->setChecked(false);
  Menu_Set_aveM->setChecked(false);
  SetDefaultSetting(SettingRec);
  mSetLabelColors();
  InitData();
  mBuildLabelTable();
  // Without its services the window is never shown; the entry ends the program.
  if (!mCreateServices()) return;
  setWindowTitle(kCaption);
}

void TFormMain::InitData() {
  MeasData.Present = 0;
  ClearRawData(MeasData);
  MeasData.Band = 1;
  MeasData.DateTime.clear();
  ComboBox2->setCurrentIndex(0);
  InitGraphRange(GraphRange, 1);
  mSelectCurveSets();
  for (TRawData& ref : RefData) {
    ref.Present = 0;
    ClearRawData(ref);
    ref.Band = 1;
    ref.DateTime.clear();
  }
  for (int k = 0; k < REF_MAX; ++k) ClearCalcData(RefCalc[k]), ClearCalcData(RefAve[k]);
  ClearCalcData(MeasCalc);
  ClearCalcData(MeasAve);
  RefCount = 0;
}

bool TFormMain::CreateService(const char* component, const std::function<void()>& create) {
  try {
    if (beforeCreate_) beforeCreate_(component);
    create();
    return true;
  } catch (const std::exception&) {
    if (QoMessage) {
      QoMessage->FatalMemoryError(component);
    } else {
      prompter_->MessageBox(QStringLiteral("致命的なメモリエラーです:TQo_Message"), kCaption,
                            TBoxStyle::Error);
    }
    return false;
  }
}

bool TFormMain::mCreateServices() {
  servicesCreated_ =
      CreateService("TQo_Message",
                    [&] { QoMessage = std::make_unique<TQo_Message>("Do-Z", kCaption, *prompter_); }) &&
      CreateService("QoStatus",
                    [&] { QoStatus = std::make_unique<TQo_Status>(*StatusBar1, "Do-Z", 2); }) &&
      CreateService("QoSP_File", [&] { DozFile = std::make_unique<TDoZ_File>(); }) &&
      CreateService("Graph_RTF",
                    [&] {
                      Graph = std::make_unique<TGraph_RTF>(*Client, *PaintBox1, SettingRec,
                                                           LabelSlots, GraphRange);
                    }) &&
      CreateService("TSerialPort", [&] {
        SerialPort = std::make_unique<TSerialPort>();
        SerialPort->SetPortsDirectory(appDir_);
        Session.SetLine(SerialPort.get());
      });
  return servicesCreated_;
}

void TFormMain::FormDestroy() {
  QoMessage.reset();
  QoStatus.reset();
  DozFile.reset();
  Graph.reset();
  Session.SetLine(nullptr);
  SerialPort.reset();
}

void TFormMain::mOnIdle() {
  if (fFirstIdle) {
    fFirstIdle = 0;
    mLoadSettings(kSettingsFile);
    mSetLabelColors();
    if (Graph) {
      Graph->Clear();
      Graph->DrawScales();
    }
    // The first show places the frame, and only then does the window report
    // its position with it: the geometry is read back once it stands.
    fApplyingGeometry = 1;
    show();
    fApplyingGeometry = 0;
    WindowPos = {y(), x(), width(), height()};
  }
  if (Session.fReceiving()) mReceiveData();
  if (Session.fFinishPending()) mFinishMeasure();
  if (fRelayoutPending) {
    fRelayoutPending = 0;
    mLayoutStatusBar();
  }
}

QSize TFormMain::ScreenSize() const {
  if (screenSize_) return screenSize_();
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->size() : QSize(1920, 1080);
}

void TFormMain::mLoadSettings(const std::string& fileName) {
  if (!DozFile) return;
  if (DozFile->LoadSetting(appDir_ + "/" + fileName, &SettingRec, WindowPos)) {
    ApplyWindowPos();
    GraphRange.Band = SettingRec.band;
    GraphRange.StartFreq = BandStartFreq(SettingRec.band);
    GraphRange.StopFreq = BandStopFreq(SettingRec.band);
    ComboBox2->setCurrentIndex(SettingRec.band - 1);
    MenuGraph_R_only->setChecked(SettingRec.fronly);
    MenuGraph_Wide->setChecked(SettingRec.fwide);
    MenuGraph_Ave->setChecked(SettingRec.fave3);
    MenuGraph_Log->setChecked(SettingRec.flog);
    Menu_Set_aveM->setChecked(SettingRec.faveM);
    return;
  }
  SetDefaultSetting(SettingRec);
  TakeInterfaceState();
  if (!DozFile->SaveSetting(appDir_ + "/" + fileName, &SettingRec, WindowPos))
    QoMessage->SettingsSaveError();
}

void TFormMain::ApplyWindowPos() {
  fApplyingGeometry = 1;
  const QSize screen = ScreenSize();
  int width = WindowPos.width;
  int height = WindowPos.height;
  if (screen.width() < width) width = screen.width() - 100;
  if (screen.height() < height) height = screen.height() - 100;
  resize(width, height);
  int top = WindowPos.top;
  int left = WindowPos.left;
  if (top > screen.height()) top = screen.height() - this->height();
  if (left > screen.width()) left = screen.width() - this->width();
  move(left, top);
  WindowPos = {y(), x(), this->width(), this->height()};
  fApplyingGeometry = 0;
}

// The band, the five flags and the geometry as the interface shows them now.
void TFormMain::TakeInterfaceState() {
  WindowPos = {y(), x(), width(), height()};
  SettingRec.band = ComboBox2->currentIndex() + 1;
  SettingRec.fronly = MenuGraph_R_only->isChecked();
  SettingRec.fwide = MenuGraph_Wide->isChecked();
  SettingRec.fave3 = MenuGraph_Ave->isChecked();
  SettingRec.flog = MenuGraph_Log->isChecked();
  SettingRec.faveM = Menu_Set_aveM->isChecked();
}

void TFormMain::mSaveSettings() {
  TakeInterfaceState();
  if (!DozFile || !DozFile->SaveSetting(SettingsPath(), &SettingRec, WindowPos)) {
    if (QoMessage) QoMessage->SettingsSaveError();
  }
}

bool TFormMain::HasUnsavedMeasurement() const { return MeasData.Present == 1 && DataSaved == 0; }

// A sweep that has received points holds a measurement the user has not kept.
bool TFormMain::HasPointsAtStake() const {
  return HasUnsavedMeasurement() || (Session.fReceiving() && Session.Sweep().PointCount > 0);
}

void TFormMain::QuitBtnClick() {
  if (HasUnsavedMeasurement() && !QoMessage->ConfirmQuit()) return;
  quitConfirmed_ = true;
  if (Session.Protocol().fSession()) mStopMeasure();
  if (!close()) quitConfirmed_ = false;
}

void TFormMain::MenuFile_QuitClick() { QuitBtnClick(); }

// The close box asks about an unsaved measurement, or a sweep's points, as
// the quit command does; closing without the question would lose them. The
// sweep goes on while the question is open.
bool TFormMain::FormCloseQuery() {
  if (!quitConfirmed_ && servicesCreated_ && HasPointsAtStake() && !QoMessage->ConfirmQuit())
    return false;
  if (Session.Protocol().fSession()) mStopMeasure();
  if (servicesCreated_) mSaveSettings();
  return true;
}

void TFormMain::closeEvent(QCloseEvent* event) {
  if (FormCloseQuery()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace doz
