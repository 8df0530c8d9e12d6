#include "Fixed_dialog.h"

#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "Scripted_prompter.h"
#include "Setcolor.h"
#include "Setting.h"
#include "Version.h"

namespace doz {
namespace {

TEST(FixedDialogs, NoCloseBoxAndAFixedSize) {
  test::TScriptedPrompter prompter;
  std::unique_ptr<QDialog> forms[] = {std::make_unique<TFormSetting>(prompter),
                                      std::make_unique<TFormSetColor>(prompter),
                                      std::make_unique<TFormVersion>()};
  const QString captions[] = {QStringLiteral("COMポートの設定"), QStringLiteral("グラフ線色設定"),
                              QStringLiteral("Do-Z")};
  for (int i = 0; i < 3; ++i) {
    QDialog& form = *forms[i];
    SCOPED_TRACE(captions[i].toStdString());
    EXPECT_EQ(form.windowTitle(), captions[i]);
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinMaxButtonsHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
    form.show();
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.isSizeGripEnabled());
    form.hide();
  }
}

// A form with the two buttons every form has.
class TProbeDialog : public TFixedDialog {
 public:
  TProbeDialog() : TFixedDialog(QStringLiteral("probe"), nullptr) {
    auto* layout = new QVBoxLayout;
    layout->addWidget(new QLabel(QStringLiteral("x")));
    SetContent(layout, confirm, cancelButton);
    connect(confirm, &QPushButton::clicked, this, &TProbeDialog::Confirm);
    connect(cancelButton, &QPushButton::clicked, this, &TProbeDialog::Cancel);
  }
  QPushButton* confirm = new QPushButton(QStringLiteral("ok"), this);
  QPushButton* cancelButton = new QPushButton(QStringLiteral("cancel"), this);
};

// What a modal run returns is all a caller goes by.
TEST(FixedDialogs, EveryWayOutButConfirmingCancels) {
  TProbeDialog form;
  EXPECT_TRUE(form.confirm->isDefault());
  const auto run = [&form](const std::function<void()>& leave) {
    QTimer::singleShot(0, &form, leave);
    const int answer = form.exec();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), answer);
    return answer;
  };
  EXPECT_EQ(run([&] { QTest::keyClick(&form, Qt::Key_Return); }), QDialog::Accepted);
  const std::function<void()> ways[] = {
      [&] { QTest::keyClick(&form, Qt::Key_Escape); },
      [&] { form.close(); },
      [&] { QTest::mouseClick(form.cancelButton, Qt::LeftButton); },
  };
  for (const auto& leave : ways) EXPECT_EQ(run(leave), QDialog::Rejected);
  EXPECT_EQ(run([&] { QTest::mouseClick(form.confirm, Qt::LeftButton); }), QDialog::Accepted);
}

}  // namespace
}  // namespace doz
