// The character codes of the integer info record both ways: what the writer
// fills in for an encoding names that encoding again when read.
#include "savio/code_pages.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePages, AnEncodingsCodeReadsAsThatEncoding) {
    for (int code : {437,   850,   874,   932,   936,   949,   950,   1250,  1252,  1258,
                     10000, 20127, 28591, 28599, 28603, 28605, 51932, 51949, 54936, 65001})
        EXPECT_EQ(savio::EncodingCodePage(savio::CodePageEncoding(code)), code) << code;
    // Other spellings, and names without a code.
    EXPECT_EQ(savio::EncodingCodePage("utf8"), 65001);
    EXPECT_EQ(savio::EncodingCodePage("Shift_JIS"), 932);
    EXPECT_EQ(savio::EncodingCodePage("windows-31j"), 932);
    EXPECT_EQ(savio::EncodingCodePage("cp1251"), 1251);
    EXPECT_EQ(savio::EncodingCodePage("latin1"), 28591);
    EXPECT_EQ(savio::EncodingCodePage("LATIN9"), 28605);
    EXPECT_EQ(savio::EncodingCodePage("KOI8-R"), 2);
    EXPECT_EQ(savio::EncodingCodePage("WINDOWS-12520"), 2);
    EXPECT_EQ(savio::CodePageEncoding(2), "");
    EXPECT_EQ(savio::CodePageEncoding(4), "CP932");
}

}  // namespace
