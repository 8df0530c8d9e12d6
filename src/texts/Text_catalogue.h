// The one catalogue of the program's fixed texts: its message boxes and its
// status bar's texts, in UTF-8, with no widget behind them. The window shows
// them through its message and status services, doz-cli prints them, and the
// measurement session names them by identifier.
#pragma once

#include <string>

namespace doz {

// Status texts; each has its panel (0 the unit, 1 the operation's state, 2
// the read-out).
enum class TStatusText {
  EmptyState,        // panel 1 cleared
  EmptyReadout,      // panel 2 cleared
  UnitInfo,          // model "/ SN=" serial "/ " version: UnitInfoText
  UnitNotFound,      // name " が見つかりませんでした"
  ModelNotFound,
  PortOpenError,
  ReceiveError,
  CommandSendError,
  ResponseError,     // name " 応答エラーです"
  NotCalibrated,     // name " 未校正です"
  Measuring,
  Receiving,
  Calculating,
  MeasureFinished,
  CalcError,
  MeasureStopped,
  StartError,
  SaveError,
  ExportDone,
};

int StatusPanel(TStatusText text);
// The fixed text; `name` is the short name the unit's texts begin with. The
// unit's identity line needs UnitInfoText.
std::string StatusText(TStatusText text, const std::string& name);
std::string UnitInfoText(const std::string& model, const std::string& serial,
                         const std::string& version);

enum class TMessageText {
  FatalMemoryError,  // followed by the component's name
  SettingsSaveError,
  DataFileError,
  ComPortOpenError,
  UnitNotFoundError,  // after the short name
  DataCalcError,
  NoDataError,
  VersionMismatchError,
  ReferenceLimitError,
  PrintError,
  ConfirmDiscardAndStart,
  ConfirmDiscardData,
  ConfirmQuit,
  ConfirmDiscard,
};

enum class TMessageKind {
  Error,     // stop icon, OK
  Warning,   // exclamation icon, OK
  Question,  // exclamation icon, Yes and No
};

TMessageKind MessageKind(TMessageText text);
std::string MessageText(TMessageText text, const std::string& name,
                        const std::string& component = {});

}  // namespace doz
