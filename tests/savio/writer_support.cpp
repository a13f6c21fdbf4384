#include "tests/savio/writer_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "savio/spssfio.h"

namespace writertest {
namespace {

// Attribute entries ("Name[2]" for arrays) grouped back into attributes;
// $@Role goes to *role.
std::vector<w::Attribute> Grouped(char** names, char** values, int n, std::optional<int>* role) {
    std::vector<w::Attribute> out;
    for (int i = 0; i < n; ++i) {
        std::string name = names[i];
        const size_t bracket = name.find('[');
        const bool first = bracket == std::string::npos || name.substr(bracket) == "[1]";
        name = name.substr(0, bracket);
        if (name == "$@Role" && role)
            *role = std::atoi(values[i]);
        else if (first || out.empty())
            out.push_back({name, {values[i]}});
        else
            out.back().values.push_back(values[i]);
    }
    return out;
}

w::Variable ReadVariable(int h, const char* name, int width) {
    w::Variable v;
    v.width = width;
    std::vector<char> buf(1 << 16);
    spssGetVarLongName(h, name, buf.data(), int(buf.size()));
    v.name = buf.data();
    if (spssGetVarFullLabel(h, name, buf.data(), int(buf.size())) == 0) v.label = buf.data();
    spssGetVarPrintFormat(h, name, &v.print.type, &v.print.decimals, &v.print.width);
    spssGetVarWriteFormat(h, name, &v.write.type, &v.write.decimals, &v.write.width);
    int code = 0, n = 0;
    char** labels = nullptr;
    if (width == 0) {
        double d[3], *values = nullptr;
        spssGetVarNMissingValues(h, name, &code, &d[0], &d[1], &d[2]);
        if (code < 0) v.missing.range = std::make_pair(d[0], d[1]);
        v.missing.values.assign(d + (code < 0 ? 2 : 0), d + (code == -3 ? 3 : code < 0 ? 2 : code));
        spssGetVarNValueLabels(h, name, &values, &labels, &n);
        for (int i = 0; i < n; ++i) v.numberLabels.emplace_back(values[i], labels[i]);
        spssFreeVarNValueLabels(values, labels, n);
    } else {
        char m[3][SPSS_STRING_MISSING_SIZE];
        char** values = nullptr;
        spssGetVarCMissingValues(h, name, &code, m[0], m[1], m[2]);
        v.missing.strings.assign(m, m + code);
        spssGetVarCValueLabels(h, name, &values, &labels, &n);
        for (int i = 0; i < n; ++i) v.stringLabels.emplace_back(values[i], labels[i]);
        spssFreeVarCValueLabels(values, labels, n);
    }
    spssGetVarMeasureLevel(h, name, &v.measure);
    spssGetVarColumnWidth(h, name, &v.columnWidth);
    v.columnWidth = std::max(0, v.columnWidth);
    spssGetVarAlignment(h, name, &v.alignment);
    char** names = nullptr;
    spssGetVarAttributes(h, name, &names, &labels, &n);
    v.attributes = Grouped(names, labels, n, &v.role);
    spssFreeAttributes(names, labels, n);
    return v;
}

w::FileSpec ReadSpecOf(int h) {
    w::FileSpec spec;
    std::vector<char> buf(1 << 16);
    spssGetIdString(h, buf.data());
    spec.fileLabel = buf.data();
    spssGetFileEncoding(h, buf.data(), int(buf.size()));
    spec.encoding = buf.data();
    int n = 0;
    spssGetNumberofVariables(h, &n);
    std::map<std::string, int> index;  // by short name
    for (int i = 0; i < n; ++i) {
        char name[SPSS_VAR_NAME_SIZE];
        int width = 0;
        spssGetVarInfo(h, i, name, &width);
        index[name] = i;
        spec.variables.push_back(ReadVariable(h, name, width));
    }
    char weight[SPSS_WEIGHT_NAME_SIZE];
    if (spssGetCaseWeightVar(h, weight) == 0) spec.weightVariable = index[weight];
    char **names = nullptr, **values = nullptr;
    spssGetFileDocuments(h, &names, &n);
    spec.documents.assign(names, names + n);
    spssFreeFileDocuments(names, n);
    spssGetFileAttributes(h, &names, &values, &n);
    spec.fileAttributes = Grouped(names, values, n, nullptr);
    spssFreeAttributes(names, values, n);
    spssMultRespSet* sets = nullptr;
    spssGetMultRespSets(h, &sets, &n);
    for (const spssMultRespSet& s : std::vector<spssMultRespSet>(sets, sets + n)) {
        spec.multipleResponseSets.push_back({s.name,
                                             s.label,
                                             s.kind == SPSS_MRSET_DICHOTOMY,
                                             s.countedValue,
                                             s.countedValueLabels != 0,
                                             s.labelFromFirstVar != 0,
                                             {}});
        for (int k = 0; k < s.numVars; ++k)
            spec.multipleResponseSets.back().variables.push_back(index[s.varNames[k]]);
    }
    spssFreeMultRespSets(sets, n);
    spssVarSet* varSets = nullptr;
    const int st = spssGetVariableSets(h, &varSets, &n);
    spec.writeVariableSets = st != SPSS_NO_VARSETS;
    for (int i = 0; st == 0 && i < n; ++i) {
        spec.variableSets.push_back({varSets[i].name, {}});
        for (int k = 0; k < varSets[i].numVars; ++k)
            spec.variableSets.back().variables.push_back(index[varSets[i].varNames[k]]);
    }
    spssFreeVariableSets(varSets, n);
    char* info = nullptr;
    spssGetProductInfo(h, &info);
    spec.productInfo = info ? info : "";
    spssFreeProductInfo(info);
    return spec;
}

// Sets one case's cells in the writer.
void SetCase(w::Writer& writer, const std::vector<Cell>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (const double* d = std::get_if<double>(&cells[i]))
            writer.SetNumber(i, *d);
        else
            writer.SetString(i, std::get<std::string>(cells[i]));
    }
    writer.EndCase();
}

}  // namespace

bool ReadSpec(const std::string& path, w::FileSpec* spec) {
    int h = 0;
    if (spssOpenRead(path.c_str(), &h) != 0) return false;
    *spec = ReadSpecOf(h);
    spssCloseRead(h);
    return true;
}

std::string DictionaryText(const w::FileSpec& spec) {
    std::ostringstream out;
    const auto trimmed = [](std::string s) { return s.erase(s.find_last_not_of(' ') + 1); };
    const auto format = [](const w::Variable& v, w::Format f) {
        if (f.type == 0)
            f = v.width == 0 ? w::Format{SPSS_FMT_F, 8, 2} : w::Format{SPSS_FMT_A, v.width, 0};
        return w::Format{f.type, v.width > 255 ? std::min(f.width, 255) : f.width, f.decimals};
    };
    const auto text = [](const w::Format& f) {
        return std::to_string(f.type) + "." + std::to_string(f.width) + "." +
               std::to_string(f.decimals);
    };
    const auto number = [](double d) {
        char t[64];
        std::snprintf(t, sizeof t, "%.17g/%016llx", d,
                      (unsigned long long)std::bit_cast<uint64_t>(d));
        return std::string(t);
    };
    const auto attributes = [&](const std::vector<w::Attribute>& list) {
        for (const w::Attribute& a : list) {
            out << " " << a.name << "(";
            for (const std::string& value : a.values) out << "'" << value << "'";
            out << ")";
        }
        out << "\n";
    };
    out << "[" << trimmed(spec.fileLabel) << "] " << spec.encoding << " " << spec.weightVariable
        << "\n";
    for (const w::Variable& v : spec.variables) {
        const w::Format print = format(v, v.print);
        out << v.name << " " << v.width << " " << text(print) << " "
            << text(v.write.type ? format(v, v.write) : print) << " "
            << (v.label ? "[" + *v.label + "]" : "-") << " measure "
            << (v.measure ? v.measure
                : v.width ? 1
                          : 3)
            << " columns " << (v.columnWidth ? v.columnWidth : std::max(1, print.width))
            << " align "
            << (v.alignment >= 0 ? v.alignment
                : v.width        ? 0
                                 : 1)
            << " role " << (v.role ? *v.role : -1) << "\n  missing";
        if (v.missing.range)
            out << " " << number(v.missing.range->first) << "-" << number(v.missing.range->second);
        for (double d : v.missing.values) out << " " << number(d);
        for (const std::string& s : v.missing.strings) out << " [" << trimmed(s) << "]";
        out << "\n  labels";
        for (const auto& [value, label] : v.numberLabels)
            out << " " << number(value) << "=[" << label << "]";
        for (const auto& [value, label] : v.stringLabels)
            out << " [" << trimmed(value) << "]=[" << label << "]";
        out << "\n ";
        attributes(v.attributes);
    }
    for (const std::string& line : spec.documents) out << "doc [" << line << "]\n";
    out << "file";
    attributes(spec.fileAttributes);
    for (const w::MultipleResponseSet& s : spec.multipleResponseSets) {
        out << s.name << " [" << s.label << "] " << s.dichotomy << " [" << s.countedValue << "] "
            << s.countedValueLabels << s.labelFromVariable;
        for (int v : s.variables) out << " " << v;
        out << "\n";
    }
    out << "sets " << spec.writeVariableSets;
    for (const w::VariableSet& s : spec.variableSets) {
        out << " " << s.name << "(";
        for (int v : s.variables) out << " " << v;
        out << ")";
    }
    out << "\ninfo [" << spec.productInfo << "]\n";
    return out.str();
}

bool Rewrite(const std::string& source, const std::string& out, savio::Compression compression) {
    int h = 0;
    if (spssOpenRead(source.c_str(), &h) != 0) return false;
    w::FileSpec spec = ReadSpecOf(h);
    spec.product = "Lorivane test";
    spec.created = {2026, 12, 8, 12, 34, 56};
    spec.compression = compression;
    int n = 0;
    spssGetNumberofVariables(h, &n);
    std::vector<double> handles(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        char name[SPSS_VAR_NAME_SIZE];
        int width = 0;
        spssGetVarInfo(h, i, name, &width);
        spssGetVarHandle(h, name, &handles[size_t(i)]);
    }
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok = true;
    try {
        w::FdSink sink(fd);
        w::Writer writer(spec, sink);
        std::vector<char> buf(40000);
        while (spssReadCaseRecord(h) == 0) {
            for (size_t i = 0; i < size_t(n); ++i) {
                if (const int width = spec.variables[i].width) {
                    spssGetValueChar(h, handles[i], buf.data(), int(buf.size()));
                    writer.SetString(i, std::string_view(buf.data(), size_t(width)));
                } else {
                    double d = 0;
                    spssGetValueNumeric(h, handles[i], &d);
                    writer.SetNumber(i, d);
                }
            }
            writer.EndCase();
        }
        writer.Finish();
    } catch (const w::WriteError& e) {
        ADD_FAILURE() << source << ": " << e.what();
        ok = false;
    }
    ::close(fd);
    spssCloseRead(h);
    return ok;
}

std::string WriteBytes(const w::FileSpec& spec, const std::vector<std::vector<Cell>>& cases,
                       bool rewritable) {
    std::string bytes;
    const auto append = [&](const uint8_t* p, size_t n) {
        bytes.append(reinterpret_cast<const char*>(p), n);
        return true;
    };
    const auto rewrite = [&](uint64_t at, const uint8_t* p, size_t n) {
        if (at + n > bytes.size()) return false;
        bytes.replace(size_t(at), n, reinterpret_cast<const char*>(p), n);
        return true;
    };
    w::CallbackSink sink(append, rewritable ? w::CallbackSink::RewriteFn(rewrite) : nullptr);
    w::Writer writer(spec, sink);
    for (const auto& c : cases) SetCase(writer, c);
    writer.Finish();
    return bytes;
}

void WriteFile(const w::FileSpec& spec, const std::vector<std::vector<Cell>>& cases,
               const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path;
    w::FdSink sink(fd);
    w::Writer writer(spec, sink);
    for (const auto& c : cases) SetCase(writer, c);
    writer.Finish();
    ::close(fd);
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace writertest
