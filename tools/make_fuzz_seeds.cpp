// Writes the fuzz target's seed files: our fixture sample in both byte orders
// and all three compressions, plus variants with every optional dictionary
// record, very long strings, long string labels and missing values, an
// unknown case count and no encoding, and the sample encrypted (password
// "fuzz") for the decrypting path.
//   make_fuzz_seeds OUTDIR
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/encrypted_sav.h"
#include "tests/support/savfixture.h"

namespace {

fixture::File WithLongStrings() {
    fixture::File f = fixture::SampleFile();
    f.variables.push_back(fixture::String("LONG300", 300));
    f.variables.back().missing.strings = {"none", "n/a"};
    fixture::ValueLabelSet labels;
    labels.variables = {static_cast<int>(f.variables.size()) - 1};
    labels.strings = {{"first", "The first long value"}};
    f.valueLabels.push_back(labels);
    for (fixture::Case& c : f.cases) c.push_back(std::string(290, 'x'));
    return f;
}

// Every optional dictionary record: documents, display parameters,
// attributes and roles, multiple-response sets of the three kinds, variable
// sets and product info.
fixture::File WithWholeDictionary() {
    fixture::File f = fixture::SampleFile();
    f.displayParameters = true;
    f.fileAttributes = {{"Origin", {"seed"}}, {"Note", {"a", "b"}}};
    f.variables[0].attributes = {{"Source", {"it's"}}};
    f.variables[0].role = 1;
    f.variables[1].role = 4;
    f.mrsets = {{"$cat", "Category", false, "", false, false, {0, 1}},
                {"$dich", "Dichotomy", true, "1", false, false, {0, 1}},
                {"$counted", "", true, "1", true, true, {0, 1}}};
    f.variableSets = {{"Set", {"ID", "SCORE"}}};
    f.productInfo = "seed\r\nproduct";
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    int n = 0;
    for (const fixture::Endian e : {fixture::Endian::Little, fixture::Endian::Big}) {
        for (const fixture::Compression c :
             {fixture::Compression::None, fixture::Compression::Bytecode,
              fixture::Compression::Zlib}) {
            fixture::File plain = fixture::SampleFile();
            fixture::File whole = WithWholeDictionary();
            fixture::File wide = WithLongStrings();
            fixture::File unknown = fixture::SampleFile();
            unknown.headerCaseCount = -1;
            unknown.encoding.clear();
            unknown.characterCode = 0;
            for (fixture::File* f : {&plain, &whole, &wide, &unknown}) {
                f->endian = e;
                f->compression = c;
                f->zlibBlockSize = 64;  // several blocks even for small data
                fixture::WriteFile(*f, dir + "/seed-" + std::to_string(n++) + ".sav");
            }
            // The decrypting path: the sample encrypted with the target's password.
            std::ofstream(dir + "/seed-" + std::to_string(n++) + ".sav", std::ios::binary)
                << fixture::Encrypt(fixture::Build(plain), "fuzz");
        }
    }
    std::printf("%d seed files in %s\n", n, dir.c_str());
    return 0;
}
