// What the writer refuses, and that a refusal or a failing sink never ends
// in a file that looks complete; and the short names it makes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "savio/spssfio.h"
#include "tests/savio/writer_support.h"

namespace {

namespace w = savio::writer;
using E = w::ErrorCode;
using S = w::FileSpec;
using V = std::vector<w::Variable>;

w::Variable Var(std::string name, int width = 0) {
    w::Variable v;
    v.name = std::move(name);
    v.width = width;
    return v;
}

S Small() {
    S spec;
    spec.variables = {Var("n"), Var("s", 4), Var("vls", 600)};
    return spec;
}

// The name of the code a step throws, "none" when it throws nothing.
std::string Code(const std::function<void()>& step) {
    try {
        step();
    } catch (const w::WriteError& e) {
        return w::ErrorCodeName(e.code());
    }
    return "none";
}

TEST(WriterRefuses, InconsistentDictionariesBeforeTheFirstByte) {
    const std::vector<std::pair<E, std::function<void(S&, V&)>>> cases = {
        {E::InvalidHeader, [](S& s, V&) { s.product = std::string(41, 'p'); }},
        {E::InvalidHeader, [](S& s, V&) { s.created.month = 13; }},
        {E::InvalidHeader, [](S& s, V&) { s.fileLabel = std::string(65, 'l'); }},
        {E::InvalidEncoding, [](S& s, V&) { s.encoding = "UTF-16"; }},
        {E::InvalidName, [](S&, V& v) { v[0].name = "1bad"; }},
        {E::InvalidName, [](S&, V& v) { v[0].name = "and"; }},
        {E::InvalidName, [](S&, V& v) { v[0].shortName = "TOOLONGXX"; }},
        {E::DuplicateName, [](S&, V& v) { v[1].name = "N"; }},
        {E::DuplicateName, [](S&, V& v) { v[0].shortName = v[1].shortName = "X"; }},
        {E::InvalidWidth, [](S&, V& v) { v[1].width = 32768; }},
        {E::InvalidFormat,
         [](S&, V& v) {
             v[0].print = {SPSS_FMT_A, 8, 0};
         }},
        {E::InvalidFormat,
         [](S&, V& v) {
             v[1].write = {SPSS_FMT_F, 8, 2};
         }},
        {E::InvalidFormat,
         [](S&, V& v) {
             v[0].print = {13, 8, 2};
         }},
        {E::InvalidMissing,
         [](S&, V& v) {
             v[0].missing.values = {1, 2, 3, 4};
         }},
        {E::InvalidMissing, [](S&, V& v) { v[1].missing.strings = {"abcde"}; }},
        {E::InvalidMissing, [](S&, V& v) { v[2].missing.strings = {"123456789"}; }},
        {E::InvalidValueLabel,
         [](S&, V& v) {
             v[1].numberLabels = {{1, "x"}};
         }},
        {E::InvalidValueLabel,
         [](S&, V& v) {
             v[0].numberLabels = {{1, std::string(256, 'x')}};
         }},
        {E::InvalidValueLabel,
         [](S&, V& v) {
             v[1].stringLabels = {{"ab", "a"}, {"ab ", "b"}};
         }},
        {E::InvalidDisplay, [](S&, V& v) { v[0].measure = 4; }},
        {E::InvalidWeight, [](S& s, V&) { s.weightVariable = 1; }},
        {E::InvalidDocument, [](S& s, V&) { s.documents = {std::string(81, 'd')}; }},
        {E::InvalidAttribute,
         [](S& s, V&) {
             s.fileAttributes = {{"A", {"x'\ny"}}};
         }},
        {E::InvalidAttribute, [](S&, V& v) { v[0].role = 6; }},
        {E::InvalidSet,
         [](S& s, V&) {
             s.multipleResponseSets = {{"$one", "", 0, "", 0, 0, {0}}};
         }},
        {E::InvalidSet,
         [](S& s, V&) {
             s.variableSets = {{"Set", {0, 7}}};
         }},
        {E::NoSuchVariable, [](S&, V& v) { v.clear(); }},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        S spec = Small();
        cases[i].second(spec, spec.variables);
        size_t written = 0;
        w::CallbackSink sink([&](const uint8_t*, size_t n) { return (written += n) > 0; });
        EXPECT_EQ(Code([&] { w::Writer(spec, sink).Finish(); }), w::ErrorCodeName(cases[i].first))
            << "case " << i;
        EXPECT_EQ(written, 0u) << "case " << i;
    }
}

TEST(WriterRefuses, ValuesThatDoNotFitAndWrongCaseCounts) {
    w::CallbackSink sink([](const uint8_t*, size_t) { return true; });
    S spec = Small();
    spec.caseCount = 1;
    w::Writer a(spec, sink);
    EXPECT_EQ(Code([&] { a.SetString(1, "abcd    "); }), "none");  // blanks beyond the width
    EXPECT_EQ(Code([&] { a.SetString(2, std::string(600, 'x')); }), "none");
    EXPECT_EQ(Code([&] { a.SetNumber(1, 1.0); }), "NoSuchVariable");
    EXPECT_EQ(Code([&] { a.EndCase(); }), "NotWriting");  // a failed call ends the writing
    w::Writer b(spec, sink);
    EXPECT_EQ(Code([&] { b.SetString(1, "abcde"); }), "ValueTooLong");
    EXPECT_EQ(Code([&] { b.Finish(); }), "NotWriting");
    w::Writer c(spec, sink);
    EXPECT_EQ(Code([&] { c.SetNumber(3, 1.0); }), "NoSuchVariable");
    w::Writer d(spec, sink);
    EXPECT_EQ(Code([&] { d.Finish(); }), "CaseCountMismatch");
    w::Writer e(spec, sink);
    e.EndCase();
    EXPECT_EQ(Code([&] { e.EndCase(); }), "CaseCountMismatch");
    w::Writer f(spec, sink);
    f.EndCase();
    EXPECT_EQ(Code([&] { f.Finish(); }), "none");
    EXPECT_EQ(Code([&] { f.EndCase(); }), "NotWriting");
}

TEST(WriterRefuses, FailingAndAppendOnlySinks) {
    S spec = Small();
    size_t room = 2000;  // the dictionary fits, the data does not
    w::CallbackSink limited(
        [&](const uint8_t*, size_t n) { return n <= room && (room -= n, true); });
    EXPECT_EQ(Code([&] {
                  w::Writer writer(spec, limited);
                  for (int i = 0; i < 100000; ++i) {
                      writer.SetNumber(0, i * 1.5);
                      writer.EndCase();
                  }
                  writer.Finish();
              }),
              "WriteFailed");
    const int full = ::open("/dev/full", O_WRONLY);  // a disk with no room
    if (full < 0) return;
    w::FdSink sink(full);
    EXPECT_FALSE(sink.CanRewrite());
    spec.compression = savio::Compression::Zlib;
    EXPECT_EQ(Code([&] { w::Writer(spec, sink).Finish(); }), "SinkNotRewritable");
    spec.compression = savio::Compression::Bytecode;
    EXPECT_EQ(Code([&] { w::Writer(spec, sink).Finish(); }), "WriteFailed");
    ::close(full);
}

TEST(WriterShortNames, UniqueUpperCaseAndCutBetweenCharacters) {
    S spec;
    spec.variables = {Var("LongVariableName_One"),
                      Var("LongVariableName_Two"),
                      Var("given"),
                      Var("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"),  // three 3-byte characters
                      Var("\xe6\x97\xa5\xe6\x9c\xac\xe4\xba\xba"),
                      Var("VeryLongText", 600),
                      Var("veryLon1"),
                      Var("AND_more")};
    spec.variables[2].shortName = "LONGVA_A";
    w::CallbackSink sink([](const uint8_t*, size_t) { return true; });
    EXPECT_EQ(w::Writer(spec, sink).shortNames(),
              (std::vector<std::string>{"LONGVARI", "LONGVA_B", "LONGVA_A",
                                        "\xe6\x97\xa5\xe6\x9c\xac", "\xe6\x97\xa5\xe6\x9c\xac_A",
                                        "VERYLONG", "VERYLON1", "AND_MORE"}));
    // The segments of the very long string take names no variable has.
    const std::string bytes = writertest::WriteBytes(spec, {});
    EXPECT_NE(bytes.find("VERYLO_A"), std::string::npos);
    EXPECT_NE(bytes.find("VERYLON2"), std::string::npos);
}

}  // namespace
