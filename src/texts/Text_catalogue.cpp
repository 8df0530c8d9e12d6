#include "Text_catalogue.h"

namespace doz {
namespace {

constexpr int kUnitPanel = 0;
constexpr int kStatePanel = 1;
constexpr int kReadoutPanel = 2;

}  // namespace

int StatusPanel(TStatusText text) {
  switch (text) {
    case TStatusText::UnitInfo:
    case TStatusText::UnitNotFound:
    case TStatusText::ModelNotFound:
    case TStatusText::PortOpenError:
    case TStatusText::ReceiveError:
      return kUnitPanel;
    case TStatusText::EmptyReadout:
      return kReadoutPanel;
    default:
      return kStatePanel;
  }
}

std::string StatusText(TStatusText text, const std::string& name) {
  switch (text) {
    case TStatusText::EmptyState:
    case TStatusText::EmptyReadout:
    case TStatusText::UnitInfo:
      return {};
    case TStatusText::UnitNotFound:
      return name + " が見つかりませんでした";
    case TStatusText::ModelNotFound:
      return "Ru-Z, Du-D2 が見つかりませんでした";
    case TStatusText::PortOpenError:
      return "通信ポートが開けません";
    case TStatusText::ReceiveError:
      return "データ受信エラーです";
    case TStatusText::CommandSendError:
      return "コマンド送信エラーです";
    case TStatusText::ResponseError:
      return name + " 応答エラーです";
    case TStatusText::NotCalibrated:
      return name + " 未校正です";
    case TStatusText::Measuring:
      return "測定中です";
    case TStatusText::Receiving:
      return "データ受信中です";
    case TStatusText::Calculating:
      return "計算中です";
    case TStatusText::MeasureFinished:
      return "測定終了しました";
    case TStatusText::CalcError:
      return "データエラーで計算できませんでした";
    case TStatusText::MeasureStopped:
      return "測定中止しました";
    case TStatusText::StartError:
      return "測定開始できませんでした";
    case TStatusText::SaveError:
      return "データ保存できませんでした";
    case TStatusText::ExportDone:
      return "データ書き出し完了";
  }
  return {};
}

std::string UnitInfoText(const std::string& model, const std::string& serial,
                         const std::string& version) {
  return model + "/ SN=" + serial + "/ " + version;
}

TMessageKind MessageKind(TMessageText text) {
  switch (text) {
    case TMessageText::SettingsSaveError:
      return TMessageKind::Warning;
    case TMessageText::ConfirmDiscardAndStart:
    case TMessageText::ConfirmDiscardData:
    case TMessageText::ConfirmQuit:
    case TMessageText::ConfirmDiscard:
      return TMessageKind::Question;
    default:
      return TMessageKind::Error;
  }
}

std::string MessageText(TMessageText text, const std::string& name, const std::string& component) {
  switch (text) {
    case TMessageText::FatalMemoryError:
      return "致命的なメモリエラーです:" + component;
    case TMessageText::SettingsSaveError:
      return "初期設定ファイルを保存できませんでした";
    case TMessageText::DataFileError:
      return "データファイルの内容が正しくありませんでした";
    case TMessageText::ComPortOpenError:
      return "COMポートが開けませんでした。COM番号を確認して下さい。";
    case TMessageText::UnitNotFoundError:
      return name + "ユニットが見つかりませんでした。COM番号を確認して下さい。";
    case TMessageText::DataCalcError:
      return "データエラーで計算できませんでした";
    case TMessageText::NoDataError:
      return "データがありません";
    case TMessageText::VersionMismatchError:
      return "ユニットとアプリケーションのバージョンがミスマッチです";
    case TMessageText::ReferenceLimitError:
      return "参照データは５個までにしてください";
    case TMessageText::PrintError:
      return "グラフを印刷できませんでした";
    case TMessageText::ConfirmDiscardAndStart:
      return "測定データを保存していません。破棄して新しい測定を開始しますか？";
    case TMessageText::ConfirmDiscardData:
      return "測定データを保存していません。データを破棄しますか？";
    case TMessageText::ConfirmQuit:
      return "測定データを保存していません。終了しますか？";
    case TMessageText::ConfirmDiscard:
      return "測定データを保存していません。破棄しますか？";
  }
  return {};
}

}  // namespace doz
