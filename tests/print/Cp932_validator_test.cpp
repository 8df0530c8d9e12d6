#include "Cp932_validator.h"

#include <gtest/gtest.h>

namespace doz {
namespace {

TEST(Cp932Validator, CountsCodePageBytesAndDropsLineEnds) {
  struct TCase {
    QString input;
    int pos;
    QValidator::State state;
    QString output;
    int outPos;
  };
  const TCase cases[] = {
      {QString(), 0, QValidator::Acceptable, QString(), 0},
      {QStringLiteral("abcdef"), 3, QValidator::Acceptable, QStringLiteral("abcdef"), 3},
      {QStringLiteral("abcdefg"), 7, QValidator::Invalid, QStringLiteral("abcdefg"), 7},
      {QStringLiteral("測定開"), 3, QValidator::Acceptable, QStringLiteral("測定開"), 3},
      {QStringLiteral("測定開a"), 4, QValidator::Invalid, QStringLiteral("測定開a"), 4},
      {QStringLiteral("ｱｲｳｴｵｶ"), 6, QValidator::Acceptable, QStringLiteral("ｱｲｳｴｵｶ"), 6},
      {QStringLiteral("a\r\nb\nc"), 6, QValidator::Acceptable, QStringLiteral("abc"), 3},
      {QStringLiteral("\nab\rc"), 2, QValidator::Acceptable, QStringLiteral("abc"), 1},
      {QStringLiteral("ab\r\ncd\nef"), 0, QValidator::Acceptable, QStringLiteral("abcdef"), 0},
      {QStringLiteral("測定\n開始"), 5, QValidator::Invalid, QStringLiteral("測定開始"), 4},
  };
  const TCp932Validator validator(6, nullptr);
  EXPECT_EQ(validator.MaxBytes(), 6u);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.input.toStdString());
    QString text = c.input;
    int pos = c.pos;
    EXPECT_EQ(validator.validate(text, pos), c.state);
    EXPECT_EQ(text, c.output);
    EXPECT_EQ(pos, c.outPos);
  }
}

}  // namespace
}  // namespace doz
