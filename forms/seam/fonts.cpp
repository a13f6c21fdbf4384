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

// Latin fonts whose '.' and ',' differ at every size, the first installed
// one drawing the characters they have.
const QStringList& LatinFixedFamilies() {
    static const QStringList families = {QStringLiteral("DejaVu Sans Mono"),
                                         QStringLiteral("Noto Sans Mono")};
    return families;
}

const QStringList& LatinFamilies() {
    static const QStringList families = {QStringLiteral("DejaVu Sans"),
                                         QStringLiteral("Noto Sans")};
    return families;
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

QFont GridFont(int pixelSize) {
    return MakeFont(QStringList{QStringLiteral("FixedSys")} + LatinFixedFamilies() +
                        QStringList{QStringLiteral("IPAGothic"), QStringLiteral("monospace")},
                    pixelSize, true);
}

QFont WithLatinDigits(QFont font) {
    font.setFamilies(LatinFamilies() + font.families() + QStringList{font.family()});
    return font;
}

}  // namespace lv
