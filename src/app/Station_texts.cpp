#include "Station_texts.h"

#include <QStringList>
#include <cstring>

#include "Analysis_texts.h"
#include "Si_number.h"

namespace doz {

using namespace station;

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QString Value(double value, const char* unit) { return Text(station::ValueText(value, unit)); }

QString BoundsText(const TBounds& b, const char* unit) {
  if (b.Lower && b.Upper)
    return Value(*b.Lower, unit) + QStringLiteral(" ～ ") + Value(*b.Upper, unit);
  if (b.Lower) return Value(*b.Lower, unit) + QStringLiteral(" 以上");
  return Value(b.Upper.value_or(0), unit) + QStringLiteral(" 以下");
}

// "：上限 2.60 H を 50.0 mH 超えています", or "（2.40 H ～ 2.60 H）".
QString AgainstText(const TBounds& b, double value, const char* unit) {
  const double excess = b.Excess(value);
  if (excess > 0)
    return QStringLiteral("：上限 %1 を %2 超えています")
        .arg(Value(*b.Upper, unit), Value(excess, unit));
  if (excess < 0)
    return QStringLiteral("：下限 %1 を %2 下回っています")
        .arg(Value(*b.Lower, unit), Value(-excess, unit));
  return QStringLiteral("（%1）").arg(BoundsText(b, unit));
}

QString GoldenText(const TFinding& f) {
  const QString what =
      f.Kind == TFindingKind::Magnitude ? QStringLiteral("|Z|") : QStringLiteral("位相");
  const QString tolerance = QStringLiteral("±") + Value(f.Bounds.Upper.value_or(0), f.Unit);
  const QString worst =
      (f.Kind == TFindingKind::Magnitude ? PercentText(f.Value) : DegreesText(f.Value)) +
      QStringLiteral("（%1）").arg(Text(analysis::FormatSi(f.Hertz, "Hz")));
  if (f.Pass)
    return QStringLiteral("%1：基準との差 %2 以内（%3 点、最大 %4）")
        .arg(what, tolerance)
        .arg(f.Compared)
        .arg(worst);
  return QStringLiteral("%1：基準との差が %2 を超える点 %3／%4、最大 %5")
      .arg(what, tolerance)
      .arg(f.Outside)
      .arg(f.Compared)
      .arg(worst);
}

QString FileProblemText(const platform::TFileFailure& failure) {
  switch (failure.problem) {
    case platform::TFileProblem::Missing:
      return QStringLiteral("ファイルがありません");
    case platform::TFileProblem::Folder:
      return QStringLiteral("フォルダーです");
    case platform::TFileProblem::NoPermission:
      return QStringLiteral("読み取りの権限がありません");
    case platform::TFileProblem::NotRegularFile:
      return QStringLiteral("通常のファイルではありません");
    case platform::TFileProblem::ReadError:
    case platform::TFileProblem::None:
      break;
  }
  return QStringLiteral("読み取りエラーです（%1）")
      .arg(QString::fromLocal8Bit(std::strerror(failure.systemError)));
}

QString Quoted(const std::string& text) { return QStringLiteral("「%1」").arg(Text(text)); }

QString FaultText(const TCriteriaError& e) {
  switch (e.Fault) {
    case TCriteriaFault::CannotRead:
      return QStringLiteral("検査条件ファイルを読めません：") + FileProblemText(e.Failure);
    case TCriteriaFault::TooLarge:
      return QStringLiteral("検査条件ファイルとしては大きすぎます");
    case TCriteriaFault::NotUtf8:
      return QStringLiteral("UTF-8 のテキストではありません");
    case TCriteriaFault::NotKeyValue:
      return QStringLiteral("コメント（#）でも「キー: 値」でもありません");
    case TCriteriaFault::UnknownKey:
      return QStringLiteral(
                 "キー%1はありません（name, golden, tolerance, phase-tolerance, range, model, "
                 "limit, resonance, band）")
          .arg(Quoted(e.Subject));
    case TCriteriaFault::Repeated:
      return QStringLiteral("%1が二度あります（最初は %2 行目）")
          .arg(Quoted(e.Subject))
          .arg(e.Other);
    case TCriteriaFault::EmptyValue:
      return QStringLiteral("%1に値がありません").arg(Quoted(e.Subject));
    case TCriteriaFault::BadNumber:
      return QStringLiteral("%1は 0 以上の数ではありません").arg(Quoted(e.Subject));
    case TCriteriaFault::BadBounds:
      return QStringLiteral("%1は 最小..最大 の形ではありません").arg(Quoted(e.Subject));
    case TCriteriaFault::MinAboveMax:
      return QStringLiteral("%1の最小が最大より大きくなっています").arg(Quoted(e.Subject));
    case TCriteriaFault::BadBand:
      return QStringLiteral("バンド%1は 1 から 10 ではありません").arg(Quoted(e.Subject));
    case TCriteriaFault::UnknownModel:
      return QStringLiteral("モデル：") +
             (e.Syntax ? SyntaxErrorText(*e.Syntax) : Quoted(e.Subject));
    case TCriteriaFault::NeedsModel:
      return QStringLiteral("limit には model の行が要ります");
    case TCriteriaFault::UnknownValue:
      return QStringLiteral("%1はモデルの定数でもモデルから求める値でもありません")
          .arg(Quoted(e.Subject));
    case TCriteriaFault::RepeatedLimit:
      return QStringLiteral("%1の limit が二度あります（最初は %2 行目）")
          .arg(Quoted(e.Subject))
          .arg(e.Other);
    case TCriteriaFault::BadResonanceKind:
      return QStringLiteral("%1は peak でも dip でもありません").arg(Quoted(e.Subject));
    case TCriteriaFault::GoldenUnreadable:
      return QStringLiteral("基準データ %1 を読めません：").arg(Text(e.Subject)) +
             FileProblemText(e.Failure);
    case TCriteriaFault::GoldenInvalid:
      return QStringLiteral("基準データ %1 の内容が正しくありません").arg(Text(e.Subject));
    case TCriteriaFault::NeedsGolden:
      return QStringLiteral("%1は基準データとの比較の条件ですが、golden の行がありません")
          .arg(Quoted(e.Subject));
    case TCriteriaFault::NoCommonPoint:
      return QStringLiteral("基準データにはバンドと range の中の点がありません");
    case TCriteriaFault::NoName:
      return QStringLiteral("name の行がありません");
    case TCriteriaFault::NoCriterion:
      return QStringLiteral("条件がありません（golden, limit, resonance のどれかが要ります）");
  }
  return {};
}

}  // namespace

QString VerdictText(results::TVerdict verdict) {
  switch (verdict) {
    case results::TVerdict::Pass:
      return QStringLiteral("合格");
    case results::TVerdict::Fail:
      return QStringLiteral("不合格");
    case results::TVerdict::MeasurementError:
      break;
  }
  return QStringLiteral("測定エラー");
}

QString JapaneseFinding(const TFinding& f) {
  const QString name = Text(f.Name);
  switch (f.Kind) {
    case TFindingKind::Magnitude:
    case TFindingKind::Phase:
      return GoldenText(f);
    case TFindingKind::NoCommonPoint:
      return QStringLiteral("基準データと共通の周波数点がありません");
    case TFindingKind::Value:
      return name + QStringLiteral(" = ") + Value(f.Value, f.Unit) +
             AgainstText(f.Bounds, f.Value, f.Unit);
    case TFindingKind::NoFit:
      return QStringLiteral("モデル %1 を当てはめられません（%2）")
          .arg(name, FitRefusalText(f.Refusal));
    case TFindingKind::PoorFit:
      return QStringLiteral(
                 "モデル %1 が測定点に合いません（誤差 %2、ノイズと丸めで説明できるのは %3）")
          .arg(name, Value(100 * f.Value, "%"), Value(100 * f.Expected, "%"));
    case TFindingKind::Undetermined:
      return QStringLiteral("%1 = %2 はデータから決まりません（範囲の端に達したか、不確かさが値ほど大きい）")
          .arg(name, Value(f.Value, f.Unit));
    case TFindingKind::Resonance:
      return ResonanceText(f.ResonanceKind) + QStringLiteral(" ") + Value(f.Value, "Hz") +
             AgainstText(f.Bounds, f.Value, "Hz");
    case TFindingKind::NoResonance:
      return QStringLiteral("%1がありません（%2）")
          .arg(ResonanceText(f.ResonanceKind), BoundsText(f.Bounds, "Hz"));
  }
  return {};
}

QString JapaneseCriteriaError(const TCriteriaError& error) {
  const QString where = error.Line > 0 ? QStringLiteral("%1 行目：").arg(error.Line) : QString();
  return where + FaultText(error);
}

QString CriteriaSummary(const TCriteria& c) {
  QStringList parts;
  if (c.Golden) {
    parts << QStringLiteral("基準 %1（±%2、±%3）")
                 .arg(Text(c.Golden->Path), Value(c.Tolerance.Percent, "%"),
                      Value(c.Tolerance.Degrees, "°"));
    if (c.Range) parts << QStringLiteral("範囲 ") + BoundsText(*c.Range, "Hz");
  }
  if (c.Model) parts << QStringLiteral("モデル ") + Text(c.Model->Text());
  for (const TValueLimit& limit : c.Limits)
    parts << Text(limit.Name) + QStringLiteral(" ") + BoundsText(limit.Bounds, limit.Unit);
  for (const TResonanceLimit& r : c.Resonances)
    parts << ResonanceText(r.Kind) + QStringLiteral(" ") + BoundsText(r.Hertz, "Hz");
  parts << QStringLiteral("バンド %1（%2）").arg(c.Band).arg(QString::fromUtf8(BandLabel(c.Band)));
  return Text(c.Name) + QStringLiteral("：") + parts.join(QStringLiteral("、"));
}

QString RowFateText(TRowFate fate) {
  switch (fate) {
    case TRowFate::Stored:
      return QStringLiteral("記録済み");
    case TRowFate::Queued:
      return QStringLiteral("待機中");
    case TRowFate::Lost:
      break;
  }
  return QStringLiteral("記録できません");
}

QString JapaneseSaveFault(const TPartSave& save) {
  const QString why = QString::fromLocal8Bit(std::strerror(save.SystemError));
  switch (save.Fault) {
    case TSaveFault::None:
      return {};
    case TSaveFault::Folder:
      return QStringLiteral("保存先フォルダーを作れません（%1）").arg(why);
    case TSaveFault::Write:
      return QStringLiteral("測定データを保存できません（%1）").arg(why);
    case TSaveFault::Taken:
      return QStringLiteral("測定データのファイル名がすべて使われています");
  }
  return {};
}

}  // namespace doz
