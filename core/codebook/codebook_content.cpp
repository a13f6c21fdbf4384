#include "core/codebook/codebook_content.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <utility>

#include "core/dictionary/dictionary_words.h"
#include "core/rendering/format_traits.h"
#include "core/stats/describe.h"
#include "core/stats/stats_text.h"
#include "core/stats/value_text.h"
#include "core/text/display_encoding.h"
#include "core/windows/file_info_lines.h"

namespace lv {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double PercentOf(double part, double whole) {
    return whole > 0 ? 100.0 * part / whole : kNaN;
}

std::string Decoded(const CodebookContent& c, std::string_view bytes) {
    return ToUtf8(bytes, c.choice.encoding);
}

CodebookValueRow RowOf(const CodebookContent& c, const FrequencyTable& t, const FrequencyRow& r) {
    CodebookValueRow row;
    row.value = Decoded(c, r.valueText);
    row.label = Decoded(c, r.label);
    row.missing = r.missing;
    row.numeric = !t.variable.isString();
    row.number = r.number;
    row.amount = r.amount;
    row.percent = r.percent;
    row.casePercent =
        PercentOf(static_cast<double>(r.amount.cases), static_cast<double>(t.total.cases));
    row.validPercent = r.missing == MissingKind::None ? r.validPercent : kNaN;
    return row;
}

bool SameValue(const FrequencyRow& r, const DictVariable& v, double number,
               const std::string& text) {
    return v.isString() ? r.text == text : r.number == number;
}

// A labelled value no case holds, with no count.
CodebookValueRow LabelledRow(const CodebookContent& c, const DictVariable& v, double number,
                             const std::string& text, const std::string& label) {
    CodebookValueRow row;
    row.numeric = !v.isString();
    row.number = number;
    row.value = row.numeric ? StatsValueText(v, number) : Decoded(c, text);
    row.label = Decoded(c, label);
    const bool missing = row.numeric ? v.missingValues.Holds(number) : v.missingValues.Holds(text);
    row.missing = missing ? MissingKind::User : MissingKind::None;
    row.validPercent = missing ? kNaN : 0;
    return row;
}

// The labelled values that no row of the table lists.
std::vector<CodebookValueRow> UnlistedLabels(const CodebookContent& c, const FrequencyTable& t,
                                             std::span<const FrequencyRow> rows) {
    const DictVariable& v = *t.variable.dict;
    std::vector<CodebookValueRow> out;
    auto listed = [&](double number, const std::string& text) {
        return std::any_of(rows.begin(), rows.end(), [&](const FrequencyRow& r) {
            return r.kind == FrequencyRow::Kind::Value && SameValue(r, v, number, text);
        });
    };
    for (const auto& [number, label] : v.numericLabels)
        if (!v.isString() && !listed(number, {}))
            out.push_back(LabelledRow(c, v, number, {}, label));
    for (const auto& [text, label] : v.stringLabels)
        if (v.isString() && !listed(0, text)) out.push_back(LabelledRow(c, v, 0, text, label));
    return out;
}

bool ValueBefore(const CodebookValueRow& a, const CodebookValueRow& b, bool numeric) {
    return numeric ? a.number < b.number : a.value < b.value;
}

bool IsScale(const DictVariable& v) {
    if (v.isString()) return false;
    return v.measure == SPSS_MLVL_RAT || (v.measure == SPSS_MLVL_UNK && v.numericLabels.empty());
}

void AddStatistics(CodebookSection& s, const FrequencyTable& t) {
    const DictVariable& v = *t.variable.dict;
    const Descriptives& d = t.stats;
    auto add = [&](const char* key, const char* caption, std::string text, double number) {
        s.statistics.push_back({key, caption, std::move(text), number});
    };
    add("valid", "有効数", CountText(t.valid.weight), t.valid.weight);
    add("mean", "平均", LocationText(d.mean, v), d.mean);
    add("sd", "標準偏差", SpreadText(d.sd, v), d.sd);
    add("min", "最小値", LocationText(d.minimum, v), d.minimum);
    add("max", "最大値", LocationText(d.maximum, v), d.maximum);
    if (d.percentilesExact) {
        add("q1", "第1四分位", LocationText(d.quartile1, v), d.quartile1);
        add("median", "中央値", LocationText(d.median, v), d.median);
        add("q3", "第3四分位", LocationText(d.quartile3, v), d.quartile3);
    }
}

void AddChart(CodebookSection& s, const FrequencyTable& t, bool scale) {
    const DictVariable& v = *t.variable.dict;
    const bool labelled = !v.numericLabels.empty() || !v.stringLabels.empty();
    size_t validRows = 0;
    for (const CodebookValueRow& r : s.values)
        if (r.missing == MissingKind::None) ++validRows;
    if (s.listed && validRows > 0 && validRows <= kCodebookBars && (labelled || !scale)) {
        s.chart.kind = CodebookChart::Kind::Bars;
        for (const CodebookValueRow& r : s.values)
            if (r.missing == MissingKind::None)
                s.chart.bars.push_back({r.label.empty() ? r.value : r.label, r.amount.weight});
        return;
    }
    if (!v.isString() && !t.histogram.bins.empty()) {
        s.chart.kind = CodebookChart::Kind::Histogram;
        s.chart.histogram = t.histogram;
        s.chart.low = LocationText(t.stats.minimum, v);
        s.chart.high = LocationText(t.stats.maximum, v);
    }
}

void AddFacts(const CodebookContent& c, CodebookSection& s, const DictVariable& v) {
    auto fact = [&](const char* caption, std::string text) {
        s.facts.push_back({caption, std::move(text)});
    };
    fact("型", TypeText(v));
    fact("表示書式", FormatText(v.print));
    fact("書き込み書式", FormatText(v.write));
    fact("尺度",
         MeasureText(v.measure).empty() ? "(記録なし)" : std::string(MeasureText(v.measure)));
    fact("役割", std::string(RoleText(v.role)));
    fact("配置", std::string(AlignmentText(v.alignment)));
    fact("表示幅", v.columnWidth < 0 ? "(記録なし)" : std::to_string(v.columnWidth));
    for (const DictAttribute& a : v.attributes) {
        std::string values;
        for (const std::string& value : a.values) {
            if (!values.empty()) values += "; ";
            values += Decoded(c, value);
        }
        s.facts.push_back({"属性 " + Decoded(c, a.name), std::move(values)});
    }
}

// Counts, for each multiple-response set whose members are all in the
// pass, the cases with at least one response, as the cases go by.
class ResponderCount final : public CaseVisitor {
  public:
    ResponderCount(const FileDictionary& dict, const std::vector<int>& variables) {
        for (const DictMultRespSet& m : dict.mrsets) {
            Set set;
            set.dichotomy = m.dichotomy;
            set.text = m.countedValue;
            while (!set.text.empty() && set.text.back() == ' ') set.text.pop_back();
            set.number = std::strtod(m.countedValue.c_str(), nullptr);
            for (const std::string& name : m.variables) {
                const auto at = std::find_if(variables.begin(), variables.end(), [&](int index) {
                    return dict.variables[index].name == name;
                });
                if (at == variables.end()) {
                    set.complete = false;
                    break;
                }
                set.members.push_back(
                    {static_cast<size_t>(at - variables.begin()), &dict.variables[*at]});
            }
            sets_.push_back(std::move(set));
        }
    }

    void Case(std::span<const PassValue> values, double weight) override {
        for (Set& set : sets_) {
            if (!set.complete) continue;
            for (const auto& [column, v] : set.members)
                if (Responds(set, *v, values[column])) {
                    set.responders.Add(weight);
                    break;
                }
        }
    }

    std::vector<std::optional<Amount>> Result() const {
        std::vector<std::optional<Amount>> out;
        for (const Set& set : sets_)
            out.push_back(set.complete ? std::optional<Amount>(set.responders) : std::nullopt);
        return out;
    }

  private:
    struct Set {
        bool dichotomy = false, complete = true;
        std::string text;  // the counted value, without trailing blanks
        double number = 0;
        std::vector<std::pair<size_t, const DictVariable*>> members;  // column, variable
        Amount responders;
    };

    static bool Responds(const Set& set, const DictVariable& v, const PassValue& value) {
        if (set.dichotomy)
            return v.isString() ? value.text == set.text
                                : !value.sysmis && value.number == set.number;
        // A blank string is no category: no response.
        if (v.isString()) return !value.text.empty() && !v.missingValues.Holds(value.text);
        return !value.sysmis && !v.missingValues.Holds(value.number);
    }

    std::vector<Set> sets_;
};

}  // namespace

CodebookContent BuildCodebook(const FileDictionary& dict, std::vector<int> variables,
                              CodebookChoice choice, Progress* progress,
                              const CaseNumbers* selected, const ReaderHandle* file) {
    CodebookContent c;
    c.dict = &dict;
    c.choice = std::move(choice);
    if (c.choice.encoding.empty()) c.choice.encoding = dict.encoding;
    if (variables.empty()) {
        variables.resize(dict.variables.size());
        std::iota(variables.begin(), variables.end(), 0);
    }
    std::sort(variables.begin(), variables.end());
    variables.erase(std::unique(variables.begin(), variables.end()), variables.end());
    c.variables = std::move(variables);
    if (selected) c.casesChosen = static_cast<int64_t>(selected->size());
    // The tally of each variable holds as many values as describe's: the
    // memory stays bounded however many distinct values a variable has, and
    // the quartiles of one of more come from the further passes.
    // The sets' responders are counted in the same pass, only when the
    // file has sets (else every block would be handed over for nothing).
    std::optional<ResponderCount> responders;
    if (!dict.mrsets.empty()) responders.emplace(dict, c.variables);
    c.frequencies =
        RunFrequencies(dict, c.variables, c.choice.weighted, progress, kDescribeDistinctCap,
                       selected, file, {}, responders ? &*responders : nullptr);
    if (responders) c.responders = responders->Result();
    return c;
}

std::vector<CodebookFact> TitleFacts(const CodebookContent& c) {
    const FileDictionary& d = *c.dict;
    const PassResult& pass = c.frequencies.pass;
    std::vector<CodebookFact> facts;
    auto fact = [&](const char* caption, std::string text) {
        facts.push_back({caption, std::move(text)});
    };
    const size_t slash = d.path.rfind('/');
    fact("ファイル",
         ToUtf8(slash == std::string::npos ? d.path : d.path.substr(slash + 1), "UTF-8"));
    fact("ファイルラベル", Decoded(c, d.fileLabel));
    fact("作成日時", Decoded(c, d.date + (d.time.empty() ? "" : " " + d.time)));
    fact("作成した製品", Decoded(c, d.product));
    std::string encoding = c.choice.encoding;
    if (!d.encodingRecord.empty() && d.encodingRecord != encoding)
        encoding += " (ファイルの記録: " + Decoded(c, d.encodingRecord) + ")";
    fact("文字コード", encoding);
    fact("ケース数", std::to_string(pass.casesRead));
    if (c.casesChosen >= 0) {
        fact("条件", c.choice.condition);
        fact("条件に合うケース", std::to_string(c.casesChosen));
    }
    fact("変数の数", std::to_string(d.variables.size()));
    if (c.variables.size() != d.variables.size())
        fact("この文書の変数", std::to_string(c.variables.size()));
    if (d.weightVariable.empty())
        fact("重み変数", "なし");
    else
        fact("重み変数",
             Decoded(c, d.weightVariable) + (pass.weighted ? "" : " (重み付けなしで集計)"));
    if (pass.weighted && pass.casesWithoutWeight > 0)
        fact("重みが正でないケース (除外)", std::to_string(pass.casesWithoutWeight));
    fact("圧縮", std::string(CompressionText(d.header.compression)));
    fact("文書", std::to_string(d.documents.size()) + " 行");
    return facts;
}

std::vector<std::string> DocumentLines(const CodebookContent& c) {
    std::vector<std::string> lines;
    for (const std::string& line : c.dict->documents) lines.push_back(Decoded(c, line));
    return lines;
}

CodebookSection SectionOf(const CodebookContent& c, size_t i) {
    const FrequencyTable& t = c.frequencies.tables[i];
    const DictVariable& v = *t.variable.dict;
    CodebookSection s;
    s.position = v.position;
    s.anchor = "v" + std::to_string(v.position);
    s.name = Decoded(c, v.name);
    s.longName = Decoded(c, v.longName);
    s.label = v.hasLabel ? Decoded(c, v.label) : std::string();
    AddFacts(c, s, v);
    s.distinct = t.distinct;
    s.distinctExact = t.distinctExact;
    s.valid = t.valid;
    s.userMissing = t.userMissing;
    s.systemMissing = t.systemMissing;
    s.total = t.total;
    s.missingDeclared =
        v.missingCode == SPSS_NO_MISSVAL ? std::string() : MissingValuesText(v, c.choice.encoding);

    std::vector<CodebookValueRow> valid, missing;
    size_t validRows = 0;
    bool more = false;
    for (const FrequencyRow& r : t.rows) {
        if (r.kind == FrequencyRow::Kind::More) more = true;
        if (r.kind == FrequencyRow::Kind::Value && r.missing == MissingKind::None) ++validRows;
    }
    s.listed = !more && validRows <= kCodebookListedValues;
    for (const FrequencyRow& r : t.rows) {
        if (r.kind != FrequencyRow::Kind::Value) continue;
        (r.missing == MissingKind::None ? valid : missing).push_back(RowOf(c, t, r));
    }
    const bool numeric = !v.isString();
    if (!s.listed) {
        // The most frequent of every value the tally held (the table's rows
        // stop at the first kShownValueRows), else of the rows.
        std::vector<CodebookValueRow> byCount;
        s.frequentAmong = t.frequent.empty() ? valid.size() : t.frequentAmong;
        if (!t.frequent.empty()) {
            for (const FrequencyRow& r : t.frequent) byCount.push_back(RowOf(c, t, r));
        } else {
            byCount = valid;
            std::stable_sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
                return a.amount.weight > b.amount.weight;
            });
        }
        if (byCount.size() > kCodebookFrequentValues) byCount.resize(kCodebookFrequentValues);
        s.frequent = std::move(byCount);
        s.frequentOfListed = t.frequent.empty() ? more : !t.frequentOfAll;
        // Only the labelled values are listed.
        std::erase_if(valid, [](const CodebookValueRow& r) { return r.label.empty(); });
    }
    for (CodebookValueRow& r : UnlistedLabels(c, t, t.rows))
        (r.missing == MissingKind::None ? valid : missing).push_back(std::move(r));
    auto order = [numeric](const auto& a, const auto& b) { return ValueBefore(a, b, numeric); };
    std::stable_sort(valid.begin(), valid.end(), order);
    std::stable_sort(missing.begin(), missing.end(), order);
    s.values = std::move(valid);
    s.values.insert(s.values.end(), std::make_move_iterator(missing.begin()),
                    std::make_move_iterator(missing.end()));
    const bool scale = IsScale(v);
    if (scale) AddStatistics(s, t);
    AddChart(s, t, scale);
    return s;
}

namespace {

// The table of the chosen variable named name, or null.
const FrequencyTable* TableNamed(const CodebookContent& c, const std::string& name) {
    for (const FrequencyTable& t : c.frequencies.tables)
        if (t.variable.name() == name) return &t;
    return nullptr;
}

}  // namespace

std::vector<CodebookSet> MultipleResponseSets(const CodebookContent& c) {
    std::vector<CodebookSet> sets;
    for (const DictMultRespSet& m : c.dict->mrsets) {
        CodebookSet set;
        const size_t at = sets.size();
        if (at < c.responders.size() && c.responders[at]) {
            set.respondersCounted = true;
            set.responders = *c.responders[at];
        }
        set.name = Decoded(c, m.name);
        set.label = Decoded(c, m.label);
        set.kind = m.dichotomy ? "二分 (計数値 " + Decoded(c, m.countedValue) + ")" : "カテゴリ";
        for (const std::string& name : m.variables) set.variables.push_back(Decoded(c, name));
        if (m.dichotomy) {
            // Each member: the cases holding the counted value.
            for (const std::string& name : m.variables) {
                CodebookSetRow row;
                row.caption = Decoded(c, name);
                const FrequencyTable* t = TableNamed(c, name);
                if (t) {
                    row.label = Decoded(c, t->variable.dict->label);
                    row.counted = true;
                    for (const FrequencyRow& r : t->rows) {
                        if (r.kind != FrequencyRow::Kind::Value) continue;
                        const bool same =
                            t->variable.isString()
                                ? r.text == m.countedValue
                                : r.number == std::strtod(m.countedValue.c_str(), nullptr);
                        if (same) row.amount = r.amount;
                    }
                }
                set.rows.push_back(std::move(row));
            }
        } else {
            // Each valid value of the members: its responses over all of them.
            std::vector<std::pair<const FrequencyRow*, Amount>> values;
            bool all = true;
            for (const std::string& name : m.variables) {
                const FrequencyTable* t = TableNamed(c, name);
                if (!t) {
                    all = false;
                    continue;
                }
                for (const FrequencyRow& r : t->rows) {
                    if (r.kind != FrequencyRow::Kind::Value || r.missing != MissingKind::None)
                        continue;
                    auto it = std::find_if(values.begin(), values.end(), [&](const auto& e) {
                        return e.first->valueText == r.valueText;
                    });
                    if (it == values.end()) {
                        values.push_back({&r, {}});
                        it = values.end() - 1;
                    }
                    it->second.weight += r.amount.weight;
                    it->second.cases += r.amount.cases;
                }
            }
            for (const auto& [r, amount] : values)
                set.rows.push_back({Decoded(c, r->valueText), Decoded(c, r->label), all, amount});
        }
        sets.push_back(std::move(set));
    }
    return sets;
}

std::vector<CodebookSet> VariableSets(const CodebookContent& c) {
    std::vector<CodebookSet> sets;
    for (const DictVarSet& vs : c.dict->variableSets) {
        CodebookSet set;
        set.name = Decoded(c, vs.name);
        for (const std::string& name : vs.variables) set.variables.push_back(Decoded(c, name));
        sets.push_back(std::move(set));
    }
    return sets;
}

}  // namespace lv
