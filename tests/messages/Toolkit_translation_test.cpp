#include "Toolkit_translation.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

namespace doz {
namespace {

// The buttons and captions Qt draws itself come out in Japanese.
TEST(ToolkitTranslation, BoxButtonsAndFileDialogSpeakJapanese) {
  QTranslator* translator = InstallToolkitTranslation(*qApp);
  ASSERT_NE(translator, nullptr) << "Qt's Japanese translation (qt6-translations-l10n)";
  QMessageBox box(QMessageBox::Warning, "Do-Z v1.1", "?", QMessageBox::Yes | QMessageBox::No);
  EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith(QStringLiteral("はい")))
      << box.button(QMessageBox::Yes)->text().toStdString();
  EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith(QStringLiteral("いいえ")));

  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QStringList texts;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
  EXPECT_FALSE(texts.filter(QStringLiteral("ファイル名")).isEmpty()) << texts.join('|').toStdString();

  QCoreApplication::removeTranslator(translator);
  delete translator;
}

}  // namespace
}  // namespace doz
