// The windows' fonts: the design's family first, then Debian's IPA fonts
// (IPAPGothic proportional, IPAGothic fixed pitch), then monospace. Sizes are
// character heights in pixels.
#pragma once

#include <QFont>

namespace lv {

QFont ProportionalGothicFont(int pixelSize);  // "ＭＳ Ｐゴシック"
QFont FixedGothicFont(int pixelSize);         // "ＭＳ ゴシック"
QFont FixedSysFont(int pixelSize);            // "FixedSys", the fixed-column lists

}  // namespace lv
