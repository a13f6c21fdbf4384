// Random doubles of every kind through the renderers, compared with the
// big-integer reference, and the fast paths compared with the digit rules.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "core/rendering/format_fixed.h"
#include "core/rendering/scientific.h"
#include "core/rendering/specifier_format.h"
#include "tests/core/rendering/format_reference.h"

namespace {

double FromBits(uint64_t bits) {
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// A mix of the values that break renderers: any bit pattern (every exponent,
// subnormals, infinities, NaNs), survey-like values with few decimals,
// halfway cases k + 1/2 and k/8 and decimal ties such as k + 0.005.
class ValueSource {
  public:
    explicit ValueSource(uint64_t seed) : random_(seed) {}

    // Any bit pattern: every exponent, subnormals, infinities, NaNs.
    double AnyBits() { return FromBits(random_()); }

    double Next() {
        int kind = static_cast<int>(random_() % 8);
        int64_t k = static_cast<int64_t>(random_() % 2000001) - 1000000;
        double sign = random_() & 1 ? -1.0 : 1.0;
        switch (kind) {
            case 0:
                return AnyBits();
            case 1:  // moderate exponents, full mantissa
                return sign * std::ldexp(1.0 + Unit(), static_cast<int>(random_() % 130) - 65);
            case 2:
                return static_cast<double>(k);
            case 3:
                return k / 100.0;
            case 4:
                return k + 0.5;
            case 5:
                return k / 8.0;
            case 6:
                return k / 1000.0 + sign * 0.0005;
            default:  // large integers and their halves near 2^52
                return sign * (std::ldexp(1.0, 40 + static_cast<int>(random_() % 13)) +
                               static_cast<double>(random_() % 1024) / 2);
        }
    }

    int Decimals() { return static_cast<int>(random_() % 19); }

  private:
    double Unit() { return static_cast<double>(random_() >> 11) * 0x1p-53; }
    std::mt19937_64 random_;
};

}  // namespace

TEST(FormatProperty, FixedAndScientificAgreeWithTheExactReference) {
    ValueSource source(20240601);
    int failures = 0;
    // Every fourth value has any exponent (slow in the reference); the rest
    // are the mix.
    for (int i = 0; i < 1200000 && failures < 10; ++i) {
        double v = i % 4 == 0 ? source.AnyBits() : source.Next();
        int decimals = i % 2 ? 2 : source.Decimals();
        char buf[lv::detail::kFixedMaxChars];
        int length = lv::detail::RenderFixed(buf, v, decimals, '.');
        ASSERT_LE(length, 40);
        std::string expected = reference::Fixed(v, decimals, '.');
        if (std::string(buf, length) != expected) {
            ADD_FAILURE() << "f " << decimals << " of " << std::hexfloat << v << ": got "
                          << std::string(buf, length) << ", want " << expected;
            ++failures;
        }
        std::string scientific = lv::Scientific(v);
        std::string expectedScientific = reference::Scientific(v);
        if (scientific != expectedScientific) {
            ADD_FAILURE() << "scientific of " << std::hexfloat << v << ": got " << scientific
                          << ", want " << expectedScientific;
            ++failures;
        }
    }
}

TEST(FormatProperty, FastPathsGiveTheTextOfTheDigitRules) {
    ValueSource source(77);
    int failures = 0;
    for (int i = 0; i < 3000000 && failures < 10; ++i) {
        double v = source.Next();
        int decimals = i % 3 ? 2 : source.Decimals();
        char fast[lv::detail::kFixedMaxChars];
        char general[lv::detail::kFixedMaxChars];
        int fastLength = lv::detail::RenderFixed(fast, v, decimals, ',');
        int generalLength = lv::detail::RenderFixedGeneral(general, v, decimals, ',');
        if (std::string_view(fast, fastLength) != std::string_view(general, generalLength)) {
            ADD_FAILURE() << "f " << decimals << " of " << std::hexfloat << v;
            ++failures;
        }
        char fastScientific[lv::kScientificLength];
        char generalScientific[lv::kScientificLength];
        lv::detail::RenderScientific(fastScientific, v);
        lv::detail::RenderScientificGeneral(generalScientific, v);
        if (std::memcmp(fastScientific, generalScientific, lv::kScientificLength) != 0) {
            ADD_FAILURE() << "scientific of " << std::hexfloat << v;
            ++failures;
        }
    }
}

TEST(FormatProperty, SpecifierAndFormatUseTheSameRendering) {
    ValueSource source(5);
    auto spec = *lv::Specifier::Parse("%8.2f");
    for (int i = 0; i < 20000; ++i) {
        double v = source.Next();
        std::string viaSpecifier;
        spec.AppendFloat(viaSpecifier, v, '.');
        std::string viaFixed;
        lv::AppendFixed(viaFixed, v, 8, 2, '.');
        ASSERT_EQ(viaSpecifier, lv::Format("%8.2f", {v}));
        ASSERT_EQ(viaFixed, viaSpecifier);
    }
}
