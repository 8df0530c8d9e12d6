// File and reference commands: open, save, close and export a measurement;
// load and clear reference sets.
#include <QComboBox>
#include <sys/stat.h>

#include "Doz_file.h"
#include "Doz_main.h"
#include "Graph_rtf.h"
#include "Prompter.h"
#include "Qo_message.h"
#include "Qo_status.h"
#include "Stringutil.h"

namespace doz {
namespace {

const QString kDataFilter = QStringLiteral("データファイル (*.DTA *.dta)");
const QString kTextFilter = QStringLiteral("データファイル (*.txt)");
const QString kOpenTitle = QStringLiteral("データファイルを選んでください");
const QString kRefTitle = QStringLiteral("参照ファイルを選んでください(５個まで)");

bool PathExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

// Offset of the first "." of the file-name part, or npos.
std::size_t FirstDotOfName(const std::string& path) {
  const std::size_t nameStart = path.size() - FileNamePart(path).size();
  return path.find('.', nameStart);
}

// The extension rule of the save and export commands: a name without "."
// gets the extension; a name with another ending (compared case-sensitively)
// is cut at its first ".".
std::string ApplyExtension(const std::string& path, const std::string& extension) {
  if (FileNamePart(path).find('.') == std::string::npos) return path + extension;
  if (path.size() >= extension.size() &&
      path.compare(path.size() - extension.size(), extension.size(), extension) == 0)
    return path;
  return path.substr(0, FirstDotOfName(path)) + extension;
}

}  // namespace

std::string TFormMain::DefaultName(const char* extension) const {
  if (FileName.empty()) return std::string("*") + extension;
  return CutAtFirstDot(FileNamePart(FileName)) + extension;
}

bool TFormMain::AskOverwrite(const std::string& path, QWidget* parent) {
  if (!PathExists(path)) return true;
  const QString text = QStringLiteral("ファイル：") + QString::fromStdString(path) +
                       QStringLiteral("があります。") + QChar(10) + QStringLiteral("上書きしますか");
  return prompter_->ConfirmYesNo(parent ? parent : this, text);
}

bool TFormMain::ReadIntoMeasurement(const std::string& path) {
  if (!DozFile->ReadDataFile(path, UnitSerial, SettingRec.CommPortNum, &MeasData)) {
    QoMessage->DataFileError();
  } else if (!MakeCalcData(&MeasData, &MeasCalc, &MeasAve)) {
    QoMessage->DataCalcError();
  } else {
    return true;
  }
  MeasData.Present = 0;
  DataSaved = 0;
  Graph->Clear();
  emit AnalysedDataChanged();
  return false;
}

void TFormMain::MenuFile_OpenClick() {
  if (HasUnsavedMeasurement() && !QoMessage->ConfirmDiscard()) return;
  const QStringList files =
      prompter_->OpenFiles(this, {kOpenTitle, kDataFilter, "*.DTA", {}}, false);
  if (files.isEmpty() || files.front().isEmpty()) return;
  FileName = files.front().toStdString();
  if (!ReadIntoMeasurement(FileName)) return;
  MeasData.Present = 1;
  DataSaved = 1;
  GraphRange.Band = MeasData.Band;
  ComboBox2->setCurrentIndex(MeasData.Band - 1);
  AnyReferenceLoaded() ? mShowAll() : mShowMeasured();
  ShowCaption(FileName);
}

void TFormMain::MenuFile_SaveClick() {
  if (!MeasData.Present) {
    QoMessage->NoDataError();
    return;
  }
  const QString chosen =
      prompter_->SaveFile(this, {{}, kDataFilter, QString::fromStdString(DefaultName(".DTA")), {}});
  if (chosen.isEmpty()) return;
  const std::string path = ApplyExtension(chosen.toStdString(), ".DTA");
  if (!AskOverwrite(path)) return;
  FileName = path;
  if (DozFile->WriteDataFile(FileName, UnitSerial, &SettingRec, &MeasData)) {
    DataSaved = 1;
    ShowCaption(FileName);
  } else {
    QoStatus->ShowSaveError();
  }
}

void TFormMain::MenuFile_CloseClick() {
  if (HasUnsavedMeasurement() && !QoMessage->ConfirmDiscardData()) return;
  MeasData.Present = 0;
  QoStatus->ClearPanel(1);
  QoStatus->ClearPanel(2);
  ShowCaption({});
  if (AnyReferenceLoaded()) {
    mShowReferences();
  } else {
    Graph->Clear();
    emit AnalysedDataChanged();
  }
}

void TFormMain::MenuFile_ExportClick() {
  if (!MeasData.Present) {
    QoMessage->NoDataError();
    return;
  }
  const QString chosen =
      prompter_->SaveFile(this, {{}, kTextFilter, QString::fromStdString(DefaultName(".txt")), {}});
  if (chosen.isEmpty()) return;
  const std::string path = ApplyExtension(chosen.toStdString(), ".txt");
  if (!AskOverwrite(path)) return;
  FileName = path.substr(0, FirstDotOfName(path));
  const TCalcData* calc = MenuGraph_Ave->isChecked() ? &ShownAve() : &ShownCalc();
  if (DozFile->ExportText(path, UnitSerial, calc, &MeasData)) {
    QoStatus->ShowExportDone();
  } else {
    QoStatus->ShowSaveError();
  }
}

void TFormMain::EmptyReferenceSlot(int slot) {
  RefData[slot].Present = 0;
  ClearRawData(RefData[slot]);
  ClearCalcData(RefCalc[slot]);
  ClearCalcData(RefAve[slot]);
}

bool TFormMain::LoadReference(int slot, const std::string& path) {
  RefFileName[slot] = path;
  std::string serial;
  std::int32_t commPort = 0;
  const bool read = DozFile->ReadDataFile(path, serial, commPort, &RefData[slot]);
  if (read && MakeCalcData(&RefData[slot], &RefCalc[slot], &RefAve[slot])) {
    RefData[slot].Present = 1;
    return true;
  }
  RefData[slot].Present = 0;
  ClearRawData(RefData[slot]);
  read ? QoMessage->DataCalcError() : QoMessage->DataFileError();
  return false;
}

void TFormMain::MenuRef_OpenClick() {
  if (RefCount >= REF_MAX) {
    QoMessage->ReferenceLimitError();
    return;
  }
  const QStringList files = prompter_->OpenFiles(this, {kRefTitle, kDataFilter, "*.DTA", {}}, true);
  const int n = static_cast<int>(files.size());
  if (n == 0) return;
  if (RefCount + n > REF_MAX) {
    QoMessage->ReferenceLimitError();
    return;
  }
  for (int slot = RefCount; slot < REF_MAX; ++slot) EmptyReferenceSlot(slot);
  for (int j = 0; j < n; ++j) {
    if (!LoadReference(RefCount + j, files[j].toStdString())) {
      emit AnalysedDataChanged();  // the files before the failing one stay loaded
      return;
    }
  }
  RefCount += n;
  if (MeasData.Present) {
    mShowAll();
    return;
  }
  GraphRange.Band = RefData[0].Band;
  ComboBox2->setCurrentIndex(RefData[0].Band - 1);
  mShowReferences();
}

void TFormMain::MenuRef_CloseClick() {
  for (int slot = 0; slot < REF_MAX; ++slot) EmptyReferenceSlot(slot);
  RefCount = 0;
  if (MeasData.Present) {
    mShowMeasured();
  } else {
    Graph->Clear();
    emit AnalysedDataChanged();
  }
}

}  // namespace doz
