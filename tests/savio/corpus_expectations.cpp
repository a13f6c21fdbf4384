// Reads the TAB-separated expectation files of the corpus conformance tests.
#include "tests/savio/corpus_expectations.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace corpus {
namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) out.push_back(field);
    if (!line.empty() && line.back() == '\t') out.push_back("");
    return out;
}

void ParseFormat(const std::string& text, int out[3]) {
    std::istringstream in(text);
    in >> out[0] >> out[1] >> out[2];
}

}  // namespace

std::string ExpectedDir() {
    // From the configured source folder, not __FILE__: a compiler launcher
    // may pass the source by a relative path, which then depends on where
    // the suite is started.
    return (std::filesystem::path(LORIVANE_SOURCE_DIR) / "tests/savio/corpus_expected").string();
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() + 0 && text[i + 1] == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

Expected LoadExpected(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    Expected e;
    std::map<std::string, size_t> byName;
    auto var = [&](const std::string& escaped) -> ExpectedVariable& {
        auto it = byName.find(escaped);
        if (it == byName.end()) throw std::runtime_error("unknown variable " + escaped);
        return e.vars[it->second];
    };
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f = Fields(line);
        if (f.size() < 2) continue;
        const std::string& tag = f[0];
        if (tag == "cases") {
            e.cases = std::stoi(f[1]);
        } else if (tag == "variables") {
            e.variables = std::stoi(f[1]);
        } else if (tag == "compression") {
            e.compression = std::stoi(f[1]);
        } else if (tag == "weight") {
            e.weight = f[1] == "-" ? "-" : Unescape(f[1]);
        } else if (tag == "var" && f.size() >= 6) {
            ExpectedVariable v;
            v.shortName = Unescape(f[1]);
            v.longName = f[2] == "-" ? "-" : Unescape(f[2]);
            v.width = std::stoi(f[3]);
            ParseFormat(f[4], v.print);
            ParseFormat(f[5], v.write);
            byName[f[1]] = e.vars.size();
            e.vars.push_back(v);
        } else if (tag == "label" && f.size() >= 3) {
            var(f[1]).hasLabel = true;
            var(f[1]).label = Unescape(f[2]);
        } else if ((tag == "nmissing" || tag == "cmissing") && f.size() >= 3) {
            ExpectedVariable& v = var(f[1]);
            v.hasMissing = true;
            v.missingCode = std::stoi(f[2]);
            for (size_t i = 3; i < f.size(); ++i) v.missing.push_back(Unescape(f[i]));
        } else if (tag == "nlabels") {
            var(f[1]).labelCount = std::stoi(f[2]);
        } else if ((tag == "nlabel" || tag == "clabel") && f.size() >= 4) {
            var(f[1]).labels.emplace_back(Unescape(f[2]), Unescape(f[3]));
        } else if (tag == "first" || tag == "last") {
            ExpectedVariable& v = var(f[1]);
            std::string value = f.size() >= 3 ? Unescape(f[2]) : "";
            if (tag == "first") {
                v.first = value;
                v.hasFirst = true;
            } else {
                v.last = value;
                v.hasLast = true;
            }
        }
    }
    return e;
}

}  // namespace corpus
