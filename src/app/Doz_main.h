// The main window: owner of every service and of all data, and the hub of
// the application's commands. Its code is split by role: lifecycle
// (Doz_main.cpp), display (Doz_main_display.cpp), graph options and redraw
// (Doz_main_graph.cpp), unit protocol (Doz_main_protocol.cpp), measurement
// session (Doz_main_session.cpp), file and reference commands
// (Doz_main_files.cpp), the dialog commands (Doz_main_dialogs.cpp), the
// analysis window's menu (Doz_main_analysis.cpp), lead compensation
// (Doz_main_compensation.cpp) and the station window's menu
// (Doz_main_station.cpp).
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "Clock.h"
#include "Curve_stats.h"
#include "Doz_setting.h"
#include "Graph_labels.h"
#include "Lead_compensation.h"
#include "Measure_session.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QTimer;

namespace doz {

class TDoZ_File;
class TFormAnalysis;
class TFormPrinterSetup;
class TFormPrnInfo;
class TFormSetColor;
class TFormSetting;
class TFormStation;
class TFormVersion;
class TGraph_RTF;
class TIdlePump;
class TPaintBox;
class TPrompter;
class TQo_Message;
class TQo_Status;
class TSerialPort;
class TStatusBar;

// What the window needs from its surroundings; tests supply their own.
struct TMainOptions {
  std::string appDir;             // holds "DoZ_ini.prf" and ports/; empty: ApplicationDir()
  TPrompter* prompter = nullptr;  // null: the window's own Qt dialogs
  // Called before each service is created with its component name; throwing
  // std::bad_alloc makes that creation fail.
  std::function<void(const char* component)> beforeCreate;
  std::function<QSize()> screenSize;  // null: the primary screen's size
  const platform::TClockSource* clock = nullptr;  // null: the machine's clocks
};

// What the measurement session reports reaches the window privately: it is
// the window's own business how a text is shown or a point drawn.
class TFormMain : public QMainWindow, private TSessionReport {
  Q_OBJECT

 public:
  static constexpr const char* kCaption = "Do-Z v1.1";
  static constexpr const char* kSettingsFile = "DoZ_ini.prf";
  static constexpr int kLabelCount = LABEL_COUNT;

  explicit TFormMain(TMainOptions options);
  ~TFormMain() override;

  // The dialogs, created after the main window and reused.
  void CreateForms();
  bool ServicesCreated() const { return servicesCreated_; }
  const std::string& AppDir() const { return appDir_; }
  std::string SettingsPath() const;

  // Lifecycle.
  bool mCreateServices();
  void mOnIdle();
  void mLoadSettings(const std::string& fileName);
  void mSaveSettings();
  void QuitBtnClick();
  void MenuFile_QuitClick();

  // Display.
  void FormResize();
  void mLayoutStatusBar();
  void mDisableControls();
  void mEnableControls();
  void mSetLabelColors();
  int ClientHeight() const;
  // The window's width without its frame: the size limits and the stored
  // width are frame-less too, so the narrowest window has a 500-pixel graph.
  int WindowWidth() const;

  // Graph options, redraw and read-out.
  void mSelectCurveSets();
  // Statistics of the shown sets of the references present.
  TCurveStats ReferenceStats() const;
  void mShowMeasured();
  void mShowReferences();
  void mShowAll();
  void RedrawCurrent();
  bool AnyReferenceLoaded() const;
  void MenuGraph_R_onlyClick();
  void MenuGraph_WideClick();
  void MenuGraph_AveClick();
  void MenuGraph_LogClick();
  void Menu_Set_aveMClick();
  void ComboBox2Change();
  void PaintBox1MouseDown(int x, int y);
  // What a click on measured point `slot` shows: its read-out in the status
  // bar and its values in the analysis window. Nothing without a
  // measurement or for a slot without a value.
  void mPickPoint(int slot);
  QString mFormatFrequency(const char* record) const;
  QString mFormatResistance(const char* record) const;
  QString mFormatPhase(const char* record) const;

  // Unit protocol.
  bool mOpenCOM(int comPort);
  void mCloseCOM();
  bool mSendCmdFixed(const char* command, std::string& reply, unsigned timeoutMs, int length);
  bool mSendCmdShort(const char* command, std::string& reply, unsigned timeoutMs);
  bool mSendCmdExpect(const char* command, const char* expected, unsigned timeoutMs);
  bool mCheckUnit();
  bool mGetUnitInfo();
  void mReleaseCOM();

  // Measurement session: the steps are the session's; these are their
  // names in the window.
  void MStartBtnClick();
  void MenuMeasure_StartClick();
  void mStartMeasure();
  bool mBeginMeasure();
  void mReceiveData();
  void mFinishMeasure();
  void mStopMeasure();
  void Timer1Timer();
  void mStartWatchdog(int ms);
  void mStopWatchdog();

  // File and reference commands.
  void MenuFile_OpenClick();
  void MenuFile_SaveClick();
  void MenuFile_CloseClick();
  void MenuFile_ExportClick();
  void MenuRef_OpenClick();
  void MenuRef_CloseClick();
  // The overwrite question of the save commands, over `parent` (null: this
  // window); true when the file may be written.
  bool AskOverwrite(const std::string& path, QWidget* parent = nullptr);
  // The name a save dialog proposes: the current file's name with this
  // extension, or "*" and the extension.
  std::string DefaultName(const char* extension) const;

  // Lead compensation: open and short sweeps kept as open.DTA and short.DTA
  // in the program's folder, and the view of every set corrected by them.
  void MenuAnalysis_OpenSweepClick();
  void MenuAnalysis_ShortSweepClick();
  void MenuAnalysis_CompensateClick();
  void MenuAnalysis_ClearCompensationClick();
  std::string CompensationPath(bool open) const;
  // 補正を使う is on and there is compensation to use.
  bool Compensating() const;
  // The corrected copies of the sets made anew (every redraw begins so).
  void mCompensateSets();
  analysis::TLeadCompensation Leads;
  QLabel* CompensationNote = nullptr;  // 補正あり, at the status bar's right end

  // Analysis window.
  void MenuAnalysis_WindowClick();
  // The analysis window, created hidden on first use.
  TFormAnalysis& mAnalysisWindow();

  // Station window.
  void MenuStation_ModeClick();
  // The station window, created hidden on first use.
  TFormStation& mStationWindow();
  // The station has written the measurement to this file: it is the
  // current file, and saved.
  void mMeasurementSaved(const std::string& path);

  // Dialog commands.
  void MenuFile_PrintSetupClick();
  void MenuFile_PrintClick();
  void MenuSet_COMClick();
  void MenuSet_ColorClick();
  void MenuHelp_VersionClick();
  QPrinter& ThePrinter();

  // Data (owned for the window's whole life).
  TRawData MeasData;
  TCalcData MeasCalc;
  TCalcData MeasAve;
  std::array<TRawData, REF_MAX> RefData;
  std::array<TCalcData, REF_MAX> RefCalc;
  std::array<TCalcData, REF_MAX> RefAve;
  std::array<std::string, REF_MAX> RefFileName;
  std::int32_t RefCount = 0;
  std::uint8_t DataSaved = 0;
  std::string FileName;
  std::string UnitSerial;
  std::string UnitVersion;
  TGraphRange GraphRange;
  TSettingData SettingRec;
  TWindowPos WindowPos;
  TLabelTable LabelSlots{};

  // The values everything shown or written is made of: the decoded sets, or
  // while lead compensation is in use their corrected copies (the records
  // themselves never change).
  const TCalcData& ShownCalc() const;
  const TCalcData& ShownAve() const;
  const TCalcData& ShownRefCalc(int slot) const;
  const TCalcData& ShownRefAve(int slot) const;

  // Flags; those of a sweep (fReceiving, fNoData, fFinishPending) and of the
  // protocol (fComOpen, fSession) are the session's.
  std::uint8_t fFirstIdle = 1;
  std::uint8_t fRelayoutPending = 0;
  std::uint8_t fApplyingGeometry = 0;

  // The measurement: the protocol, the receive buffer and the watchdog.
  TMeasureSession Session;

  // Services, created by mCreateServices and deleted in the same order.
  std::unique_ptr<TQo_Message> QoMessage;
  std::unique_ptr<TQo_Status> QoStatus;
  std::unique_ptr<TDoZ_File> DozFile;
  std::unique_ptr<TGraph_RTF> Graph;
  std::unique_ptr<TSerialPort> SerialPort;

  // Controls.
  QWidget* Client = nullptr;
  TPaintBox* PaintBox1 = nullptr;
  QPushButton* MStartBtn = nullptr;
  QPushButton* QuitBtn = nullptr;
  QComboBox* ComboBox2 = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  QTimer* SweepPulse = nullptr;  // keeps idle passes coming while a sweep runs

  QMenu* MenuFile = nullptr;
  QMenu* MenuMeasure = nullptr;
  QMenu* MenuGraph = nullptr;
  QMenu* MenuRef = nullptr;
  QMenu* MenuAnalysis = nullptr;
  QMenu* MenuStation = nullptr;
  QMenu* MenuSet = nullptr;
  QMenu* MenuHelp = nullptr;
  QAction* MenuFile_Open = nullptr;
  QAction* MenuFile_Save = nullptr;
  QAction* MenuFile_Close = nullptr;
  QAction* MenuFile_Export = nullptr;
  QAction* MenuFile_PrintSetup = nullptr;
  QAction* MenuFile_Print = nullptr;
  QAction* MenuFile_Quit = nullptr;
  QAction* MenuMeasure_Start = nullptr;
  QAction* MenuGraph_R_only = nullptr;
  QAction* MenuGraph_Wide = nullptr;
  QAction* MenuGraph_Ave = nullptr;
  QAction* MenuGraph_Log = nullptr;
  QAction* MenuRef_Open = nullptr;
  QAction* MenuRef_Close = nullptr;
  QAction* MenuAnalysis_Window = nullptr;
  QAction* MenuAnalysis_OpenSweep = nullptr;
  QAction* MenuAnalysis_ShortSweep = nullptr;
  QAction* MenuAnalysis_Compensate = nullptr;
  QAction* MenuAnalysis_ClearCompensation = nullptr;
  QAction* MenuStation_Mode = nullptr;
  QAction* MenuSet_COM = nullptr;
  QAction* MenuSet_Color = nullptr;
  QAction* Menu_Set_aveM = nullptr;
  QAction* MenuHelp_Version = nullptr;

  // The printer the print commands use; its set-up persists between prints.
  std::unique_ptr<QPrinter> Printer;

  // Forms.
  std::unique_ptr<TFormSetting> FormSetting;
  std::unique_ptr<TFormPrnInfo> FormPrnInfo;
  std::unique_ptr<TFormPrinterSetup> FormPrinterSetup;
  std::unique_ptr<TFormSetColor> FormSetColor;
  std::unique_ptr<TFormVersion> FormVersion;
  // A child window, deleted with this one.
  QPointer<TFormAnalysis> FormAnalysis;
  QPointer<TFormStation> FormStation;

  TPrompter& Prompter() { return *prompter_; }

 signals:
  // What an analysis of the measurement reads may have changed: the
  // measurement itself (a sweep begun, ended or finished, a file opened or
  // closed), its band, the smoothing or the references. The redraw
  // procedures emit it, and every change that draws none of them.
  void AnalysedDataChanged();
  // Each status text of a sweep's session, as the session reports it.
  void SessionStatus(doz::TStatusText text);
  // A sweep is over, and how (its finish, when any, follows at a later step).
  void SweepOver(doz::TSweepEnding ending);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Lifecycle helpers.
  void FormCreate();
  void InitData();
  void FormDestroy();
  bool FormCloseQuery();
  bool CreateService(const char* component, const std::function<void()>& create);
  void ApplyWindowPos();
  void TakeInterfaceState();
  QSize ScreenSize() const;
  bool HasUnsavedMeasurement() const;
  bool HasPointsAtStake() const;

  // Display helpers.
  void CreateControls();
  void CreateMenus();
  void mInitLabels();
  void mBuildLabelTable();
  void ShowCaption(const std::string& path);

  // Graph helpers.
  void ToggleGraphOption(QAction* item, std::uint8_t& flag);

  // Session helpers and what the session reports.
  TSweepRequest SweepRequest() const;
  void Status(TStatusText text) override;
  void Message(TMessageText text) override;
  void MeasurementReset() override;
  void PointAccepted(int slot, int n, bool widened) override;
  void SweepEnded(TSweepEnding ending) override;
  void MeasurementFinished() override;

  // Compensation helpers.
  enum class TCompensationSweep { None, Open, Short };
  void StartCompensationSweep(TCompensationSweep kind);
  void KeepCompensationSweep();
  // Reads open.DTA and short.DTA that exist; false with the file and why.
  bool LoadCompensation(QString& problem);
  void CorrectPoint(int slot, int n, bool& widened);
  void ShowCompensationNote(int lost, bool uncovered);
  void PlaceCompensationNote();
  QString ReadoutOf(int slot) const;

  // File helpers.
  bool ReadIntoMeasurement(const std::string& path);
  void EmptyReferenceSlot(int slot);
  bool LoadReference(int slot, const std::string& path);

  std::string appDir_;
  std::unique_ptr<TPrompter> ownPrompter_;
  TPrompter* prompter_ = nullptr;
  std::function<void(const char*)> beforeCreate_;
  std::function<QSize()> screenSize_;
  std::unique_ptr<TIdlePump> idlePump_;
  bool servicesCreated_ = false;
  bool quitConfirmed_ = false;
  TCompensationSweep compensationSweep_ = TCompensationSweep::None;
  TSweepEnding lastEnding_ = TSweepEnding::Complete;
  // The corrected copies, and whether each stands for its set now.
  TCalcData measShownCalc_;
  TCalcData measShownAve_;
  std::array<TCalcData, REF_MAX> refShownCalc_;
  std::array<TCalcData, REF_MAX> refShownAve_;
  bool measCorrected_ = false;
  std::array<bool, REF_MAX> refCorrected_{};
};

}  // namespace doz
