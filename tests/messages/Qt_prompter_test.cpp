#include "Qt_prompter.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "Modal_helper.h"
#include "Temp_dir.h"

namespace doz {
namespace {

using test::ClickBoxButton;
using test::WhenModal;

TEST(QtPrompter, StylesMapToIconsButtonsAndAnswers) {
  struct TCase {
    TBoxStyle style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
  };
  const TCase cases[] = {
      {TBoxStyle::Error, QMessageBox::Critical, QMessageBox::Ok},
      {TBoxStyle::Warning, QMessageBox::Warning, QMessageBox::Ok},
      {TBoxStyle::Question, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No},
      {TBoxStyle::Plain, QMessageBox::NoIcon, QMessageBox::Ok},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style));
    EXPECT_EQ(BoxIcon(c.style), c.icon);
    EXPECT_EQ(BoxButtons(c.style), c.buttons);
  }
  EXPECT_EQ(BoxAnswer(TBoxStyle::Question, QMessageBox::Yes), TBoxResult::Yes);
  EXPECT_EQ(BoxAnswer(TBoxStyle::Question, QMessageBox::No), TBoxResult::No);
  EXPECT_EQ(BoxAnswer(TBoxStyle::Question, QMessageBox::Cancel), TBoxResult::No);
  EXPECT_EQ(BoxAnswer(TBoxStyle::Question, 0), TBoxResult::No);
  EXPECT_EQ(BoxAnswer(TBoxStyle::Error, QMessageBox::Ok), TBoxResult::Ok);
  EXPECT_EQ(BoxAnswer(TBoxStyle::Plain, 0), TBoxResult::Ok);
}

TEST(QtPrompter, BoxHasNoOwnerAndShowsTextCaptionAndIcon) {
  TQtPrompter prompter;
  bool checked = false;
  WhenModal([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Do-Z v1.1"));
    EXPECT_EQ(box->text(), QStringLiteral("データがありません"));
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    checked = true;
    ClickBoxButton(w, QMessageBox::Ok);
  });
  EXPECT_EQ(prompter.MessageBox(QStringLiteral("データがありません"), QStringLiteral("Do-Z v1.1"),
                                TBoxStyle::Error),
            TBoxResult::Ok);
  EXPECT_TRUE(checked);
}

TEST(QtPrompter, QuestionIsYesOnlyWhenYesIsPressed) {
  TQtPrompter prompter;
  const auto ask = [&] {
    return prompter.MessageBox(QStringLiteral("終了しますか？"), QStringLiteral("Do-Z v1.1"),
                               TBoxStyle::Question);
  };
  WhenModal([](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::Yes));
    ClickBoxButton(w, QMessageBox::Yes);
  });
  EXPECT_EQ(ask(), TBoxResult::Yes);
  WhenModal([](QWidget* w) { ClickBoxButton(w, QMessageBox::No); });
  EXPECT_EQ(ask(), TBoxResult::No);
  WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  EXPECT_EQ(ask(), TBoxResult::No);
  WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
  EXPECT_EQ(ask(), TBoxResult::Yes);
}

TEST(QtPrompter, ConfirmationUsesTheQuestionIcon) {
  TQtPrompter prompter;
  WhenModal([](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->text(), QStringLiteral("上書きしますか"));
    ClickBoxButton(w, QMessageBox::Yes);
  });
  EXPECT_TRUE(prompter.ConfirmYesNo(nullptr, QStringLiteral("上書きしますか")));
  WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
  EXPECT_FALSE(prompter.ConfirmYesNo(nullptr, QStringLiteral("上書きしますか")));
}

TEST(QtPrompter, ColorChooserOpensWithTheColourItLastReturned) {
  TQtPrompter prompter;
  const auto pick = [&](QColor choose, bool accept, QColor* opened) {
    WhenModal([=](QWidget* w) {
      auto* dialog = qobject_cast<QColorDialog*>(w);
      ASSERT_NE(dialog, nullptr);
      *opened = dialog->currentColor();
      dialog->setCurrentColor(choose);
      if (accept) dialog->accept();
      else dialog->reject();
    });
    return prompter.ChooseColor(nullptr);
  };
  QColor opened;
  EXPECT_EQ(pick(QColor(200, 10, 20), true, &opened), QColor(200, 10, 20));
  EXPECT_EQ(opened, QColor(Qt::black));
  EXPECT_EQ(pick(QColor(1, 2, 3), false, &opened), std::nullopt);
  EXPECT_EQ(opened, QColor(200, 10, 20));
  EXPECT_EQ(pick(QColor(0, 128, 0), true, &opened), QColor(0, 128, 0));
  EXPECT_EQ(opened, QColor(200, 10, 20));
}

TEST(QtPrompter, OpenDialogKeepsTheChosenOrderAndRemembersTheFolder) {
  test::TTempDir dir;
  for (const char* name : {"a.DTA", "b.DTA", "c.txt"}) test::WriteBytes(dir.File(name), "x");
  TQtPrompter prompter;
  TFileDialogRequest request{QStringLiteral("開く"), QStringLiteral("データファイル (*.DTA)"),
                             QStringLiteral("*.DTA"), QString::fromStdString(dir.Path())};
  WhenModal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("開く"));
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("データファイル (*.DTA)")});
    dialog->selectFile(QStringLiteral("\"b.DTA\" \"a.DTA\""));
    static_cast<QDialog*>(dialog)->accept();
  });
  const QStringList files = prompter.OpenFiles(nullptr, request, true);
  const QString folder = QString::fromStdString(dir.Path());
  EXPECT_EQ(files, (QStringList{folder + QStringLiteral("/b.DTA"), folder + QStringLiteral("/a.DTA")}));

  request.directory.clear();
  WhenModal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->directory().absolutePath(), folder);
    dialog->reject();
  });
  EXPECT_TRUE(prompter.OpenFiles(nullptr, request, false).isEmpty());
}

TEST(QtPrompter, SaveDialogAddsNoSuffixAndLeavesOverwritingToTheCaller) {
  test::TTempDir dir;
  test::WriteBytes(dir.File("old.DTA"), "x");
  const QString folder = QString::fromStdString(dir.Path());
  TQtPrompter prompter;
  const TFileDialogRequest request{QString(), QStringLiteral("データファイル (*.DTA)"),
                                   QStringLiteral("proposed"), folder};
  const QString typed[] = {QStringLiteral("proposed"), QStringLiteral("old.DTA")};
  for (const QString& name : typed) {
    WhenModal([&](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
      EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
      EXPECT_TRUE(dialog->defaultSuffix().isEmpty());
      // Typed as a user types it: selectFile leaves the name field alone
      // once the field has the focus, which depends on when the dialog
      // became active.
      auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(field, nullptr);
      field->setText(name);
      static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(prompter.SaveFile(nullptr, request), folder + u'/' + name);
  }
  WhenModal([](QWidget* w) { w->close(); });
  EXPECT_TRUE(prompter.SaveFile(nullptr, request).isEmpty());
}

TEST(QtPrompter, RunModalReturnsTheFormsResult) {
  TQtPrompter prompter;
  QDialog dialog;
  WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->done(7); });
  EXPECT_EQ(prompter.RunModal(dialog), 7);
  WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
  EXPECT_EQ(prompter.RunModal(dialog), QDialog::Rejected);
}

TEST(QtPrompter, PrintDialogsReportWhetherTheyWereConfirmed) {
  TQtPrompter prompter;
  QPrinter printer;
  const auto answer = [](bool accept) {
    WhenModal([accept](QWidget* w) {
      auto* dialog = qobject_cast<QDialog*>(w);
      ASSERT_NE(dialog, nullptr);
      if (accept) dialog->done(QDialog::Accepted);
      else dialog->reject();
    });
  };
  answer(false);
  EXPECT_FALSE(prompter.PrintDialog(nullptr, printer));
  answer(true);
  EXPECT_TRUE(prompter.PrintDialog(nullptr, printer));
}

}  // namespace
}  // namespace doz
