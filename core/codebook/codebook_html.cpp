#include "core/codebook/codebook_html.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/stats/stats_text.h"
#include "core/text/display_encoding.h"
#include "core/text/number_text.h"

namespace lv {

void AppendHtmlText(std::string& out, std::string_view utf8) {
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        switch (c) {
            case '&':
                out += "&amp;";
                continue;
            case '<':
                out += "&lt;";
                continue;
            case '>':
                out += "&gt;";
                continue;
            case '"':
                out += "&quot;";
                continue;
            case '\'':
                out += "&#39;";
                continue;
            default:
                break;
        }
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            out += "\xEF\xBF\xBD";
        } else if (c == 0xEF && i + 2 < utf8.size() && utf8[i + 1] == '\xBF' &&
                   (utf8[i + 2] == '\xBE' || utf8[i + 2] == '\xBF')) {
            out += "\xEF\xBF\xBD";
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
}

namespace {

constexpr const char* kStyle = R"(
body{font-family:"Noto Sans CJK JP","Noto Sans JP","Hiragino Sans","Yu Gothic",sans-serif;
 margin:2em;color:#222;line-height:1.5}
h1{font-size:1.8em;border-bottom:2px solid #446}
h2{font-size:1.3em;border-bottom:1px solid #99a;margin-top:2em}
h3{font-size:1em;margin:1em 0 .3em}
table{border-collapse:collapse;margin:.3em 0}
th,td{border:1px solid #bbc;padding:.15em .5em;vertical-align:top;overflow-wrap:anywhere}
th{background:#eef;text-align:left;font-weight:normal}
td.n{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap}
tr.missing td{color:#855}
table.facts th{width:12em}
.label{color:#446}
.note{color:#666;font-size:.9em}
pre.documents{white-space:pre-wrap;overflow-wrap:anywhere;background:#f6f6f8;padding:.5em}
nav ol{columns:2}
svg{display:block;margin:.5em 0}
svg text{font-size:11px;fill:#333}
.bar{fill:#5b7bb5}
@media print{body{margin:0}section.variable,section.sets{break-before:page}
 a{color:inherit;text-decoration:none}}
)";

class Html {
  public:
    explicit Html(OutputFile& out) : out_(out) {}
    ~Html() = default;

    Html& Raw(std::string_view markup) {
        buffer_ += markup;
        return *this;
    }
    Html& Text(std::string_view utf8) {
        AppendHtmlText(buffer_, utf8);
        return *this;
    }
    // A text that may run either way: isolated from what is around it.
    Html& Bidi(std::string_view utf8) { return Raw("<bdi>").Text(utf8).Raw("</bdi>"); }
    Html& Number(double value) {
        if (std::isfinite(value))
            AppendNumberText(buffer_, value);
        else
            buffer_ += "NaN";
        return *this;
    }
    Html& Integer(int64_t value) {
        buffer_ += std::to_string(value);
        return *this;
    }
    // Hands the buffer to the file once it is large, so that the document is
    // never held whole.
    void Flush(bool always = false) {
        if (!always && buffer_.size() < (1u << 16)) return;
        out_.Write(buffer_);
        buffer_.clear();
    }

  private:
    OutputFile& out_;
    std::string buffer_;
};

void FactRows(Html& h, const std::vector<CodebookFact>& facts) {
    for (const CodebookFact& f : facts) {
        h.Raw("<tr><th>")
            .Text(f.caption)
            .Raw("</th><td dir=\"auto\">")
            .Text(f.text)
            .Raw("</td></tr>\n");
    }
}

void TitlePage(Html& h, const CodebookContent& c) {
    const std::vector<CodebookFact> facts = TitleFacts(c);
    h.Raw("<section class=\"title\">\n<h1>コードブック: ").Bidi(facts.front().text).Raw("</h1>\n");
    h.Raw("<table class=\"facts\">\n");
    FactRows(h, facts);
    h.Raw("</table>\n");
    const std::vector<std::string> lines = DocumentLines(c);
    if (!lines.empty()) {
        h.Raw("<h3>文書</h3>\n<pre class=\"documents\" dir=\"auto\">");
        for (const std::string& line : lines) h.Text(line).Raw("\n");
        h.Raw("</pre>\n");
    }
    h.Raw("</section>\n");
}

void Contents(Html& h, const CodebookContent& c) {
    h.Raw("<nav class=\"contents\">\n<h2>目次</h2>\n<ol>\n");
    for (int index : c.variables) {
        const DictVariable& v = c.dict->variables[index];
        h.Raw("<li value=\"")
            .Integer(v.position)
            .Raw("\"><a href=\"#v")
            .Integer(v.position)
            .Raw("\">")
            .Bidi(ToUtf8(v.name, c.choice.encoding))
            .Raw("</a>");
        if (v.hasLabel)
            h.Raw(" <span class=\"label\">")
                .Bidi(ToUtf8(v.label, c.choice.encoding))
                .Raw("</span>");
        h.Raw("</li>\n");
        h.Flush();
    }
    h.Raw("</ol>\n");
    if (!c.dict->mrsets.empty() || !c.dict->variableSets.empty())
        h.Raw("<p><a href=\"#sets\">多重回答セットと変数セット</a></p>\n");
    h.Raw("</nav>\n");
}

const char* MissingWord(MissingKind kind) {
    return kind == MissingKind::User ? "user" : kind == MissingKind::System ? "system" : "";
}

void CountCells(Html& h, const Amount& amount, double percent, double casePercent, bool weighted,
                bool fractions) {
    h.Raw("<td class=\"n\">")
        .Text(CountText(amount.weight, fractions))
        .Raw("</td><td class=\"n\">")
        .Text(PercentText(percent))
        .Raw("</td>");
    if (weighted)
        h.Raw("<td class=\"n\">")
            .Integer(amount.cases)
            .Raw("</td><td class=\"n\">")
            .Text(PercentText(casePercent))
            .Raw("</td>");
}

void ValueTable(Html& h, const std::vector<CodebookValueRow>& rows, bool weighted, bool fractions,
                bool validPercent) {
    h.Raw("<table class=\"values\">\n<thead><tr><th>値</th><th>ラベル</th>");
    h.Raw(weighted ? "<th>度数 (重み付き)</th><th>%</th><th>ケース数</th><th>%</th>"
                   : "<th>度数</th><th>%</th>");
    if (validPercent) h.Raw("<th>有効 %</th>");
    h.Raw("</tr></thead>\n<tbody>\n");
    for (const CodebookValueRow& r : rows) {
        h.Raw("<tr");
        if (r.missing != MissingKind::None) h.Raw(" class=\"missing\"");
        h.Raw(" data-value=\"");
        if (r.numeric)
            h.Number(r.number);
        else
            h.Text(r.value);
        h.Raw("\" data-count=\"")
            .Number(r.amount.weight)
            .Raw("\" data-cases=\"")
            .Integer(r.amount.cases)
            .Raw("\" data-percent=\"")
            .Number(r.percent)
            .Raw("\" data-missing=\"")
            .Raw(MissingWord(r.missing))
            .Raw("\">");
        h.Raw("<td dir=\"auto\">").Text(r.value).Raw("</td><td dir=\"auto\">").Text(r.label);
        if (r.missing == MissingKind::User) h.Raw(" <span class=\"note\">(ユーザー欠損値)</span>");
        h.Raw("</td>");
        CountCells(h, r.amount, r.percent, r.casePercent, weighted, fractions);
        if (validPercent) h.Raw("<td class=\"n\">").Text(PercentText(r.validPercent)).Raw("</td>");
        h.Raw("</tr>\n");
        h.Flush();
    }
    h.Raw("</tbody>\n</table>\n");
}

void Totals(Html& h, const CodebookSection& s, bool weighted, bool fractions) {
    h.Raw("<table class=\"totals\">\n<thead><tr><th></th>");
    h.Raw(weighted ? "<th>度数 (重み付き)</th><th>%</th><th>ケース数</th><th>%</th>"
                   : "<th>度数</th><th>%</th>");
    h.Raw("</tr></thead>\n<tbody>\n");
    auto row = [&](const char* key, const char* caption, const Amount& a) {
        const double percent = s.total.weight > 0 ? 100.0 * a.weight / s.total.weight : NAN;
        const double casePercent = s.total.cases > 0 ? 100.0 * static_cast<double>(a.cases) /
                                                           static_cast<double>(s.total.cases)
                                                     : NAN;
        h.Raw("<tr data-key=\"")
            .Raw(key)
            .Raw("\" data-count=\"")
            .Number(a.weight)
            .Raw("\" data-cases=\"")
            .Integer(a.cases)
            .Raw("\"><th>")
            .Text(caption)
            .Raw("</th>");
        CountCells(h, a, percent, casePercent, weighted, fractions);
        h.Raw("</tr>\n");
    };
    row("valid", "有効", s.valid);
    row("missing_user", "ユーザー欠損値", s.userMissing);
    row("missing_system", "システム欠損値", s.systemMissing);
    row("total", "合計", s.total);
    h.Raw("</tbody>\n</table>\n");
}

void Statistics(Html& h, const CodebookSection& s) {
    if (s.statistics.empty()) return;
    h.Raw("<h3>統計量</h3>\n<table class=\"statistics\">\n<tbody>\n");
    for (const CodebookStatistic& st : s.statistics) {
        h.Raw("<tr data-key=\"")
            .Raw(st.key)
            .Raw("\" data-number=\"")
            .Number(st.number)
            .Raw("\"><th>")
            .Text(st.caption)
            .Raw("</th><td class=\"n\">")
            .Text(st.text)
            .Raw("</td></tr>\n");
    }
    h.Raw("</tbody>\n</table>\n");
}

// The width of a bar of weight among bars up to largest, out of full.
double BarLength(double weight, double largest, double full) {
    return largest > 0 && weight > 0 ? std::max(1.0, full * weight / largest) : 0;
}

// A caption cut to a few characters (whole UTF-8 characters), for a chart.
std::string Short(const std::string& text, size_t characters) {
    size_t count = 0, i = 0;
    for (; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && count++ == characters) break;
    }
    return i < text.size() ? text.substr(0, i) + "…" : text;
}

void Chart(Html& h, const CodebookSection& s) {
    const CodebookChart& chart = s.chart;
    if (chart.kind == CodebookChart::Kind::Bars) {
        constexpr int kRow = 18, kCaption = 170, kFull = 300;
        double largest = 0;
        for (const auto& b : chart.bars) largest = std::max(largest, b.weight);
        const int height = kRow * static_cast<int>(chart.bars.size()) + 4;
        h.Raw("<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" width=\"")
            .Integer(kCaption + kFull + 80)
            .Raw("\" height=\"")
            .Integer(height)
            .Raw("\" role=\"img\"><title>度数の棒グラフ</title>\n");
        int y = 2;
        for (const auto& b : chart.bars) {
            h.Raw("<text x=\"")
                .Integer(kCaption - 6)
                .Raw("\" y=\"")
                .Integer(y + 13)
                .Raw("\" text-anchor=\"end\">")
                .Text(Short(b.caption, 14))
                .Raw("</text>");
            const double length = BarLength(b.weight, largest, kFull);
            h.Raw("<rect class=\"bar\" x=\"")
                .Integer(kCaption)
                .Raw("\" y=\"")
                .Integer(y + 2)
                .Raw("\" width=\"")
                .Number(std::round(length * 10) / 10)
                .Raw("\" height=\"")
                .Integer(kRow - 4)
                .Raw("\"/>");
            h.Raw("<text x=\"")
                .Number(kCaption + std::round(length) + 4)
                .Raw("\" y=\"")
                .Integer(y + 13)
                .Raw("\">")
                .Text(CountText(b.weight))
                .Raw("</text>\n");
            y += kRow;
        }
        h.Raw("</svg>\n");
    } else if (chart.kind == CodebookChart::Kind::Histogram) {
        constexpr int kWidth = 420, kHeight = 140, kLeft = 10, kTop = 6;
        const auto& bins = chart.histogram.bins;
        double largest = 0;
        for (const auto& b : bins) largest = std::max(largest, b.weight);
        const double step = static_cast<double>(kWidth) / static_cast<double>(bins.size());
        h.Raw("<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" width=\"")
            .Integer(kWidth + 2 * kLeft)
            .Raw("\" height=\"")
            .Integer(kHeight + kTop + 22)
            .Raw("\" role=\"img\"><title>ヒストグラム</title>\n");
        for (size_t i = 0; i < bins.size(); ++i) {
            const double height = BarLength(bins[i].weight, largest, kHeight);
            h.Raw("<rect class=\"bar\" x=\"")
                .Number(std::round((kLeft + step * i) * 10) / 10)
                .Raw("\" y=\"")
                .Number(std::round((kTop + kHeight - height) * 10) / 10)
                .Raw("\" width=\"")
                .Number(std::round(std::max(step - 1, 1.0) * 10) / 10)
                .Raw("\" height=\"")
                .Number(std::round(height * 10) / 10)
                .Raw("\"/>\n");
        }
        h.Raw("<text x=\"")
            .Integer(kLeft)
            .Raw("\" y=\"")
            .Integer(kTop + kHeight + 16)
            .Raw("\">")
            .Text(chart.low)
            .Raw("</text><text x=\"")
            .Integer(kLeft + kWidth)
            .Raw("\" y=\"")
            .Integer(kTop + kHeight + 16)
            .Raw("\" text-anchor=\"end\">")
            .Text(chart.high)
            .Raw("</text>\n</svg>\n");
        if (!chart.histogram.exact)
            h.Raw("<p class=\"note\">値の種類が多いため、上端の区間は推定です。</p>\n");
    }
}

void Variable(Html& h, const CodebookSection& s, bool weighted) {
    h.Raw("<section class=\"variable\" id=\"")
        .Raw(s.anchor)
        .Raw("\">\n<h2>")
        .Integer(s.position)
        .Raw(". ")
        .Bidi(s.longName);
    if (!s.label.empty()) h.Raw(" <span class=\"label\">").Bidi(s.label).Raw("</span>");
    h.Raw("</h2>\n<table class=\"facts\">\n");
    FactRows(h, {{"名前", s.name}, {"長い名前", s.longName}, {"ラベル", s.label}});
    FactRows(h, s.facts);
    FactRows(h, {{"ユーザー欠損値", s.missingDeclared.empty() ? "なし" : s.missingDeclared}});
    h.Raw("</table>\n");
    const bool fractions =
        std::any_of(s.values.begin(), s.values.end(),
                    [](const auto& r) { return std::floor(r.amount.weight) != r.amount.weight; }) ||
        std::floor(s.total.weight) != s.total.weight;
    h.Raw("<h3>度数</h3>\n");
    Totals(h, s, weighted, fractions);
    if (!s.listed) {
        h.Raw("<p class=\"summary\" data-distinct=\"")
            .Integer(static_cast<int64_t>(s.distinct))
            .Raw("\">異なる値: ")
            .Integer(static_cast<int64_t>(s.distinct))
            .Raw(s.distinctExact ? "" : " 以上")
            .Raw(s.frequentOfListed ? "。度数の多い値 (値の小さい順に最初の " +
                                          std::to_string(s.frequentAmong) + " 個のうち):</p>\n"
                                    : std::string("。度数の多い値:</p>\n"));
        ValueTable(h, s.frequent, weighted, fractions, true);
        if (!s.values.empty()) h.Raw("<h3>値ラベル</h3>\n");
    }
    if (!s.values.empty()) ValueTable(h, s.values, weighted, fractions, true);
    Statistics(h, s);
    Chart(h, s);
    h.Raw("</section>\n");
}

void Sets(Html& h, const CodebookContent& c, bool weighted) {
    const std::vector<CodebookSet> mr = MultipleResponseSets(c), vs = VariableSets(c);
    if (mr.empty() && vs.empty()) return;
    h.Raw("<section class=\"sets\" id=\"sets\">\n");
    if (!mr.empty()) h.Raw("<h2>多重回答セット</h2>\n");
    for (const CodebookSet& set : mr) {
        h.Raw("<h3>")
            .Bidi(set.name)
            .Raw(" <span class=\"label\">")
            .Bidi(set.label)
            .Raw("</span></h3>\n<p>種類: ")
            .Text(set.kind)
            .Raw("</p>\n");
        if (set.respondersCounted) {
            h.Raw("<p class=\"responders\" data-count=\"")
                .Number(set.responders.weight)
                .Raw("\" data-cases=\"")
                .Integer(set.responders.cases)
                .Raw("\">回答のあるケース: ")
                .Text(CountText(set.responders.weight));
            if (weighted) h.Raw(" (ケース数 ").Integer(set.responders.cases).Raw(")");
            h.Raw("</p>\n");
        }
        h.Raw("<table class=\"set\">\n<thead><tr><th>変数または値</th><th>ラベル</th>");
        h.Raw(weighted ? "<th>度数 (重み付き)</th><th>ケース数</th>" : "<th>度数</th>");
        h.Raw("</tr></thead>\n<tbody>\n");
        for (const CodebookSetRow& r : set.rows) {
            h.Raw("<tr><td dir=\"auto\">")
                .Text(r.caption)
                .Raw("</td><td dir=\"auto\">")
                .Text(r.label)
                .Raw("</td><td class=\"n\">")
                .Text(r.counted ? CountText(r.amount.weight) : "—")
                .Raw("</td>");
            if (weighted)
                h.Raw("<td class=\"n\">")
                    .Text(r.counted ? std::to_string(r.amount.cases) : "—")
                    .Raw("</td>");
            h.Raw("</tr>\n");
        }
        h.Raw("</tbody>\n</table>\n");
        if (std::any_of(set.rows.begin(), set.rows.end(), [](const auto& r) { return !r.counted; }))
            h.Raw("<p class=\"note\">— : この文書に含まれない変数があります。</p>\n");
        h.Flush();
    }
    if (!vs.empty()) h.Raw("<h2>変数セット</h2>\n<table class=\"facts\">\n");
    for (const CodebookSet& set : vs) {
        h.Raw("<tr><th>").Bidi(set.name).Raw("</th><td>");
        for (size_t i = 0; i < set.variables.size(); ++i)
            h.Raw(i ? ", " : "").Bidi(set.variables[i]);
        h.Raw("</td></tr>\n");
        h.Flush();
    }
    if (!vs.empty()) h.Raw("</table>\n");
    h.Raw("</section>\n");
}

}  // namespace

bool WriteCodebookHtml(const CodebookContent& c, OutputFile& out, Progress* progress) {
    Html h(out);
    h.Raw(
        "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"ja\">\n<head>\n"
        "<meta charset=\"utf-8\"/>\n<title>コードブック: ");
    h.Text(TitleFacts(c).front().text).Raw("</title>\n<style>");
    h.Raw(kStyle).Raw("</style>\n</head>\n<body>\n");
    TitlePage(h, c);
    Contents(h, c);
    const bool weighted = c.frequencies.pass.weighted;
    const size_t count = c.frequencies.tables.size();
    for (size_t i = 0; i < count; ++i) {
        if (progress && i % 64 == 0 && !progress->Step(i, count)) return false;
        Variable(h, SectionOf(c, i), weighted);
        h.Flush();
    }
    Sets(h, c, weighted);
    h.Raw("</body>\n</html>\n");
    h.Flush(true);
    return true;
}

}  // namespace lv
