#include "Analysis_texts.h"

#include "Number_text.h"
#include "Si_number.h"

namespace doz {

using namespace analysis;

namespace {

const QString kAbsent = QStringLiteral("－");

QString Signed(double value, const QString& unit) {
  return QString::fromStdString(SignedNumberText(value, 2)) + unit;
}

}  // namespace

QString SiText(std::optional<double> value, const char* unit) {
  if (!value) return kAbsent;
  return QString::fromStdString(FormatSi(*value, unit));
}

QString RatioText(std::optional<double> value) {
  if (!value) return kAbsent;
  return QString::fromStdString(NumberText(*value, std::chars_format::general, 3));
}

QString DegreesText(double degrees) { return Signed(degrees, QStringLiteral("°")); }

QString PercentText(double percent) { return Signed(percent, QStringLiteral(" %")); }

QString PresetText(const TPreset& preset) {
  return QString::fromUtf8(preset.Name) + QStringLiteral("　") + QString::fromUtf8(preset.Diagram);
}

QString CircuitText(const TCircuit& circuit) {
  const TPreset* preset = PresetOf(circuit.Model());
  return preset ? PresetText(*preset) : QString::fromStdString(circuit.Model().Text());
}

QString SyntaxErrorText(const TCircuitSyntaxError& error) {
  const QString token = QStringLiteral("「%1」").arg(QString::fromStdString(error.Token));
  QString reason;
  switch (error.Fault) {
    case TSyntaxFault::MissingElement:
      reason = QStringLiteral("素子 R, L, C か p( がありません");
      break;
    case TSyntaxFault::Unexpected:
      reason = token + QStringLiteral("の所には素子 R, L, C か p( が入ります");
      break;
    case TSyntaxFault::UnknownElement:
      reason = token + QStringLiteral("は素子ではありません（素子は R, L, C）");
      break;
    case TSyntaxFault::UnknownModel:
      reason = token + QStringLiteral("という回路はありません");
      break;
    case TSyntaxFault::Duplicate:
      reason = token + QStringLiteral("が二度あります（名前は一度ずつ）");
      break;
    case TSyntaxFault::TooManyElements:
      reason = QStringLiteral("素子は %1 個までです").arg(kMaxCircuitElements);
      break;
    case TSyntaxFault::MissingOpen:
      reason = QStringLiteral("p の後に ( がありません");
      break;
    case TSyntaxFault::ExpectedSeparator:
      reason = token + QStringLiteral("の所には , か ) が入ります");
      break;
    case TSyntaxFault::MissingClose:
      reason = QStringLiteral(") がありません");
      break;
    case TSyntaxFault::OneBranch:
      reason = QStringLiteral("p( ) には枝が二つ以上要ります");
      break;
    case TSyntaxFault::Trailing:
      reason = token + QStringLiteral("が回路の後にあります");
      break;
  }
  return QStringLiteral("位置 %1: ").arg(error.Position) + reason;
}

QString JapaneseWarning(const TAnalysisWarning& w) {
  const QString subject = QString::fromStdString(w.Subject);
  const auto percent = [](double fraction) {
    return QString::number(100.0 * fraction, 'f', fraction < 0.01 ? 2 : 1) + QStringLiteral(" %");
  };
  switch (w.Code) {
    case TWarningCode::ClippedPoints:
      return QStringLiteral("装置の上限（16777215 Ω）か 0 Ω の点 %1 個を除きました").arg(w.Count);
    case TWarningCode::AtBound:
      return QStringLiteral("%1 が範囲の%2限（%3）に達しました。データからは決まりません。より簡単な回路で足りるかもしれません")
          .arg(subject, w.High ? QStringLiteral("上") : QStringLiteral("下"),
               SiText(w.Reference, ParameterUnit(w.Subject)));
    case TWarningCode::PoorFit:
      return (w.Automatic ? QStringLiteral("よく合う回路はありません。最も近い %1 でも誤差 %2")
                          : QStringLiteral("%1 はよく合いません。誤差 %2"))
                 .arg(subject, percent(w.Value)) +
             QStringLiteral("で、ノイズと丸めで説明できるのは %1 です").arg(percent(w.Reference));
    case TWarningCode::NarrowResonance:
      return QStringLiteral("%1 の共振は格子 3 点より狭く、測定点からの Q（%2）は下限です")
          .arg(SiText(w.Value, "Hz"), RatioText(w.Reference));
    case TWarningCode::NoUncertainty:
      return QStringLiteral("%1 の定数は互いに打ち消し合い、不確かさを求められません").arg(subject);
    case TWarningCode::Undetermined:
      return QStringLiteral("%1 = %2 ± %3: データからは決まらず、そこから求めた値も信頼できません。より簡単な回路で足りるかもしれません")
          .arg(subject, SiText(w.Value, ParameterUnit(w.Subject)),
               SiText(w.Reference, ParameterUnit(w.Subject)));
  }
  return {};
}

QString UncertaintyText(std::optional<double> sigma, const char* unit) {
  if (!sigma) return kAbsent;
  return QStringLiteral("± ") + SiText(*sigma, unit);
}

QString ResonanceText(TResonanceKind kind) {
  return kind == TResonanceKind::Peak ? QStringLiteral("山（並列共振）")
                                      : QStringLiteral("谷（直列共振）");
}

QString FitRefusalText(TFitRefusal refusal) {
  switch (refusal) {
    case TFitRefusal::NoPoints:
      return QStringLiteral("値のある点がありません");
    case TFitRefusal::TooFewPoints:
      return QStringLiteral("点の数が回路の定数より少なすぎます");
    case TFitRefusal::NoSolution:
      return QStringLiteral("有限の解が得られませんでした");
    case TFitRefusal::Stopped:
      return QStringLiteral("中止しました");
  }
  return {};
}

QString ElapsedText(std::chrono::microseconds elapsed) {
  const double ms = elapsed.count() / 1000.0;
  return QString::number(ms, 'f', ms < 10 ? 1 : 0) + QStringLiteral(" ms");
}

}  // namespace doz
