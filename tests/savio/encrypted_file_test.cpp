// Encrypted system files: the key as the format's description derives it,
// files encrypted here in every compression opening with their password to
// the same dictionary and cases as the plain file (read in order and again
// through the case index), and missing, wrong, cut and damaged ones giving
// statuses, never faults. The corpus file agrees with PSPP's decryption.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "savio/case_reread.h"
#include "savio/file_passwords.h"
#include "savio/open_files.h"
#include "savio/password_key.h"
#include "savio/spssfio.h"
#include "tests/support/corpus.h"
#include "tests/support/encrypted_sav.h"
#include "tests/support/readback.h"
#include "tests/support/savfixture.h"

namespace {

using fixture::Compression;

std::string WriteBytes(const std::string& bytes, const std::string& name) {
    const std::string path = fixture::TempDir() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// The dictionary as the reader holds it, in a text that two files' readings
// can be compared by: the header's texts, then each variable's names, label,
// formats, missing values and value labels.
std::string DictionaryText(const std::string& path) {
    int h = 0;
    if (spssOpenRead(path.c_str(), &h) != 0) return "unreadable";
    const savio::Dictionary& d = savio::FindOpenFile(h)->dict();
    std::string out = d.product + "|" + d.fileLabel + "|" + d.encodingRecord + "\n";
    for (const savio::Variable& v : d.variables) {
        out += v.shortName + "|" + v.longName + "|" + v.label + "|" + std::to_string(v.width);
        for (const savio::Format& f : {v.print, v.write})
            out += "|" + std::to_string(f.type) + "." + std::to_string(f.width) + "." +
                   std::to_string(f.decimals);
        out += "|" + std::to_string(v.missingCode);
        for (int k = 0; k < 3; ++k) out += "|" + std::to_string(v.missing[k]) + v.missingText[k];
        for (int set : v.labelSets)
            for (const auto& [value, label] : d.labelSets[static_cast<size_t>(set)].entries)
                out += "|" + std::string(value.begin(), value.end()) + "=" + label;
        out += "\n";
    }
    spssCloseRead(h);
    return out;
}

// Forgets every password a test kept, even when it fails.
class EncryptedFile : public ::testing::Test {
  protected:
    void TearDown() override { savio::ForgetAllPasswords(); }
};

TEST_F(EncryptedFile, KeyOfTheDescribedExample) {
    uint8_t key[32];
    savio::DerivePasswordKey("pspp", key);
    const uint8_t cmac[16] = {0x3e, 0xda, 0x09, 0x8e, 0x66, 0x04, 0xd4, 0xfd,
                              0xf9, 0x63, 0x0c, 0x2c, 0xa8, 0x6f, 0xb0, 0x45};
    EXPECT_EQ(0, std::memcmp(key, cmac, 16));
    EXPECT_EQ(0, std::memcmp(key + 16, cmac, 16));
    // Only the first 10 bytes count.
    uint8_t a[32], b[32];
    savio::DerivePasswordKey("0123456789", a);
    savio::DerivePasswordKey("0123456789abc", b);
    EXPECT_EQ(0, std::memcmp(a, b, 32));
}

TEST_F(EncryptedFile, EncodedPasswords) {
    EXPECT_EQ(savio::DecodeEncodedPassword("-|"), "b");  // the described example
    EXPECT_FALSE(savio::DecodeEncodedPassword(""));
    EXPECT_FALSE(savio::DecodeEncodedPassword("-|-"));                    // odd
    EXPECT_FALSE(savio::DecodeEncodedPassword(std::string(22, '-')));     // too long
    EXPECT_FALSE(savio::DecodeEncodedPassword(std::string("-\x7f", 2)));  // not printable
    EXPECT_FALSE(savio::DecodeEncodedPassword("- "));                     // space is not
}

// Every compression, both paddings: the same dictionary and cases as the
// plain file, in order and found again through the index; no password, or a
// wrong one, gives its own status.
TEST_F(EncryptedFile, OpensLikeThePlainFileInEveryCompression) {
    for (Compression c : {Compression::None, Compression::Bytecode, Compression::Zlib}) {
        for (fixture::Padding padding : {fixture::Padding::Counted, fixture::Padding::Zeros}) {
            SCOPED_TRACE(int(c) * 10 + int(padding));
            const fixture::File f = readback::MixedFile(c, fixture::Endian::Little, 300);
            const std::string plainBytes = fixture::Build(f);
            const std::string plain = WriteBytes(plainBytes, "plain.sav");
            const std::string secret =
                WriteBytes(fixture::Encrypt(plainBytes, "Kagi-1234", padding), "secret.sav");

            int h = 0;
            EXPECT_EQ(spssOpenRead(secret.c_str(), &h), SPSS_FILE_ENCRYPTED);
            EXPECT_TRUE(savio::IsEncryptedFile(secret));
            EXPECT_FALSE(savio::IsEncryptedFile(plain));
            EXPECT_EQ(savio::CheckPassword(secret, "kagi-1234"), SPSS_WRONG_PASSWORD);
            EXPECT_EQ(savio::CheckPassword(secret, "Kagi-1234"), 0);
            EXPECT_EQ(savio::CheckPassword(plain, "Kagi-1234"), SPSS_INVALID_FILE);
            savio::RememberPassword(secret, "wrong");
            EXPECT_EQ(spssOpenRead(secret.c_str(), &h), SPSS_WRONG_PASSWORD);
            savio::RememberPassword(secret, "Kagi-1234");

            const readback::ReadBack want = readback::ReadFileThroughCalls(plain, 3);
            const readback::ReadBack got = readback::ReadFileThroughCalls(secret, 3);
            ASSERT_EQ(got.status, SPSS_FILE_END);
            ASSERT_EQ(got.rows.size(), 300u);
            EXPECT_EQ(got.rows, want.rows);
            EXPECT_EQ(DictionaryText(secret), DictionaryText(plain));

            // Runs starting anywhere, read again while the password is kept.
            for (int64_t first : {0, 1, 7, 8, 150, 299}) {
                std::vector<readback::Cells> again;
                const auto st = savio::RereadCases(
                    secret, got.index, first, first + 9, [&](int64_t, const uint8_t* s) {
                        again.push_back(readback::CellsFromSlots(got.index, s));
                        return true;
                    });
                ASSERT_EQ(st, savio::RereadStatus::Ok) << first;
                for (size_t i = 0; i < again.size(); ++i)
                    ASSERT_EQ(again[i], want.rows[size_t(first) + i]) << first + int64_t(i);
            }
            // Once forgotten, neither opens nor re-reads work.
            savio::ForgetPassword(secret);
            EXPECT_EQ(spssOpenRead(secret.c_str(), &h), SPSS_FILE_ENCRYPTED);
            EXPECT_EQ(savio::RereadCases(secret, got.index, 0, 5,
                                         [](int64_t, const uint8_t*) { return true; }),
                      savio::RereadStatus::Changed);
        }
    }
}

TEST_F(EncryptedFile, EncodedFormOfThePasswordOpensToo) {
    const std::string plainBytes = fixture::Build(fixture::SampleFile());
    const std::string secret = WriteBytes(fixture::Encrypt(plainBytes, "b3X"), "encoded.sav");
    // An encoded form of "b3X" found through the decoder (whose own tables
    // the described example checks).
    std::string encoded;
    for (char want : std::string("b3X")) {
        bool found = false;
        for (int a = 33; a <= 126 && !found; ++a)
            for (int b = 33; b <= 126 && !found; ++b) {
                const std::string pair{char(a), char(b)};
                if (savio::DecodeEncodedPassword(pair) == std::string(1, want)) {
                    encoded += pair;
                    found = true;
                }
            }
        ASSERT_TRUE(found);
    }
    EXPECT_EQ(savio::CheckPassword(secret, encoded), 0);
    EXPECT_EQ(savio::CheckPassword(secret, "b3x"), SPSS_WRONG_PASSWORD);
}

// Cut anywhere, or damaged past the block the password is checked on: a
// status, or a file whose cases read to an end, never a fault.
TEST_F(EncryptedFile, CutAndDamagedFilesGiveStatuses) {
    const fixture::File f = readback::MixedFile(Compression::Bytecode, fixture::Endian::Little, 40);
    const std::string whole = fixture::Encrypt(fixture::Build(f), "pw");
    auto readAll = [](const std::string& bytes) {
        int h = 0;
        const int st = savio::OpenEncryptedFromBytes(bytes, "pw", "damaged.sav", &h);
        if (st != 0) return st;
        int cases = 0;
        while (spssReadCaseRecord(h) == 0 && cases < 100) ++cases;
        EXPECT_LE(cases, 40);
        spssCloseRead(h);
        return 0;
    };
    ASSERT_EQ(readAll(whole), 0);
    EXPECT_EQ(readAll(whole.substr(0, 36)), SPSS_INVALID_FILE);  // the header alone
    EXPECT_EQ(readAll(whole.substr(0, 51)), SPSS_INVALID_FILE);  // no whole block
    for (size_t cut = 52; cut < whole.size(); cut += 5) {
        const int st = readAll(whole.substr(0, cut));
        EXPECT_TRUE(st == 0 || st > 0) << cut;
    }
    // The first block intact (the password check passes), the rest damaged.
    for (size_t at = 52; at < whole.size(); at += 11) {
        std::string damaged = whole;
        damaged[at] = char(damaged[at] ^ 0x5a);
        const int st = readAll(damaged);
        EXPECT_TRUE(st == 0 || st > 0) << at;
    }
    // Through the path too, with the password kept: a clear status.
    const std::string path = WriteBytes(whole.substr(0, 40), "cut.sav");
    savio::RememberPassword(path, "pw");
    int h = 0;
    EXPECT_EQ(spssOpenRead(path.c_str(), &h), SPSS_INVALID_FILE);
}

// The corpus's encrypted file (password "pspp") gives exactly the system
// file that PSPP's pspp-convert decrypts it to.
TEST_F(EncryptedFile, CorpusFileAgreesWithPspp) {
    LORIVANE_SKIP_WITHOUT_CORPUS();
    if (std::system("command -v pspp-convert >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pspp-convert (Debian package pspp) is not installed";
    const std::string secret = fixture::CorpusPath("malformed/encrypted_hotel.sav");
    const std::string decrypted = fixture::TempDir() + "/hotel.sav";
    const std::string command =
        "pspp-convert -p pspp '" + secret + "' '" + decrypted + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);

    int h = 0;
    EXPECT_EQ(spssOpenRead(secret.c_str(), &h), SPSS_FILE_ENCRYPTED);
    EXPECT_EQ(savio::CheckPassword(secret, "PSPP"), SPSS_WRONG_PASSWORD);
    savio::RememberPassword(secret, "pspp");
    const readback::ReadBack want = readback::ReadFileThroughCalls(decrypted, -1);
    const readback::ReadBack got = readback::ReadFileThroughCalls(secret, -1);
    ASSERT_FALSE(want.rows.empty());
    EXPECT_EQ(got.status, SPSS_FILE_END);
    EXPECT_EQ(got.rows, want.rows);
    EXPECT_EQ(DictionaryText(secret), DictionaryText(decrypted));
}

}  // namespace
