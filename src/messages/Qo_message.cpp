#include "Qo_message.h"

#include "Prompter.h"

namespace doz {

namespace {
// The caption buffer of a box holds 51 characters; a longer title is cut
// there rather than overrunning it.
constexpr int TITLE_MAX = 51;

TBoxStyle StyleOf(TMessageKind kind) {
  switch (kind) {
    case TMessageKind::Warning:
      return TBoxStyle::Warning;
    case TMessageKind::Question:
      return TBoxStyle::Question;
    case TMessageKind::Error:
      break;
  }
  return TBoxStyle::Error;
}
}  // namespace

TQo_Message::TQo_Message(const QString& name, const QString& title, TPrompter& prompter)
    : name_(name), title_(title.left(TITLE_MAX)), prompter_(prompter) {}

bool TQo_Message::Show(TMessageText text, const QString& component) {
  const QString box = QString::fromStdString(
      MessageText(text, name_.toStdString(), component.toStdString()));
  return prompter_.MessageBox(box, title_, StyleOf(MessageKind(text))) == TBoxResult::Yes;
}

void TQo_Message::FatalMemoryError(const QString& component) {
  Show(TMessageText::FatalMemoryError, component);
}
void TQo_Message::SettingsSaveError() { Show(TMessageText::SettingsSaveError); }
void TQo_Message::DataFileError() { Show(TMessageText::DataFileError); }
void TQo_Message::ComPortOpenError() { Show(TMessageText::ComPortOpenError); }
void TQo_Message::UnitNotFoundError() { Show(TMessageText::UnitNotFoundError); }
void TQo_Message::DataCalcError() { Show(TMessageText::DataCalcError); }
void TQo_Message::NoDataError() { Show(TMessageText::NoDataError); }
void TQo_Message::VersionMismatchError() { Show(TMessageText::VersionMismatchError); }
void TQo_Message::ReferenceLimitError() { Show(TMessageText::ReferenceLimitError); }
void TQo_Message::PrintError() { Show(TMessageText::PrintError); }
bool TQo_Message::ConfirmDiscardAndStart() { return Show(TMessageText::ConfirmDiscardAndStart); }
bool TQo_Message::ConfirmDiscardData() { return Show(TMessageText::ConfirmDiscardData); }
bool TQo_Message::ConfirmQuit() { return Show(TMessageText::ConfirmQuit); }
bool TQo_Message::ConfirmDiscard() { return Show(TMessageText::ConfirmDiscard); }

}  // namespace doz
