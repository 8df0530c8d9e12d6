#include "Qo_message.h"

#include <gtest/gtest.h>

#include <functional>

#include "Scripted_prompter.h"

namespace doz {
namespace {

using test::TScriptedPrompter;

// "%N" in a text stands for the unit's name.
struct TErrorCase {
  const char* operation;
  std::function<void(TQo_Message&)> call;
  TBoxStyle style;
  QString text;
};

// Name and caption pairs the catalogue is built with.
const std::pair<QString, QString> kNames[] = {{QStringLiteral("Do-Z"), QStringLiteral("Do-Z v1.1")},
                                              {QStringLiteral("Ru-Z"), QStringLiteral("Ru-Z v9")}};

std::vector<TErrorCase> ErrorCases() {
  return {
      {"FatalMemoryError", [](TQo_Message& m) { m.FatalMemoryError(QStringLiteral("QoStatus")); },
       TBoxStyle::Error, QStringLiteral("致命的なメモリエラーです:QoStatus")},
      {"FatalMemoryError without component", [](TQo_Message& m) { m.FatalMemoryError(QString()); },
       TBoxStyle::Error, QStringLiteral("致命的なメモリエラーです:")},
      {"SettingsSaveError", [](TQo_Message& m) { m.SettingsSaveError(); }, TBoxStyle::Warning,
       QStringLiteral("初期設定ファイルを保存できませんでした")},
      {"DataFileError", [](TQo_Message& m) { m.DataFileError(); }, TBoxStyle::Error,
       QStringLiteral("データファイルの内容が正しくありませんでした")},
      {"ComPortOpenError", [](TQo_Message& m) { m.ComPortOpenError(); }, TBoxStyle::Error,
       QStringLiteral("COMポートが開けませんでした。COM番号を確認して下さい。")},
      {"UnitNotFoundError", [](TQo_Message& m) { m.UnitNotFoundError(); }, TBoxStyle::Error,
       QStringLiteral("%Nユニットが見つかりませんでした。COM番号を確認して下さい。")},
      {"DataCalcError", [](TQo_Message& m) { m.DataCalcError(); }, TBoxStyle::Error,
       QStringLiteral("データエラーで計算できませんでした")},
      {"NoDataError", [](TQo_Message& m) { m.NoDataError(); }, TBoxStyle::Error,
       QStringLiteral("データがありません")},
      {"VersionMismatchError", [](TQo_Message& m) { m.VersionMismatchError(); },
       TBoxStyle::Error, QStringLiteral("ユニットとアプリケーションのバージョンがミスマッチです")},
      {"ReferenceLimitError", [](TQo_Message& m) { m.ReferenceLimitError(); }, TBoxStyle::Error,
       QStringLiteral("参照データは５個までにしてください")},
      {"PrintError", [](TQo_Message& m) { m.PrintError(); }, TBoxStyle::Error,
       QStringLiteral("グラフを印刷できませんでした")},
  };
}

TEST(QoMessage, EveryNoticeShowsOneBoxWithItsTextStyleAndCaption) {
  for (const auto& [name, title] : kNames) {
    for (const TErrorCase& c : ErrorCases()) {
      SCOPED_TRACE(c.operation + (" for " + name.toStdString()));
      TScriptedPrompter prompter;
      TQo_Message messages(name, title, prompter);
      c.call(messages);
      const auto boxes = prompter.Boxes();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, QString(c.text).replace(QStringLiteral("%N"), name));
      EXPECT_EQ(boxes[0].caption, title);
      EXPECT_EQ(boxes[0].style, c.style);
      EXPECT_EQ(prompter.Records().size(), 1u);
    }
  }
}

struct TQuestionCase {
  const char* operation;
  std::function<bool(TQo_Message&)> call;
  QString text;
};

std::vector<TQuestionCase> QuestionCases() {
  return {
      {"ConfirmDiscardAndStart", [](TQo_Message& m) { return m.ConfirmDiscardAndStart(); },
       QStringLiteral("測定データを保存していません。破棄して新しい測定を開始しますか？")},
      {"ConfirmDiscardData", [](TQo_Message& m) { return m.ConfirmDiscardData(); },
       QStringLiteral("測定データを保存していません。データを破棄しますか？")},
      {"ConfirmQuit", [](TQo_Message& m) { return m.ConfirmQuit(); },
       QStringLiteral("測定データを保存していません。終了しますか？")},
      {"ConfirmDiscard", [](TQo_Message& m) { return m.ConfirmDiscard(); },
       QStringLiteral("測定データを保存していません。破棄しますか？")},
  };
}

TEST(QoMessage, QuestionsAreTrueOnlyForYes) {
  const std::pair<TBoxResult, bool> answers[] = {
      {TBoxResult::Yes, true}, {TBoxResult::No, false}, {TBoxResult::Ok, false}};
  for (const TQuestionCase& c : QuestionCases()) {
    for (const auto& [answer, expected] : answers) {
      SCOPED_TRACE(c.operation);
      TScriptedPrompter prompter;
      prompter.boxAnswers.push_back(answer);
      TQo_Message messages(QStringLiteral("Do-Z"), QStringLiteral("Do-Z v1.1"), prompter);
      EXPECT_EQ(c.call(messages), expected);
      const auto boxes = prompter.Boxes();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, c.text);
      EXPECT_EQ(boxes[0].caption, QStringLiteral("Do-Z v1.1"));
      EXPECT_EQ(boxes[0].style, TBoxStyle::Question);
      EXPECT_EQ(prompter.UnusedAnswers(), 0u);
    }
  }
}

TEST(QoMessage, TitleKeepsAtMostFiftyOneCharacters) {
  TScriptedPrompter prompter;
  const QString exact(51, u'測');
  TQo_Message fits(QStringLiteral("Do-Z"), exact, prompter);
  EXPECT_EQ(fits.Title(), exact);
  TQo_Message cut(QStringLiteral("Do-Z"), exact + QStringLiteral("xyz"), prompter);
  EXPECT_EQ(cut.Title(), exact);
  cut.NoDataError();
  EXPECT_EQ(prompter.Boxes().back().caption, exact);
}

}  // namespace
}  // namespace doz
