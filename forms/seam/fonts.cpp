#include "forms/seam/fonts.h"

#include <QStringList>

namespace lv {
namespace {

QFont MakeFont(const QStringList& families, int pixelSize, bool fixedPitch) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setFixedPitch(fixedPitch);
    if (fixedPitch) font.setStyleHint(QFont::Monospace);
    // Fixed columns must stay fixed: no kerning between the glyphs.
    font.setKerning(!fixedPitch);
    return font;
}

}  // namespace

QFont ProportionalGothicFont(int pixelSize) {
    return MakeFont({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                     QStringLiteral("monospace")},
                    pixelSize, false);
}

QFont FixedGothicFont(int pixelSize) {
    return MakeFont(
        {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"), QStringLiteral("monospace")},
        pixelSize, true);
}

QFont FixedSysFont(int pixelSize) {
    return MakeFont(
        {QStringLiteral("FixedSys"), QStringLiteral("IPAGothic"), QStringLiteral("monospace")},
        pixelSize, true);
}

}  // namespace lv
