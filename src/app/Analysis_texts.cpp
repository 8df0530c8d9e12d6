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

QString CircuitText(TCircuitKind kind) {
  return QString::fromUtf8(CircuitName(kind)) + QStringLiteral("　") +
         QString::fromUtf8(CircuitDiagram(kind));
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
  }
  return {};
}

QString ElapsedText(std::chrono::microseconds elapsed) {
  const double ms = elapsed.count() / 1000.0;
  return QString::number(ms, 'f', ms < 10 ? 1 : 0) + QStringLiteral(" ms");
}

}  // namespace doz
