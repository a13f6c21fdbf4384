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
using w::ErrorCode;

w::Variable Var(std::string name, int width = 0) {
    w::Variable v;
    v.name = std::move(name);
    v.width = width;
    return v;
}

w::FileSpec Small() {
    w::FileSpec spec;
    spec.product = "Lorivane test";
    spec.variables = {Var("n"), Var("s", 4), Var("vls", 600)};
    return spec;
}

// The code the writer throws for spec before writing a byte; NotWriting
// when it throws nothing.
ErrorCode Refusal(const w::FileSpec& spec, size_t* written) {
    *written = 0;
    w::CallbackSink sink([&](const uint8_t*, size_t n) {
        *written += n;
        return true;
    });
    try {
        w::Writer writer(spec, sink);
        writer.Finish();
    } catch (const w::WriteError& e) {
        return e.code();
    }
    return ErrorCode::NotWriting;
}

TEST(WriterRefuses, InconsistentDictionariesBeforeTheFirstByte) {
    using Change = std::function<void(w::FileSpec&)>;
    const std::vector<std::pair<ErrorCode, Change>> cases = {
        {ErrorCode::InvalidHeader, [](auto& s) { s.product = std::string(41, 'p'); }},
        {ErrorCode::InvalidHeader, [](auto& s) { s.created.month = 13; }},
        {ErrorCode::InvalidHeader, [](auto& s) { s.fileLabel = std::string(65, 'l'); }},
        {ErrorCode::InvalidEncoding, [](auto& s) { s.encoding = "UTF-16"; }},
        {ErrorCode::InvalidName, [](auto& s) { s.variables[0].name = "1bad"; }},
        {ErrorCode::InvalidName, [](auto& s) { s.variables[0].name = "and"; }},
        {ErrorCode::InvalidName, [](auto& s) { s.variables[0].name = std::string(65, 'n'); }},
        {ErrorCode::InvalidName, [](auto& s) { s.variables[0].shortName = "TOOLONGXX"; }},
        {ErrorCode::DuplicateName, [](auto& s) { s.variables[1].name = "N"; }},
        {ErrorCode::DuplicateName,
         [](auto& s) { s.variables[0].shortName = s.variables[1].shortName = "SAME"; }},
        {ErrorCode::InvalidWidth, [](auto& s) { s.variables[1].width = 32768; }},
        {ErrorCode::InvalidFormat,
         [](auto& s) {
             s.variables[0].print = {SPSS_FMT_A, 8, 0};
         }},
        {ErrorCode::InvalidFormat,
         [](auto& s) {
             s.variables[1].write = {SPSS_FMT_F, 8, 2};
         }},
        {ErrorCode::InvalidFormat,
         [](auto& s) {
             s.variables[0].print = {13, 8, 2};
         }},
        {ErrorCode::InvalidFormat,
         [](auto& s) {
             s.variables[0].print = {SPSS_FMT_F, 256, 2};
         }},
        {ErrorCode::InvalidMissing,
         [](auto& s) {
             s.variables[0].missing.values = {1, 2, 3, 4};
         }},
        {ErrorCode::InvalidMissing,
         [](auto& s) {
             s.variables[0].missing.range = {{1, 2}};
             s.variables[0].missing.values = {3, 4};
         }},
        {ErrorCode::InvalidMissing, [](auto& s) { s.variables[1].missing.values = {1}; }},
        {ErrorCode::InvalidMissing, [](auto& s) { s.variables[1].missing.strings = {"abcde"}; }},
        {ErrorCode::InvalidMissing,
         [](auto& s) { s.variables[2].missing.strings = {"123456789"}; }},
        {ErrorCode::InvalidValueLabel,
         [](auto& s) {
             s.variables[1].numberLabels = {{1, "x"}};
         }},
        {ErrorCode::InvalidValueLabel,
         [](auto& s) {
             s.variables[0].numberLabels = {{1, std::string(256, 'x')}};
         }},
        {ErrorCode::InvalidValueLabel,
         [](auto& s) {
             s.variables[0].numberLabels = {{1, "a"}, {1, "b"}};
         }},
        {ErrorCode::InvalidValueLabel,
         [](auto& s) {
             s.variables[1].stringLabels = {{"ab", "a"}, {"ab  ", "b"}};
         }},
        {ErrorCode::InvalidValueLabel,
         [](auto& s) {
             s.variables[1].stringLabels = {{"abcde", "a"}};
         }},
        {ErrorCode::InvalidDisplay, [](auto& s) { s.variables[0].measure = 4; }},
        {ErrorCode::InvalidDisplay, [](auto& s) { s.variables[0].alignment = 3; }},
        {ErrorCode::InvalidWeight, [](auto& s) { s.weightVariable = 1; }},
        {ErrorCode::InvalidWeight, [](auto& s) { s.weightVariable = 3; }},
        {ErrorCode::InvalidDocument, [](auto& s) { s.documents = {std::string(81, 'd')}; }},
        {ErrorCode::InvalidAttribute,
         [](auto& s) {
             s.fileAttributes = {{"A", {"x'\ny"}}};
         }},
        {ErrorCode::InvalidAttribute,
         [](auto& s) {
             s.fileAttributes = {{"A(", {"x"}}};
         }},
        {ErrorCode::InvalidAttribute, [](auto& s) { s.variables[0].role = 6; }},
        {ErrorCode::InvalidAttribute,
         [](auto& s) {
             s.variables[0].role = 1;
             s.variables[0].attributes = {{"$@Role", {"2"}}};
         }},
        {ErrorCode::InvalidSet,
         [](auto& s) {
             s.multipleResponseSets = {{"$one", "", false, "", false, false, {0}}};
         }},
        {ErrorCode::InvalidSet,
         [](auto& s) {
             s.multipleResponseSets = {{"set", "", false, "", false, false, {0, 1}}};
         }},
        {ErrorCode::InvalidSet,
         [](auto& s) {
             s.multipleResponseSets = {{"$d", "", true, "", false, false, {0, 1}}};
         }},
        {ErrorCode::InvalidSet,
         [](auto& s) {
             s.variableSets = {{"Set", {0, 7}}};
         }},
        {ErrorCode::NoSuchVariable, [](auto& s) { s.variables.clear(); }},
    };
    size_t written = 0;
    ASSERT_EQ(Refusal(Small(), &written), ErrorCode::NotWriting);
    EXPECT_GT(written, 0u);
    for (size_t i = 0; i < cases.size(); ++i) {
        w::FileSpec spec = Small();
        cases[i].second(spec);
        EXPECT_EQ(w::ErrorCodeName(Refusal(spec, &written)), w::ErrorCodeName(cases[i].first))
            << "case " << i;
        EXPECT_EQ(written, 0u) << "case " << i;
    }
}

TEST(WriterRefuses, ValuesThatDoNotFitAndWrongCaseCounts) {
    std::string bytes;
    w::CallbackSink sink([&](const uint8_t* p, size_t n) {
        bytes.append(reinterpret_cast<const char*>(p), n);
        return true;
    });
    w::FileSpec spec = Small();
    spec.caseCount = 1;
    const auto code = [](const std::function<void()>& step) {
        try {
            step();
        } catch (const w::WriteError& e) {
            return std::string(w::ErrorCodeName(e.code()));
        }
        return std::string("none");
    };
    {
        w::Writer writer(spec, sink);
        EXPECT_EQ(code([&] { writer.SetString(1, "abcd    "); }), "none");  // blanks beyond fit
        EXPECT_EQ(code([&] { writer.SetString(2, std::string(600, 'x')); }), "none");
        EXPECT_EQ(code([&] { writer.SetNumber(1, 1.0); }), "NoSuchVariable");
        // A failed call ends the writing: nothing more is taken.
        EXPECT_EQ(code([&] { writer.EndCase(); }), "NotWriting");
    }
    {
        w::Writer writer(spec, sink);
        EXPECT_EQ(code([&] { writer.SetString(1, "abcde"); }), "ValueTooLong");
        EXPECT_EQ(code([&] { writer.Finish(); }), "NotWriting");
    }
    {
        w::Writer writer(spec, sink);
        EXPECT_EQ(code([&] { writer.SetNumber(3, 1.0); }), "NoSuchVariable");
    }
    {
        w::Writer writer(spec, sink);
        EXPECT_EQ(code([&] { writer.Finish(); }), "CaseCountMismatch");
    }
    {
        w::Writer writer(spec, sink);
        writer.EndCase();
        EXPECT_EQ(code([&] { writer.EndCase(); }), "CaseCountMismatch");
    }
    {
        w::Writer writer(spec, sink);
        writer.EndCase();
        EXPECT_EQ(code([&] { writer.Finish(); }), "none");
        EXPECT_EQ(code([&] { writer.EndCase(); }), "NotWriting");
    }
}

TEST(WriterRefuses, FailingAndAppendOnlySinks) {
    w::FileSpec spec = Small();
    // A sink that takes the dictionary and fails on the data.
    size_t room = 2000;
    w::CallbackSink limited([&](const uint8_t*, size_t n) {
        if (n > room) return false;
        room -= n;
        return true;
    });
    bool threw = false;
    try {
        w::Writer writer(spec, limited);
        for (int i = 0; i < 100000; ++i) {
            writer.SetNumber(0, i * 1.5);
            writer.EndCase();
        }
        writer.Finish();
    } catch (const w::WriteError& e) {
        threw = e.code() == ErrorCode::WriteFailed;
    }
    EXPECT_TRUE(threw);
    // A full disk: the descriptor's write fails.
    const int full = ::open("/dev/full", O_WRONLY);
    if (full >= 0) {
        w::FdSink sink(full);
        EXPECT_FALSE(sink.CanRewrite());
        spec.compression = savio::Compression::Zlib;
        EXPECT_THROW(w::Writer(spec, sink), w::WriteError);
        spec.compression = savio::Compression::Bytecode;
        try {
            w::Writer writer(spec, sink);
            writer.Finish();
            ADD_FAILURE() << "a write to /dev/full succeeded";
        } catch (const w::WriteError& e) {
            EXPECT_EQ(e.code(), ErrorCode::WriteFailed) << e.what();
        }
        ::close(full);
    }
}

TEST(WriterShortNames, UniqueUpperCaseAndCutBetweenCharacters) {
    w::FileSpec spec;
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
    w::Writer writer(spec, sink);
    EXPECT_EQ(writer.shortNames(),
              (std::vector<std::string>{"LONGVARI", "LONGVA_B", "LONGVA_A",
                                        "\xe6\x97\xa5\xe6\x9c\xac", "\xe6\x97\xa5\xe6\x9c\xac_A",
                                        "VERYLONG", "VERYLON1", "AND_MORE"}));
    const std::string bytes = writertest::WriteBytes(spec, {});
    // The segments of the very long string take names no variable has.
    EXPECT_NE(bytes.find("VERYLO_A"), std::string::npos);
    EXPECT_NE(bytes.find("VERYLON2"), std::string::npos);
}

}  // namespace
