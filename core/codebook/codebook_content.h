// The content of a codebook, apart from how it is drawn: the title page's
// facts, and for each chosen variable its dictionary entry, its values with
// their counts and percents (weighted and of cases), its missing counts, the
// statistics of a scale variable and the data of a small chart. Every
// count comes from one pass over the cases for all variables at once
// (RunFrequencies, with a bounded tally per variable); the sections are made
// one at a time from the dictionary and the tables (SectionOf), so that a
// writer can stream a document of any number of variables. Every text is
// UTF-8, decoded from the file's encoding; the writers escape it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/dictionary/file_dictionary.h"
#include "core/stats/frequencies.h"

namespace lv {

// Values listed one by one up to this many valid values; a variable of
// more shows its distinct count and its most frequent values.
inline constexpr size_t kCodebookListedValues = 60;
// The most frequent values a summarised variable shows.
inline constexpr size_t kCodebookFrequentValues = 10;
// Bars drawn at most (a labelled or few-valued variable).
inline constexpr size_t kCodebookBars = 30;

struct CodebookChoice {
    bool weighted = true;   // by the file's weight variable, when it has one
    std::string encoding;   // the file's texts are decoded with it
    std::string condition;  // the condition that chose the cases (UTF-8), empty for all
};

struct CodebookFact {
    std::string caption;  // Japanese
    std::string text;
};

struct CodebookValueRow {
    std::string value;  // as shown
    std::string label;  // empty when none
    MissingKind missing = MissingKind::None;
    bool numeric = false;
    double number = 0;        // numeric variables
    Amount amount;            // weighted count and cases
    double percent = 0;       // of all cases, weighted
    double casePercent = 0;   // of all cases, counted unweighted
    double validPercent = 0;  // NaN for missing values
};

struct CodebookStatistic {
    std::string key;  // as freq --json names it
    std::string caption;
    std::string text;  // dates and durations as such
    double number = 0;
};

struct CodebookChart {
    enum class Kind { None, Bars, Histogram };
    Kind kind = Kind::None;
    struct Bar {
        std::string caption;
        double weight = 0;
    };
    std::vector<Bar> bars;
    Histogram histogram;
    std::string low, high;  // Histogram: the extremes as shown
};

struct CodebookSection {
    int position = 0;    // 1-based dictionary position
    std::string anchor;  // an id of ASCII letters and digits
    std::string name, longName, label;
    std::vector<CodebookFact> facts;  // type, formats, measure, ...
    // Listed: every value with a case, and labelled values without one;
    // else the most frequent values, then the labelled ones.
    bool listed = true;
    size_t distinct = 0;
    bool distinctExact = true;
    std::vector<CodebookValueRow> values;
    std::vector<CodebookValueRow> frequent;  // summarised variables
    // The frequent values are the most frequent of the smallest
    // frequentAmong values (the tally held no more), not of every value.
    bool frequentOfListed = false;
    size_t frequentAmong = 0;
    std::string missingDeclared;  // the user-missing values and ranges
    Amount valid, userMissing, systemMissing, total;
    std::vector<CodebookStatistic> statistics;  // scale variables
    CodebookChart chart;
};

struct CodebookSetRow {
    std::string caption;  // a variable or a value
    std::string label;
    bool counted = false;  // false when its variable is not in the codebook
    Amount amount;
};

struct CodebookSet {
    std::string name, label, kind;
    std::vector<std::string> variables;
    std::vector<CodebookSetRow> rows;
    // Multiple-response sets: the cases with at least one response (the
    // counted value of a dichotomy, any valid value of a category set),
    // counted when every member is in the codebook.
    bool respondersCounted = false;
    Amount responders;
};

struct CodebookContent {
    const FileDictionary* dict = nullptr;
    CodebookChoice choice;
    std::vector<int> variables;  // in dictionary order
    FrequencyResult frequencies;
    int64_t casesChosen = -1;  // -1: every case
    // Per multiple-response set of the dictionary: its cases with at least
    // one response, from the same pass (none when a member is not chosen).
    std::vector<std::optional<Amount>> responders;
};

// The tables of variables (indices into dict.variables; empty for every
// variable), in one pass (through file when given, see ReadCasesOnce).
// The pass's outcome is in result.frequencies.pass.
CodebookContent BuildCodebook(const FileDictionary& dict, std::vector<int> variables,
                              CodebookChoice choice, Progress* progress = nullptr,
                              const CaseNumbers* selected = nullptr,
                              const ReaderHandle* file = nullptr);

std::vector<CodebookFact> TitleFacts(const CodebookContent& content);
// The documents' lines.
std::vector<std::string> DocumentLines(const CodebookContent& content);
// The i-th chosen variable's section.
CodebookSection SectionOf(const CodebookContent& content, size_t i);
// The multiple-response sets with the counts of their members; the
// variable sets with their variables in `variables`.
std::vector<CodebookSet> MultipleResponseSets(const CodebookContent& content);
std::vector<CodebookSet> VariableSets(const CodebookContent& content);

}  // namespace lv
