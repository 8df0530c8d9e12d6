#include "Qo_message.h"

#include "Prompter.h"

namespace doz {

namespace {
// The caption buffer of a box holds 51 characters; a longer title is cut
// there rather than overrunning it.
constexpr int TITLE_MAX = 51;
}  // namespace

TQo_Message::TQo_Message(const QString& name, const QString& title, TPrompter& prompter)
    : name_(name), title_(title.left(TITLE_MAX)), prompter_(prompter) {}

void TQo_Message::FatalMemoryError(const QString& component) {
  ShowError(QStringLiteral("致命的なメモリエラーです:") + component);
}

void TQo_Message::SettingsSaveError() {
  prompter_.MessageBox(QStringLiteral("初期設定ファイルを保存できませんでした"), title_,
                       TBoxStyle::Warning);
}

void TQo_Message::DataFileError() {
  ShowError(QStringLiteral("データファイルの内容が正しくありませんでした"));
}

void TQo_Message::ComPortOpenError() {
  ShowError(QStringLiteral("COMポートが開けませんでした。COM番号を確認して下さい。"));
}

void TQo_Message::UnitNotFoundError() {
  ShowError(name_ + QStringLiteral("ユニットが見つかりませんでした。COM番号を確認して下さい。"));
}

void TQo_Message::DataCalcError() {
  ShowError(QStringLiteral("データエラーで計算できませんでした"));
}

void TQo_Message::NoDataError() { ShowError(QStringLiteral("データがありません")); }

void TQo_Message::VersionMismatchError() {
  ShowError(QStringLiteral("ユニットとアプリケーションのバージョンがミスマッチです"));
}

void TQo_Message::ReferenceLimitError() {
  ShowError(QStringLiteral("参照データは５個までにしてください"));
}

void TQo_Message::PrintError() { ShowError(QStringLiteral("グラフを印刷できませんでした")); }

bool TQo_Message::ConfirmDiscardAndStart() {
  return Ask(QStringLiteral("測定データを保存していません。破棄して新しい測定を開始しますか？"));
}

bool TQo_Message::ConfirmDiscardData() {
  return Ask(QStringLiteral("測定データを保存していません。データを破棄しますか？"));
}

bool TQo_Message::ConfirmQuit() {
  return Ask(QStringLiteral("測定データを保存していません。終了しますか？"));
}

bool TQo_Message::ConfirmDiscard() {
  return Ask(QStringLiteral("測定データを保存していません。破棄しますか？"));
}

void TQo_Message::ShowError(const QString& text) {
  prompter_.MessageBox(text, title_, TBoxStyle::Error);
}

bool TQo_Message::Ask(const QString& text) {
  return prompter_.MessageBox(text, title_, TBoxStyle::Question) == TBoxResult::Yes;
}

}  // namespace doz
