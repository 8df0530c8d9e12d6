// The message service: the catalogue's error and confirmation texts in
// boxes, through the prompter.
#pragma once

#include <QString>

#include "Text_catalogue.h"

namespace doz {

class TPrompter;

class TQo_Message {
 public:
  // name: the application's short name ("Do-Z"); title: the caption of every
  // box ("Do-Z v1.1"; only its first 51 characters are kept).
  TQo_Message(const QString& name, const QString& title, TPrompter& prompter);

  void FatalMemoryError(const QString& component);
  void SettingsSaveError();
  void DataFileError();
  void ComPortOpenError();
  void UnitNotFoundError();
  void DataCalcError();
  void NoDataError();
  void VersionMismatchError();
  void ReferenceLimitError();
  // The print job could not be started or finished (a printer that refuses
  // the job, a PDF file that cannot be written).
  void PrintError();
  // Questions: true exactly when the user answers Yes.
  bool ConfirmDiscardAndStart();
  bool ConfirmDiscardData();
  bool ConfirmQuit();
  bool ConfirmDiscard();

  // Any catalogue box; true exactly when a question is answered Yes.
  bool Show(TMessageText text, const QString& component = QString());

  const QString& Title() const { return title_; }

 private:
  QString name_;
  QString title_;
  TPrompter& prompter_;
};

}  // namespace doz
