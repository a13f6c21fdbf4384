// The export's shortcuts must give the bytes of the general paths: a string
// cell laid out from its stored bytes and restored blanks, and a number cell
// laid into one append, against the text built first and rendered after.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/rendering/column_render.h"
#include "core/rendering/specifier_format.h"

namespace {

lv::ColumnRender StringRender(const std::string& pattern) {
    return lv::ColumnRender::Make(20, 1, pattern, 20, '.');
}

}  // namespace

TEST(RenderShortcuts, PaddedTextEqualsTheRestoredTextRendered) {
    const char* patterns[] = {"%s",  "%5s",  "%-5s", "%.3s",  "%10.2s", "%-12.7s", "%.0s", "%30s",
                              "%1s", "x%sy", "%S",   "%.25s", "%-3s",   "[%-8s]",  "%8.8s"};
    const char* stored[] = {"", "a", "abc", "Tokyo", "other: see notes", "\x82\xa0\x82\xa2"};
    for (const char* pattern : patterns) {
        const lv::ColumnRender r = StringRender(pattern);
        for (const char* s : stored) {
            for (size_t blanks : {0, 1, 2, 7, 16}) {
                std::string full(s);
                full.append(blanks, ' ');
                std::string expected = "<";
                r.AppendText(expected, full);
                std::string got = "<";
                r.AppendPaddedText(got, s, blanks);
                EXPECT_EQ(got, expected) << pattern << " '" << s << "' + " << blanks;
            }
        }
    }
}

TEST(RenderShortcuts, FixedCellsEqualTheSpecifierTextAligned) {
    struct Case {
        const char* pattern;
        int width;
    };
    const Case cases[] = {{"%8.2f", 8},  {"%8.2f", 11}, {"%8.2f", 30}, {"%-8.2f", 12},
                          {"%.3f", 9},   {"%f", 4},     {"%20.8f", 8}, {"%3.0f", 5},
                          {"%12.2f", 3}, {"%-4.1f", 6}};
    std::mt19937_64 rng(5);
    for (const Case& c : cases) {
        const lv::ColumnRender r = lv::ColumnRender::Make(0, 5, c.pattern, c.width, ',');
        const lv::Specifier spec = *lv::Specifier::Parse(c.pattern);
        for (int i = 0; i < 400; ++i) {
            double v = static_cast<double>(rng() % 2000001) / 100 - 10000;
            if (i % 7 == 0) v = std::ldexp(static_cast<double>(rng() >> 11), -int(rng() % 80));
            if (i % 11 == 0) v = -v * 1e15;
            std::string text;
            spec.AppendFloat(text, v, ',');
            const long pad = c.width - static_cast<long>(text.size());
            std::string expected = "|";
            expected.append(pad > 0 ? std::min(pad, 10L) : 0, ' ');
            expected += text;
            std::string got = "|";
            r.AppendValue(got, v);
            ASSERT_EQ(got, expected) << c.pattern << " " << c.width << " " << v;
        }
    }
}
