#include "Fixed_dialog.h"

#include <QTest>
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
  explicit TProbeDialog(bool& cancel) : TFixedDialog(QStringLiteral("probe"), nullptr) {
    auto* layout = new QVBoxLayout;
    layout->addWidget(new QLabel(QStringLiteral("x")));
    SetContent(layout, confirm, cancelButton);
    connect(confirm, &QPushButton::clicked, this, &TProbeDialog::Confirm);
    connect(cancelButton, &QPushButton::clicked, this, &TProbeDialog::Cancel);
    BindCancelFlag(cancel);
  }
  QPushButton* confirm = new QPushButton(QStringLiteral("ok"), this);
  QPushButton* cancelButton = new QPushButton(QStringLiteral("cancel"), this);
};

TEST(FixedDialogs, EveryWayOutButConfirmingCancels) {
  bool cancel = false;
  TProbeDialog form(cancel);
  EXPECT_TRUE(form.confirm->isDefault());
  form.show();
  QTest::keyClick(&form, Qt::Key_Return);
  EXPECT_FALSE(cancel);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), QDialog::Accepted);
  const std::function<void()> ways[] = {
      [&] { QTest::keyClick(&form, Qt::Key_Escape); },
      [&] { form.close(); },
      [&] { QTest::mouseClick(form.cancelButton, Qt::LeftButton); },
  };
  for (const auto& leave : ways) {
    cancel = false;
    form.show();
    leave();
    EXPECT_TRUE(cancel);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
  }
}

}  // namespace
}  // namespace doz
