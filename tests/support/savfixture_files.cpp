// Writing fixtures to disk, temporary directories, and the sample file.
#include <stdlib.h>

#include <fstream>
#include <stdexcept>

#include "tests/support/savfixture.h"

namespace fixture {

std::string WriteFile(const File& f, const std::string& path) {
    std::string bytes = Build(f);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("fixture: cannot write " + path);
    return path;
}

std::string TempDir() {
    std::string pattern = "/tmp/lorivane-test-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("fixture: mkdtemp failed");
    return pattern;
}

File SampleFile() {
    File f;
    f.fileLabel = "Sample fixture";
    f.documents = {"First document line.", "Second document line."};

    Variable id = Numeric("ID", Format{5, 8, 0});
    id.label = "Respondent";
    id.longName = "RespondentId";
    id.missing.discrete = {-9, -8, -7};

    Variable score = Numeric("SCORE", Format{5, 9, 2});
    score.label = "Score";
    score.missing.range = std::make_pair(kLowest, -1.0);

    Variable name = String("NAME", 8);
    name.label = "First name";
    name.missing.strings = {"none"};

    Variable city = String("CITY", 20);
    city.label = "City of birth";
    city.longName = "CityOfBirth";
    city.missing.strings = {"unknown"};

    Variable born = Numeric("BORN", Format{20, 11, 0});
    born.label = "Date of birth";

    Variable r2 = Numeric("R2", Format{5, 8, 2});
    r2.missing.range = std::make_pair(100.0, kHighest);

    Variable r3 = Numeric("R3", Format{5, 8, 2});
    r3.missing.range = std::make_pair(10.0, 20.0);
    r3.missing.discrete = {99};

    Variable code = String("CODE", 3);
    code.missing.strings = {"X", "Y"};

    Variable weight = Numeric("W", Format{5, 4, 1});

    f.variables = {id, score, name, city, born, r2, r3, code, weight};
    f.weightVariable = 8;

    f.valueLabels = {
        {{0}, {{1, "one"}, {2, "two"}, {3, "three"}}, {}},
        {{2}, {}, {{"Alice", "Alice A."}, {"Bob", "Bob B."}}},
        {{3}, {}, {{"Paris", "Capital of France"}}},
        {{5, 6}, {{0, "zero"}, {1, "unit"}}, {}},
        {{7}, {}, {{"abc", "letters"}}},
    };

    // 13203129600 = 2001-03-05; 12219379200 = 1970-01-01.
    f.cases = {
        {1.0, 3.5, std::string("Alice"), std::string("Paris"), 13203129600.0, 151.0, -99.0,
         std::string("abc"), 1.0},
        {2.0, kSysmis, std::string(""), std::string("Nowhere in particula"), 12219379200.0, 152.0,
         -100.0, std::string("X"), 2.5},
        {-9.0, -2.0, std::string("Bob"), std::string(""), kSysmis, 1.5, 0.0, std::string("ZZ"),
         0.0},
    };
    return f;
}

}  // namespace fixture
