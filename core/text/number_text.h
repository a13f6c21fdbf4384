// The shortest text that reads back as the same number ("1", "2.5", "-99"):
// plain digits for the magnitudes codes and amounts have, an exponent only
// for the very large and the very small. JSON, the codebook, the
// file-information lines and the CSV and TSV exports write numbers with it.
#pragma once

#include <string>

namespace lv {

std::string NumberText(double value);

// Appends NumberText(value) to out; fast for whole numbers and for numbers
// of a few decimals, which is what most data holds, and fastest when
// expectedDecimals (a print format's, say) is as many as or more than
// value needs.
void AppendNumberText(std::string& out, double value, int expectedDecimals = 0);

}  // namespace lv
