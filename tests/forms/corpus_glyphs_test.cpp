// Every character the windows would show from the real files (names, long
// names, variable labels, value labels and string values, decoded as the
// windows decode them) is drawn from some installed font, never as a box.
#include <gtest/gtest.h>

#include <QChar>
#include <QGlyphRun>
#include <QTextLayout>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/text/display_encoding.h"
#include "forms/seam/display_text.h"
#include "forms/seam/fonts.h"
#include "savio/spssfio.h"
#include "tests/forms/support_app.h"
#include "tests/support/corpus.h"

namespace {

// The distinct characters of a file's texts, in the order they first appear.
class Characters {
  public:
    void Add(const std::string& fileBytes) {
        for (char32_t c : lv::FileText(fileBytes).toUcs4()) {
            if (QChar::isPrint(c) && seen_.insert(c).second) order_.push_back(c);
        }
    }
    const std::vector<char32_t>& inOrder() const { return order_; }

  private:
    std::set<char32_t> seen_;
    std::vector<char32_t> order_;
};

std::string Text(const char* buffer) {
    return buffer ? std::string(buffer) : std::string();
}

// The texts of one corpus file, as the windows get them from the reader.
Characters CharactersOf(const std::string& path) {
    Characters chars;
    int h = -1;
    if (spssOpenRead(path.c_str(), &h) != SPSS_OK) return chars;
    char encoding[64] = {};
    spssGetFileEncoding(h, encoding, sizeof encoding);
    lv::SetCurrentFileEncoding(encoding[0] ? encoding : "UTF-8");
    int count = 0;
    spssGetNumberofVariables(h, &count);
    std::vector<std::pair<double, int>> strings;  // handle, width
    std::vector<char> text(40000);
    for (int i = 0; i < count; ++i) {
        char name[10] = {};
        int type = 0;
        if (spssGetVarInfo(h, i, name, &type) != SPSS_OK) continue;
        chars.Add(name);
        if (spssGetVarLongName(h, name, text.data(), int(text.size())) == SPSS_OK)
            chars.Add(text.data());
        if (spssGetVarFullLabel(h, name, text.data(), int(text.size())) == SPSS_OK)
            chars.Add(text.data());
        int n = 0;
        char** labels = nullptr;
        if (type == 0) {
            double* values = nullptr;
            if (spssGetVarNValueLabels(h, name, &values, &labels, &n) == SPSS_OK) {
                for (int k = 0; k < n; ++k) chars.Add(Text(labels[k]));
                spssFreeVarNValueLabels(values, labels, n);
            }
        } else {
            char** values = nullptr;
            if (spssGetVarCValueLabels(h, name, &values, &labels, &n) == SPSS_OK) {
                for (int k = 0; k < n; ++k) chars.Add(Text(values[k]) + Text(labels[k]));
                spssFreeVarCValueLabels(values, labels, n);
            }
            double handle = 0;
            if (spssGetVarHandle(h, name, &handle) == SPSS_OK) strings.push_back({handle, type});
        }
    }
    while (spssReadCaseRecord(h) == SPSS_OK) {
        for (const auto& [handle, width] : strings) {
            if (spssGetValueChar(h, handle, text.data(), int(text.size())) == SPSS_OK)
                chars.Add(text.data());
        }
    }
    spssCloseRead(h);
    return chars;
}

// Whether c comes out of the text layout in font (with Qt's fallback
// fonts) without a missing-glyph box: glyph 0 of a real font, or any glyph
// of the stand-in that Qt draws boxes with when no font has the script
// (it has no font tables).
bool HasGlyph(char32_t c, const QFont& font) {
    QTextLayout layout(QString::fromUcs4(&c, 1), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.isEmpty()) return false;
    for (const QGlyphRun& run : runs) {
        if (run.rawFont().fontTable("head").isEmpty()) return false;
        for (quint32 glyph : run.glyphIndexes())
            if ((glyph & 0xFFFFFF) == 0) return false;
    }
    return true;
}

QString Described(char32_t c) {
    return QStringLiteral("U+%1 '%2'")
        .arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'))
        .toUpper()
        .arg(QString::fromUcs4(&c, 1));
}

TEST(CorpusGlyphs, EveryCharacterOfTheRealFilesHasAGlyphInTheWindowsFonts) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    testsupport::EnsureApplication();
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(fixture::CorpusDir())) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".sav") || name.ends_with(".zsav")) files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    const QFont fonts[] = {lv::FixedSysFont(12), lv::ProportionalGothicFont(12)};
    std::set<char32_t> checked;
    int missing = 0;
    std::string first;
    for (const std::string& file : files) {
        const Characters chars = CharactersOf(fixture::CorpusPath(file));
        for (char32_t c : chars.inOrder()) {
            if (!checked.insert(c).second) continue;
            for (const QFont& font : fonts) {
                if (HasGlyph(c, font)) continue;
                if (missing++ == 0)
                    first = Described(c).toStdString() + " from " + file + " in " +
                            font.families().join(QLatin1Char(',')).toStdString();
                break;
            }
        }
    }
    lv::SetCurrentFileEncoding("UTF-8");
    EXPECT_EQ(missing, 0) << "characters without a glyph; the first: " << first;
}

}  // namespace
