// The windows' fonts: the design's family first, then Debian's IPA fonts
// (IPAPGothic proportional, IPAGothic fixed pitch), then monospace. Sizes are
// character heights in pixels.
//
// Where numbers are read (the grid's cells, the statistics tables), a Latin
// font comes before the Japanese gothic for digits and punctuation: a
// gothic that draws its embedded bitmaps at small sizes makes '.' and ','
// the same shape, and 1234.50 reads as 1234,50. The Japanese gothic still
// draws every other character.
#pragma once

#include <QFont>

namespace lv {

QFont ProportionalGothicFont(int pixelSize);  // "ＭＳ Ｐゴシック"
QFont FixedGothicFont(int pixelSize);         // "ＭＳ ゴシック"
QFont FixedSysFont(int pixelSize);            // "FixedSys", the fixed-column lists

// The grid's cells: FixedSys where it exists, a Latin fixed font, then as
// FixedSysFont.
QFont GridFont(int pixelSize);
// font with a Latin proportional font first (a statistics table's).
QFont WithLatinDigits(QFont font);

}  // namespace lv
