#include "core/stats/stats_json.h"

#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

#include "core/stats/crosstab_tests.h"
#include "core/stats/stats_text.h"
#include "core/text/display_encoding.h"
#include "core/text/json_writer.h"

namespace lv {
namespace {

class Writer {
  public:
    Writer(std::string& out, const std::string& encoding) : json(out), encoding_(encoding) {}
    JsonWriter json;

    // A text of the file (bytes in its encoding), or null when empty and
    // nullWhenEmpty.
    void Text(std::string_view key, const std::string& bytes, bool nullWhenEmpty = false) {
        json.Key(key);
        if (nullWhenEmpty && bytes.empty())
            json.Null();
        else
            json.String(ToUtf8(bytes, encoding_));
    }
    void Figure(std::string_view key, double value) { json.Key(key).Number(value); }
    // Of a variable of dates or times: "text", the figures as shown; a
    // spread's key starts with "sd".
    // percentiles: the asked ones, as an object keyed by their percents.
    void TimeTexts(const DictVariable& v,
                   std::initializer_list<std::pair<std::string_view, double>> figures,
                   std::span<const AskedPercentile> percentiles = {}) {
        if (!StatisticsAsTimes(v)) return;
        json.Key("text").BeginObject();
        for (const auto& [key, value] : figures) {
            const bool spread = key == "sd" || key == "range" || key == "se_mean";
            Text(key, spread ? SpreadText(value, v) : LocationText(value, v), true);
        }
        if (!percentiles.empty()) {
            json.Key("percentiles").BeginObject();
            for (const AskedPercentile& p : percentiles)
                Text(p.text, LocationText(p.value, v), true);
            json.EndObject();
        }
        json.EndObject();
    }
    // The figures beyond the mean, sd, extremes and quartiles (their keys
    // documented in docs/stats-json.md), modes numeric; mode written by
    // the caller.
    void MoreFigures(const Descriptives& d) {
        json.Field("mode_count", d.modeCount);
        json.Key("modes").BeginArray(true);
        for (double m : d.modes) json.Number(m);
        json.EndArray();
        Figure("se_mean", d.seMean);
        Figure("variance", d.variance);
        Figure("skewness", d.skewness);
        Figure("se_skewness", d.seSkewness);
        Figure("kurtosis", d.kurtosis);
        Figure("se_kurtosis", d.seKurtosis);
        Figure("range", d.range);
        Figure("sum", d.sum);
        if (d.percentiles.empty()) return;
        json.Key("percentiles").BeginObject(true);
        for (const AskedPercentile& p : d.percentiles) Figure(p.text, p.value);
        json.EndObject();
    }
    void NumberOrNull(std::string_view key, bool has, double value) {
        json.Key(key);
        if (has)
            json.Number(value);
        else
            json.Null();
    }

    void VariableNames(const StatsVariable& v) {
        Text("name", v.name());
        Text("long_name", v.longName().empty() ? v.name() : v.longName());
        Text("label", v.dict->label, true);
    }
    void Weight(const FileDictionary& dict, const PassResult& pass) {
        json.Field("weighted", pass.weighted);
        if (pass.weighted)
            Text("weight_variable", dict.weightVariable);
        else
            json.Key("weight_variable").Null();
    }
    void Value(const StatsVariable& v, double number, const std::string& text) {
        json.Key("value");
        Bare(v, number, text);
    }
    // A value without its key (an element of an array).
    void Bare(const StatsVariable& v, double number, const std::string& text) {
        if (v.isString())
            json.String(ToUtf8(text, encoding_));
        else
            json.Number(number);
    }

  private:
    const std::string& encoding_;
};

const char* MissingName(MissingKind kind) {
    return kind == MissingKind::User ? "user" : kind == MissingKind::System ? "system" : nullptr;
}

void Missing(JsonWriter& json, MissingKind kind) {
    json.Key("missing");
    if (const char* name = MissingName(kind))
        json.String(name);
    else
        json.Null();
}

void OneTable(Writer& w, const FrequencyTable& t, const FileDictionary& dict,
              const PassResult& pass) {
    JsonWriter& json = w.json;
    json.BeginObject();
    w.Text("variable", t.variable.name());
    w.Text("long_name", t.variable.longName().empty() ? t.variable.name() : t.variable.longName());
    w.Text("label", t.variable.dict->label, true);
    w.Weight(dict, pass);
    w.Figure("valid", t.valid.weight);
    w.Figure("missing", t.userMissing.weight + t.systemMissing.weight);
    w.Figure("total", t.total.weight);
    json.Key("cases").BeginObject(true);
    json.Field("valid", t.valid.cases)
        .Field("missing_user", t.userMissing.cases)
        .Field("missing_system", t.systemMissing.cases)
        .Field("total", t.total.cases)
        .Field("without_weight", pass.casesWithoutWeight);
    json.EndObject();
    json.Field("distinct", t.distinct).Field("distinct_exact", t.distinctExact);
    json.Key("rows").BeginArray();
    for (const FrequencyRow& row : t.rows) {
        json.BeginObject(true);
        if (row.kind == FrequencyRow::Kind::Value)
            w.Value(t.variable, row.number, row.text);
        else
            json.Key("value").Null();
        if (row.kind == FrequencyRow::Kind::More)
            json.Field("more_values", row.moreValues).Field("more_exact", row.moreExact);
        w.Text("value_text", row.valueText, true);
        w.Text("label", row.label, true);
        Missing(json, row.missing);
        w.Figure("count", row.amount.weight);
        json.Field("cases", row.amount.cases);
        w.Figure("percent", row.percent);
        w.Figure("valid_percent", row.validPercent);
        w.Figure("cumulative_percent", row.cumulativePercent);
        json.EndObject();
    }
    json.EndArray();
    if (!t.variable.isString()) {
        json.Key("statistics").BeginObject();
        w.Figure("mean", t.stats.mean);
        w.Figure("sd", t.stats.sd);
        w.Figure("min", t.stats.minimum);
        w.Figure("max", t.stats.maximum);
        w.Figure("q1", t.stats.quartile1);
        w.Figure("median", t.stats.median);
        w.Figure("q3", t.stats.quartile3);
        const Descriptives& d = t.stats;
        const double mode = d.modes.empty() ? NAN : d.modes.front();
        w.TimeTexts(*t.variable.dict,
                    {{"mean", d.mean},
                     {"sd", d.sd},
                     {"min", d.minimum},
                     {"max", d.maximum},
                     {"q1", d.quartile1},
                     {"median", d.median},
                     {"q3", d.quartile3},
                     {"mode", mode},
                     {"se_mean", d.seMean},
                     {"range", d.range}},
                    d.percentiles);
        json.Field("percentile_definition", "haverage");
        w.NumberOrNull("mode", !d.modes.empty(), mode);
        w.MoreFigures(d);
        json.EndObject();
    }
    json.EndObject();
}

std::vector<std::vector<double>> PercentsOf(const Crosstab& t, char of) {
    std::vector<std::vector<double>> p(t.rows.size(), std::vector<double>(t.columns.size()));
    for (size_t r = 0; r < t.rows.size(); ++r)
        for (size_t c = 0; c < t.columns.size(); ++c) {
            const double whole = of == 'r'   ? t.rowTotals[r].weight
                                 : of == 'c' ? t.columnTotals[c].weight
                                             : t.total.weight;
            p[r][c] = whole > 0 ? 100.0 * t.Cell(r, c).weight / whole : NAN;
        }
    return p;
}

}  // namespace

std::string FrequencyJson(const std::vector<FrequencyTable>& tables, const FileDictionary& dict,
                          const PassResult& pass, const std::string& encoding) {
    std::string out;
    Writer w(out, encoding);
    if (tables.size() == 1) {
        OneTable(w, tables[0], dict, pass);
    } else {
        w.json.BeginArray();
        for (const FrequencyTable& t : tables) OneTable(w, t, dict, pass);
        w.json.EndArray();
    }
    out += '\n';
    return out;
}

std::string DescribeJson(const DescribeResult& result, const FileDictionary& dict,
                         const std::string& encoding) {
    std::string out;
    Writer w(out, encoding);
    JsonWriter& json = w.json;
    json.BeginObject();
    w.Weight(dict, result.pass);
    json.Field("cases", result.pass.casesRead)
        .Field("cases_without_weight", result.pass.casesWithoutWeight)
        .Field("distinct_cap", kDescribeDistinctCap);
    json.Key("variables").BeginArray();
    for (const DescribeRow& row : result.rows) {
        // The most frequent value, as a number or the string as text.
        const auto mode = [&] {
            json.Key("mode");
            if (!row.hasMode)
                json.Null();
            else if (row.variable.isString())
                json.String(ToUtf8(row.modeText, encoding));
            else
                json.Number(row.modeNumber);
        };
        json.BeginObject();
        w.VariableNames(row.variable);
        json.Field("type", row.type);
        json.Key("measure");
        if (!MeasureWord(row.variable.dict->measure).empty())
            json.String(MeasureWord(row.variable.dict->measure));
        else
            json.Null();
        w.Figure("valid", row.valid.weight);
        w.Figure("missing", row.userMissing.weight + row.systemMissing.weight);
        w.Figure("missing_user", row.userMissing.weight);
        w.Figure("missing_system", row.systemMissing.weight);
        json.Field("valid_cases", row.valid.cases);
        json.Field("distinct", row.distinct).Field("distinct_exact", row.distinctExact);
        w.Figure("mean", row.stats.mean);
        w.Figure("sd", row.stats.sd);
        w.Figure("min", row.stats.minimum);
        w.Figure("max", row.stats.maximum);
        w.Figure("median", row.stats.median);
        mode();
        w.Text("mode_label", row.modeLabel, true);
        const Descriptives& d = row.stats;
        if (!row.variable.isString())
            w.TimeTexts(*row.variable.dict, {{"mean", d.mean},
                                             {"sd", d.sd},
                                             {"min", d.minimum},
                                             {"max", d.maximum},
                                             {"median", d.median}});
        json.Key("statistics").BeginObject();
        mode();
        if (row.variable.isString()) {
            json.Field("mode_count", row.modeCount);
        } else {
            w.Figure("q1", d.quartile1);
            w.Figure("q3", d.quartile3);
            w.MoreFigures(d);
            w.TimeTexts(*row.variable.dict,
                        {{"mode", row.hasMode ? row.modeNumber : NAN},
                         {"q1", d.quartile1},
                         {"q3", d.quartile3},
                         {"se_mean", d.seMean},
                         {"range", d.range}},
                        d.percentiles);
        }
        json.EndObject();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    out += '\n';
    return out;
}

namespace {

// The fields of one crosstab's table, inside the object being written.
void CrosstabFields(Writer& w, const Crosstab& t, CrosstabPercents percents) {
    JsonWriter& json = w.json;
    const auto matrix = [&](const char* key, auto value) {
        json.Key(key).BeginArray();
        for (size_t r = 0; r < t.rows.size(); ++r) {
            json.BeginArray(true);
            for (size_t c = 0; c < t.columns.size(); ++c) value(r, c);
            json.EndArray();
        }
        json.EndArray();
    };
    matrix("counts", [&](size_t r, size_t c) { json.Number(t.Cell(r, c).weight); });
    matrix("cases", [&](size_t r, size_t c) { json.Integer(t.Cell(r, c).cases); });
    json.Key("row_totals").BeginArray(true);
    for (const Amount& a : t.rowTotals) json.Number(a.weight);
    json.EndArray();
    json.Key("column_totals").BeginArray(true);
    for (const Amount& a : t.columnTotals) json.Number(a.weight);
    json.EndArray();
    w.Figure("total", t.total.weight);
    w.Figure("missing", t.missing.weight);
    json.Key("cases").BeginObject(true);
    json.Field("total", t.total.cases).Field("missing", t.missing.cases);
    json.EndObject();
    if (percents.row || percents.column || percents.total) {
        json.Key("percents").BeginObject();
        const auto put = [&](const char* key, char of) {
            const auto p = PercentsOf(t, of);
            matrix(key, [&](size_t r, size_t c) { json.Number(p[r][c]); });
        };
        if (percents.row) put("row", 'r');
        if (percents.column) put("column", 'c');
        if (percents.total) put("total", 't');
        json.EndObject();
    }
    if (percents.expected)
        matrix("expected", [&](size_t r, size_t c) { json.Number(ExpectedCount(t, r, c)); });
    if (percents.residuals)
        matrix("adjusted_residuals",
               [&](size_t r, size_t c) { json.Number(AdjustedResidual(t, r, c)); });
    const CrosstabTests tests = TestCrosstab(t);
    json.Key("tests").BeginObject();
    for (const auto& [key, test] : {std::pair{"pearson_chi_square", tests.pearson},
                                    {"likelihood_ratio", tests.likelihoodRatio},
                                    {"linear_by_linear", tests.linearByLinear}}) {
        json.Key(key).BeginObject(true);
        w.Figure("value", test.value);
        w.Figure("df", test.df);
        w.Figure("p", test.p);
        json.EndObject();
    }
    json.EndObject();
    if (tests.fisher) {
        json.Key("fisher_exact").BeginObject(true);
        w.Figure("p_two_sided", tests.fisherTwoSided);
        w.Figure("p_one_sided", tests.fisherOneSided);
        json.EndObject();
    }
    json.Key("measures").BeginObject(true);
    w.Figure("phi", tests.phi);
    w.Figure("cramers_v", tests.cramersV);
    json.EndObject();
    json.Key("expected_below_5").BeginObject(true);
    json.Field("cells", tests.lowExpectedCells).Field("of_cells", tests.cells);
    w.Figure("minimum_expected", tests.minimumExpected);
    json.EndObject();
}

void CategoryFields(Writer& w, const StatsVariable& v, const CrossCategory& c) {
    w.Value(v, c.number, c.text);
    w.Text("value_text", c.valueText);
    w.Text("label", c.label, true);
    Missing(w.json, c.missing);
}

void MeansFields(Writer& w, const Means& m, const MeansGroup& g) {
    JsonWriter& json = w.json;
    json.Key("values").BeginArray(true);
    for (size_t i = 0; i < g.values.size(); ++i) {
        const CrossCategory* c = g.values[i];
        if (c)
            w.Bare(m.groupVariables[i], c->number, c->text);
        else
            json.Null();
    }
    json.EndArray();
    const MeansFigures& f = g.figures;
    w.Figure("n", f.n.weight);
    json.Field("cases", f.n.cases);
    w.Figure("mean", f.mean);
    w.Figure("sd", f.sd);
    w.Figure("se_mean", f.seMean);
    w.Figure("min", f.minimum);
    w.Figure("max", f.maximum);
    w.Figure("variance", f.variance);
    w.Figure("sum", f.sum);
    w.Figure("range", f.range);
    w.Figure("skewness", f.skewness);
    w.Figure("se_skewness", f.seSkewness);
    w.Figure("kurtosis", f.kurtosis);
    w.Figure("se_kurtosis", f.seKurtosis);
    w.Figure("median", f.median);
}

}  // namespace

std::string CrosstabJson(const CrosstabResult& result, const FileDictionary& dict,
                         CrosstabPercents percents, const std::string& encoding) {
    const Crosstab& t = result.table;
    std::string out;
    Writer w(out, encoding);
    JsonWriter& json = w.json;
    json.BeginObject();
    const auto side = [&](const char* key, const StatsVariable& v,
                          const std::vector<CrossCategory>& categories) {
        json.Key(key).BeginObject();
        w.VariableNames(v);
        json.Key("categories").BeginArray();
        for (const CrossCategory& c : categories) {
            json.BeginObject(true);
            CategoryFields(w, v, c);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    };
    side("row_variable", t.rowVariable, t.rows);
    side("column_variable", t.columnVariable, t.columns);
    w.Weight(dict, result.pass);
    json.Field("user_missing_included", t.includeUserMissing);
    CrosstabFields(w, t, percents);
    if (result.layerVariable) {
        json.Key("layer_variable").BeginObject();
        w.VariableNames(*result.layerVariable);
        json.EndObject();
        json.Key("layers").BeginArray();
        for (const CrossLayer& layer : result.layers) {
            json.BeginObject();
            CategoryFields(w, *result.layerVariable, layer.value);
            // The rows and columns that hold cases in this layer.
            json.Key("row_values").BeginArray(true);
            for (const CrossCategory& c : layer.table.rows) w.Bare(t.rowVariable, c.number, c.text);
            json.EndArray();
            json.Key("column_values").BeginArray(true);
            for (const CrossCategory& c : layer.table.columns)
                w.Bare(t.columnVariable, c.number, c.text);
            json.EndArray();
            CrosstabFields(w, layer.table, percents);
            json.EndObject();
        }
        json.EndArray();
    }
    json.EndObject();
    out += '\n';
    return out;
}

std::string MeansJson(const Means& m, const FileDictionary& dict, const PassResult& pass,
                      const std::string& encoding) {
    std::string out;
    Writer w(out, encoding);
    JsonWriter& json = w.json;
    json.BeginObject();
    json.Key("variable").BeginObject();
    w.VariableNames(m.variable);
    json.EndObject();
    json.Key("group_variables").BeginArray();
    for (size_t g = 0; g < m.groupVariables.size(); ++g) {
        json.BeginObject();
        w.VariableNames(m.groupVariables[g]);
        json.Key("categories").BeginArray();
        for (const CrossCategory& c : m.categories[g]) {
            json.BeginObject(true);
            CategoryFields(w, m.groupVariables[g], c);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    w.Weight(dict, pass);
    const auto list = [&](const char* key, const std::vector<MeansGroup>& groups) {
        json.Key(key).BeginArray();
        for (const MeansGroup& g : groups) {
            json.BeginObject(true);
            MeansFields(w, m, g);
            json.EndObject();
        }
        json.EndArray();
    };
    list("groups", m.groups);
    if (m.groupVariables.size() == 2) list("subtotals", m.subtotals);
    json.Key("total").BeginObject(true);
    MeansFields(w, m, m.total);
    json.EndObject();
    w.Figure("missing", m.missing.weight);
    json.Key("cases").BeginObject(true);
    json.Field("total", m.total.figures.n.cases).Field("missing", m.missing.cases);
    json.EndObject();
    json.Field("medians_lost", m.mediansLost);
    json.EndObject();
    out += '\n';
    return out;
}

}  // namespace lv
