#include "tests/savio/writer_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "savio/spssfio.h"

namespace writertest {
namespace {

std::vector<char> Buffer(size_t n) {
    return std::vector<char>(n, '\0');
}

// "Name[2]" entries of an attribute list back into arrays, in order.
std::vector<w::Attribute> Grouped(char** names, char** values, int n, std::optional<int>* role) {
    std::vector<w::Attribute> out;
    for (int i = 0; i < n; ++i) {
        std::string name = names[i];
        const size_t bracket = name.find('[');
        if (bracket != std::string::npos && name.back() == ']') name.resize(bracket);
        if (name == "$@Role" && role) {
            *role = std::atoi(values[i]);
            continue;
        }
        if (out.empty() || out.back().name != name || bracket == std::string::npos ||
            std::string(names[i]).substr(bracket) == "[1]")
            out.push_back({name, {}});
        out.back().values.push_back(values[i]);
    }
    return out;
}

std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

w::Format ReadFormat(int h, const char* name, bool print) {
    w::Format f;
    (print ? spssGetVarPrintFormat : spssGetVarWriteFormat)(h, name, &f.type, &f.decimals,
                                                            &f.width);
    return f;
}

w::Variable ReadVariable(int h, const char* shortName, int width) {
    w::Variable v;
    v.width = width;
    std::vector<char> buf = Buffer(1 << 16);
    spssGetVarLongName(h, shortName, buf.data(), int(buf.size()));
    v.name = buf.data();
    if (spssGetVarFullLabel(h, shortName, buf.data(), int(buf.size())) == 0) v.label = buf.data();
    v.print = ReadFormat(h, shortName, true);
    v.write = ReadFormat(h, shortName, false);
    int code = 0;
    if (width == 0) {
        double d[3];
        spssGetVarNMissingValues(h, shortName, &code, &d[0], &d[1], &d[2]);
        if (code < 0) v.missing.range = std::make_pair(d[0], d[1]);
        if (code == -3) v.missing.values = {d[2]};
        if (code > 0) v.missing.values.assign(d, d + code);
        double* values = nullptr;
        char** labels = nullptr;
        int n = 0;
        if (spssGetVarNValueLabels(h, shortName, &values, &labels, &n) == 0)
            for (int i = 0; i < n; ++i) v.numberLabels.emplace_back(values[i], labels[i]);
        spssFreeVarNValueLabels(values, labels, n);
    } else {
        char m[3][SPSS_STRING_MISSING_SIZE];
        spssGetVarCMissingValues(h, shortName, &code, m[0], m[1], m[2]);
        for (int i = 0; i < code; ++i) v.missing.strings.push_back(m[i]);
        char** values = nullptr;
        char** labels = nullptr;
        int n = 0;
        if (spssGetVarCValueLabels(h, shortName, &values, &labels, &n) == 0)
            for (int i = 0; i < n; ++i) v.stringLabels.emplace_back(values[i], labels[i]);
        spssFreeVarCValueLabels(values, labels, n);
    }
    spssGetVarMeasureLevel(h, shortName, &v.measure);
    spssGetVarColumnWidth(h, shortName, &v.columnWidth);
    v.columnWidth = std::max(0, v.columnWidth);
    spssGetVarAlignment(h, shortName, &v.alignment);
    char** names = nullptr;
    char** values = nullptr;
    int n = 0;
    spssGetVarAttributes(h, shortName, &names, &values, &n);
    v.attributes = Grouped(names, values, n, &v.role);
    spssFreeAttributes(names, values, n);
    return v;
}

}  // namespace

w::FileSpec ReadSpecOf(int h) {
    w::FileSpec spec;
    std::vector<char> buf = Buffer(1 << 16);
    spssGetSystemString(h, buf.data());
    spec.product = buf.data();
    spssGetIdString(h, buf.data());
    spec.fileLabel = buf.data();
    spssGetFileEncoding(h, buf.data(), int(buf.size()));
    spec.encoding = buf.data();
    int n = 0;
    spssGetNumberofVariables(h, &n);
    std::map<std::string, int> byShortName;
    for (int i = 0; i < n; ++i) {
        char name[SPSS_VAR_NAME_SIZE];
        int width = 0;
        spssGetVarInfo(h, i, name, &width);
        byShortName[name] = i;
        spec.variables.push_back(ReadVariable(h, name, width));
    }
    char weight[SPSS_WEIGHT_NAME_SIZE];
    if (spssGetCaseWeightVar(h, weight) == 0) spec.weightVariable = byShortName[weight];
    char** lines = nullptr;
    int count = 0;
    spssGetFileDocuments(h, &lines, &count);
    spec.documents.assign(lines, lines + count);
    spssFreeFileDocuments(lines, count);
    char** names = nullptr;
    char** values = nullptr;
    spssGetFileAttributes(h, &names, &values, &count);
    spec.fileAttributes = Grouped(names, values, count, nullptr);
    spssFreeAttributes(names, values, count);
    spssMultRespSet* sets = nullptr;
    spssGetMultRespSets(h, &sets, &count);
    for (int i = 0; i < count; ++i) {
        const spssMultRespSet& s = sets[i];
        w::MultipleResponseSet m{s.name,
                                 s.label,
                                 s.kind == SPSS_MRSET_DICHOTOMY,
                                 s.countedValue,
                                 s.countedValueLabels != 0,
                                 s.labelFromFirstVar != 0,
                                 {}};
        for (int k = 0; k < s.numVars; ++k) m.variables.push_back(byShortName[s.varNames[k]]);
        spec.multipleResponseSets.push_back(m);
    }
    spssFreeMultRespSets(sets, count);
    spssVarSet* varSets = nullptr;
    const int st = spssGetVariableSets(h, &varSets, &count);
    spec.writeVariableSets = st != SPSS_NO_VARSETS;
    for (int i = 0; st == 0 && i < count; ++i) {
        w::VariableSet s{varSets[i].name, {}};
        for (int k = 0; k < varSets[i].numVars; ++k)
            s.variables.push_back(byShortName[varSets[i].varNames[k]]);
        spec.variableSets.push_back(s);
    }
    spssFreeVariableSets(varSets, count);
    char* info = nullptr;
    spssGetProductInfo(h, &info);
    spec.productInfo = info ? info : "";
    spssFreeProductInfo(info);
    return spec;
}

bool ReadSpec(const std::string& path, w::FileSpec* spec) {
    int h = 0;
    if (spssOpenRead(path.c_str(), &h) != 0) return false;
    *spec = ReadSpecOf(h);
    spssCloseRead(h);
    return true;
}

std::string DictionaryText(const w::FileSpec& spec) {
    std::ostringstream out;
    const auto resolved = [](const w::Variable& v, w::Format f) {
        if (f.type == 0)
            f = v.width == 0 ? w::Format{SPSS_FMT_F, 8, 2} : w::Format{SPSS_FMT_A, v.width, 0};
        if (v.width > 255) f.width = std::min(f.width, 255);
        return f;
    };
    const auto format = [&](const w::Variable& v, w::Format f) {
        f = resolved(v, f);
        return std::to_string(f.type) + "." + std::to_string(f.width) + "." +
               std::to_string(f.decimals);
    };
    const auto number = [](double d) {
        char text[64];
        std::snprintf(text, sizeof text, "%.17g/%016llx", d,
                      static_cast<unsigned long long>(std::bit_cast<uint64_t>(d)));
        return std::string(text);
    };
    const auto attributes = [&](const std::vector<w::Attribute>& list) {
        for (const w::Attribute& a : list) {
            out << " " << a.name << "(";
            for (const std::string& value : a.values) out << "'" << value << "'";
            out << ")";
        }
        out << "\n";
    };
    out << "label [" << Trimmed(spec.fileLabel) << "] encoding " << spec.encoding << " weight "
        << spec.weightVariable << "\n";
    for (const w::Variable& v : spec.variables) {
        const bool number_ = v.width == 0;
        const w::Format print = v.print;
        out << v.name << " width " << v.width << " print " << format(v, print) << " write "
            << format(v, v.write.type ? v.write : print) << " label "
            << (v.label ? "[" + *v.label + "]" : "none") << "\n  measure "
            << (v.measure ? v.measure
                : number_ ? 3
                          : 1)
            << " columns "
            << (v.columnWidth ? v.columnWidth : std::max(1, resolved(v, print).width)) << " align "
            << (v.alignment >= 0 ? v.alignment
                : number_        ? 1
                                 : 0)
            << " role " << (v.role ? *v.role : -1) << "\n  missing";
        if (v.missing.range)
            out << " " << number(v.missing.range->first) << " thru "
                << number(v.missing.range->second);
        for (double d : v.missing.values) out << " " << number(d);
        for (const std::string& s : v.missing.strings) out << " [" << Trimmed(s) << "]";
        out << "\n  labels";
        for (const auto& [value, label] : v.numberLabels)
            out << " " << number(value) << "=[" << label << "]";
        for (const auto& [value, label] : v.stringLabels)
            out << " [" << Trimmed(value) << "]=[" << label << "]";
        out << "\n  attributes";
        attributes(v.attributes);
    }
    for (const std::string& line : spec.documents) out << "doc [" << line << "]\n";
    out << "file attributes";
    attributes(spec.fileAttributes);
    for (const w::MultipleResponseSet& s : spec.multipleResponseSets) {
        out << "mrset " << s.name << " [" << s.label << "] " << s.dichotomy << " ["
            << s.countedValue << "] " << s.countedValueLabels << s.labelFromVariable;
        for (int v : s.variables) out << " " << v;
        out << "\n";
    }
    out << "variable sets " << spec.writeVariableSets;
    for (const w::VariableSet& s : spec.variableSets) {
        out << " " << s.name << "(";
        for (int v : s.variables) out << " " << v;
        out << ")";
    }
    out << "\nproduct info [" << spec.productInfo << "]\n";
    return out.str();
}

long long CopyCases(int h, w::Writer& writer) {
    int n = 0;
    spssGetNumberofVariables(h, &n);
    std::vector<double> handles(static_cast<size_t>(n));
    std::vector<int> widths(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        char name[SPSS_VAR_NAME_SIZE];
        spssGetVarInfo(h, i, name, &widths[size_t(i)]);
        spssGetVarHandle(h, name, &handles[size_t(i)]);
    }
    std::vector<char> buf = Buffer(40000);
    long long cases = 0;
    while (spssReadCaseRecord(h) == 0) {
        for (size_t i = 0; i < size_t(n); ++i) {
            if (widths[i]) {
                spssGetValueChar(h, handles[i], buf.data(), int(buf.size()));
                writer.SetString(i, std::string_view(buf.data(), size_t(widths[i])));
            } else {
                double d = 0;
                spssGetValueNumeric(h, handles[i], &d);
                writer.SetNumber(i, d);
            }
        }
        writer.EndCase();
        ++cases;
    }
    return cases;
}

int Rewrite(const std::string& source, const std::string& out, savio::Compression compression) {
    int h = 0;
    const int st = spssOpenRead(source.c_str(), &h);
    if (st != 0) return st;
    w::FileSpec spec = ReadSpecOf(h);
    spec.product = "Lorivane test";
    spec.created = {2026, 12, 8, 12, 34, 56};
    spec.compression = compression;
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int result = 0;
    try {
        w::FdSink sink(fd);
        w::Writer writer(spec, sink);
        CopyCases(h, writer);
        writer.Finish();
    } catch (const w::WriteError& e) {
        ADD_FAILURE() << source << ": " << e.what();
        result = -1;
    }
    ::close(fd);
    spssCloseRead(h);
    return result;
}

long long ExpectSameCases(const std::string& a, const std::string& b) {
    int ha = 0, hb = 0;
    EXPECT_EQ(spssOpenRead(a.c_str(), &ha), 0) << a;
    EXPECT_EQ(spssOpenRead(b.c_str(), &hb), 0) << b;
    int n = 0, nb = 0;
    spssGetNumberofVariables(ha, &n);
    spssGetNumberofVariables(hb, &nb);
    EXPECT_EQ(n, nb);
    std::vector<double> handlesA(static_cast<size_t>(n)), handlesB(static_cast<size_t>(n));
    std::vector<int> widths(static_cast<size_t>(n));
    for (int i = 0; i < n && i < nb; ++i) {
        char name[SPSS_VAR_NAME_SIZE];
        int width = 0;
        spssGetVarInfo(ha, i, name, &widths[size_t(i)]);
        spssGetVarHandle(ha, name, &handlesA[size_t(i)]);
        spssGetVarInfo(hb, i, name, &width);
        spssGetVarHandle(hb, name, &handlesB[size_t(i)]);
    }
    std::vector<char> bufA = Buffer(40000), bufB = Buffer(40000);
    // The first variable whose cell differs in the current case, or -1.
    const auto firstDifference = [&]() -> long {
        for (size_t i = 0; i < widths.size(); ++i) {
            if (widths[i]) {
                spssGetValueChar(ha, handlesA[i], bufA.data(), int(bufA.size()));
                spssGetValueChar(hb, handlesB[i], bufB.data(), int(bufB.size()));
                if (std::memcmp(bufA.data(), bufB.data(), size_t(widths[i])) != 0) return long(i);
            } else {
                double x = 0, y = 0;
                spssGetValueNumeric(ha, handlesA[i], &x);
                spssGetValueNumeric(hb, handlesB[i], &y);
                if (std::bit_cast<uint64_t>(x) != std::bit_cast<uint64_t>(y)) return long(i);
            }
        }
        return -1;
    };
    long long cases = 0;
    int stA = 0, stB = 0;
    for (;; ++cases) {
        stA = spssReadCaseRecord(ha);
        stB = spssReadCaseRecord(hb);
        if (stA != 0 || stB != 0) break;
        if (const long i = firstDifference(); i >= 0) {
            ADD_FAILURE() << b << ": case " << cases << " variable " << i << " differs";
            break;
        }
    }
    EXPECT_EQ(stA, stB) << b << " ends elsewhere than " << a << " after " << cases << " cases";
    spssCloseRead(ha);
    spssCloseRead(hb);
    return cases;
}

namespace {

void WriteCases(w::Writer& writer, const std::vector<std::vector<Cell>>& cases) {
    for (const auto& c : cases) {
        for (size_t i = 0; i < c.size(); ++i) {
            if (const double* d = std::get_if<double>(&c[i]))
                writer.SetNumber(i, *d);
            else
                writer.SetString(i, std::get<std::string>(c[i]));
        }
        writer.EndCase();
    }
    writer.Finish();
}

}  // namespace

void WriteFile(const w::FileSpec& spec, const std::vector<std::vector<Cell>>& cases,
               const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path;
    try {
        w::FdSink sink(fd);
        w::Writer writer(spec, sink);
        WriteCases(writer, cases);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
}

std::string WriteBytes(const w::FileSpec& spec, const std::vector<std::vector<Cell>>& cases,
                       bool rewritable) {
    std::string bytes;
    w::CallbackSink sink(
        [&](const uint8_t* p, size_t n) {
            bytes.append(reinterpret_cast<const char*>(p), n);
            return true;
        },
        rewritable ? w::CallbackSink::RewriteFn([&](uint64_t at, const uint8_t* p, size_t n) {
            if (at + n > bytes.size()) return false;
            bytes.replace(size_t(at), n, reinterpret_cast<const char*>(p), n);
            return true;
        })
                   : nullptr);
    w::Writer writer(spec, sink);
    WriteCases(writer, cases);
    return bytes;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace writertest
