// format_real_field against the printf-based reference on the floats where
// rounding and field width decide the text: seeded random floats, exact
// decimal ties, floats beside ties that are not floats, and the edges where a
// text stops fitting its field. check_all_floats does every float.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "field_disagreement.hpp"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Sanitized builds check about a fifth as many floats, to stay within seconds.
constexpr int kEffort = kSanitized ? 1 : 5;
constexpr int kRandomFloats = kEffort * 400'000;
constexpr int kReported = 10;

// Checks value and the floats up to ulps steps on either side of it.
class SweepChecker {
public:
    void check_around(float value, int ulps)
    {
        for (int step = -ulps; step <= ulps; ++step) check(stepped(value, step));
    }

    void check(float value)
    {
        ++checked_;
        const std::string disagreement = field_disagreement(value);
        if (!disagreement.empty() && disagreements_.size() < kReported) disagreements_.push_back(disagreement);
        if (!disagreement.empty()) ++disagreement_count_;
    }

    void expect_agreement() const
    {
        EXPECT_EQ(disagreement_count_, 0) << "of " << checked_ << " floats";
        for (const std::string& disagreement : disagreements_) ADD_FAILURE() << disagreement;
    }

private:
    static float stepped(float value, int step)
    {
        const float toward = step < 0 ? -std::numeric_limits<float>::infinity()
                                      : std::numeric_limits<float>::infinity();
        for (int i = 0; i < std::abs(step); ++i) value = std::nextafter(value, toward);
        return value;
    }

    long checked_ = 0;
    long disagreement_count_ = 0;
    std::vector<std::string> disagreements_;
};

TEST(RoundingSweepReference, GivesTheHandWorkedTexts)
{
    EXPECT_EQ(reference_field(0.125f, 8, 2), "    0.12");
    EXPECT_EQ(reference_field(0.375f, 8, 2), "    0.38");
    EXPECT_EQ(reference_field(-0.0f, 13, 5), "     -0.00000");
    EXPECT_EQ(reference_field(-1e-9f, 8, 2), "   -0.00");
    EXPECT_EQ(reference_field(0.015625f, 13, 5), "      0.01562");
    EXPECT_EQ(reference_field(9999999.0f, 13, 5), "9999999.00000");
    EXPECT_EQ(reference_field(1e7f, 13, 5), "*************");
    EXPECT_EQ(reference_field(-999999.0f, 13, 5), "-999999.00000");
    EXPECT_EQ(reference_field(-1e6f, 13, 5), "*************");
    EXPECT_EQ(reference_field(-9999.99f, 8, 2), "-9999.99");
    EXPECT_EQ(reference_field(-9999.996f, 8, 2), "********");
    EXPECT_EQ(reference_field(1e30f, 8, 2), "********");
    EXPECT_EQ(reference_field(-std::numeric_limits<float>::infinity(), 13, 5), "    -Infinity");
    EXPECT_EQ(reference_field(-std::numeric_limits<float>::infinity(), 8, 2), "    -Inf");
    EXPECT_EQ(reference_field(std::numeric_limits<float>::infinity(), 8, 2), "Infinity");
    EXPECT_EQ(reference_field(-std::numeric_limits<float>::quiet_NaN(), 8, 2), "     NaN");
    // Other shapes by the same rules: 1.0625 is a tie at three decimals and
    // goes to the even 1.062; 123.4375 goes up to 123.438; no decimals end with the point.
    EXPECT_EQ(reference_field(1.0625f, 10, 3), "     1.062");
    EXPECT_EQ(reference_field(-123.4375f, 9, 3), " -123.438");
    EXPECT_EQ(reference_field(1000.0f, 7, 3), "*******");
    EXPECT_EQ(reference_field(2.5f, 3, 0), " 2.");
    EXPECT_EQ(reference_field(-std::numeric_limits<float>::infinity(), 6, 1), "  -Inf");
    EXPECT_EQ(reference_field(std::numeric_limits<float>::quiet_NaN(), 2, 1), "**");
    // Exponent fields: 1234565 is a tie that stays at the even digit; the float below 10 carries.
    EXPECT_EQ(reference_exponent_field(1234565.0f, 13, 6), " 0.123456E+07");
    EXPECT_EQ(reference_exponent_field(9.99999904632568359375f, 13, 6), " 0.100000E+02");
    EXPECT_EQ(reference_exponent_field(-0.0f, 13, 6), "-0.000000E+00");
    EXPECT_EQ(reference_exponent_field(-1.0f, 12, 6), "************");
}

TEST(RoundingSweep, AgreesOnSeededRandomFloats)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::uint32_t> any_bits;
    // Most bit patterns are far too small or too large for a field; this band
    // (about 1e-7 to 1e8 in magnitude) holds the texts with digits that matter.
    std::uniform_int_distribution<std::uint32_t> field_band(bits_of(1e-7f), bits_of(1e8f));
    SweepChecker checker;
    for (int i = 0; i < kRandomFloats / 4; ++i) checker.check(float_from_bits(any_bits(random)));
    for (int i = 0; i < kRandomFloats * 3 / 4; ++i) {
        const float magnitude = float_from_bits(field_band(random));
        checker.check((random() & 1) != 0 ? -magnitude : magnitude);
    }
    checker.expect_agreement();
}

// The only floats that lie exactly halfway between two five-decimal texts are
// the odd multiples of 1/64; between two two-decimal texts, the odd multiples of 1/8.
TEST(RoundingSweep, AgreesOnExactTiesAndTheirNeighbours)
{
    SweepChecker checker;
    for (std::int32_t k = 1; k < kEffort * 12'000; k += 2) {
        for (const float tie : {k / 64.0f, -k / 64.0f, k / 8.0f, -k / 8.0f}) checker.check_around(tie, 2);
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<std::int32_t> odd_half(0, (1 << 23) - 1);
    for (int i = 0; i < kEffort * 10'000; ++i) {
        const auto k = static_cast<float>(2 * odd_half(random) + 1);
        for (const float tie : {k / 64.0f, -k / 64.0f, k / 8.0f, -k / 8.0f}) checker.check_around(tie, 2);
    }
    checker.expect_agreement();
}

// A decimal tie such as 2.000005 is no float; the floats closest to it on
// either side must round away from it in their own direction.
TEST(RoundingSweep, AgreesOnFloatsBesideDecimalTies)
{
    SweepChecker checker;
    std::mt19937_64 random(11);
    for (const int decimals : {5, 2}) {
        const double unit = std::pow(10.0, -decimals);
        for (int digits = 1; digits <= 7 + decimals; ++digits) {
            std::uniform_int_distribution<std::int64_t> steps(0, static_cast<std::int64_t>(std::pow(10.0, digits)));
            for (int i = 0; i < kEffort * 600; ++i) {
                const double tie = (static_cast<double>(steps(random)) + 0.5) * unit;
                checker.check_around(static_cast<float>(tie), 3);
                checker.check_around(static_cast<float>(-tie), 3);
            }
        }
    }
    checker.expect_agreement();
}

// Where a text gains a digit or stops fitting: around each power of ten, and
// most of all around 9999999.999995 and -999999.999995 in a wide field and
// 99999.995 and -9999.995 in a narrow one.
TEST(RoundingSweep, AgreesAtTheEdgesOfTheFields)
{
    SweepChecker checker;
    for (const float edge : {9999999.999995f, -999999.999995f, 99999.995f, -9999.995f}) {
        checker.check_around(edge, 300);
    }
    for (int exponent = -8; exponent <= 9; ++exponent) {
        const auto power = static_cast<float>(std::pow(10.0, exponent));
        checker.check_around(power, 40);
        checker.check_around(-power, 40);
    }
    checker.expect_agreement();
}

// Every binary exponent, so that each scale of a float meets the rounding:
// the smallest and largest significands and random ones between, both signs.
TEST(RoundingSweep, AgreesAtEveryBinaryExponent)
{
    SweepChecker checker;
    std::mt19937 random(3);
    std::uniform_int_distribution<std::uint32_t> significand(0, (1u << 23) - 1);
    for (std::uint32_t exponent = 0; exponent < 256; ++exponent) {
        std::vector<std::uint32_t> fractions = {0, 1, 2, (1u << 22), (1u << 23) - 1};
        for (int i = 0; i < kEffort * 40; ++i) fractions.push_back(significand(random));
        for (const std::uint32_t fraction : fractions) {
            const std::uint32_t bits = exponent << 23 | fraction;
            checker.check(float_from_bits(bits));
            checker.check(float_from_bits(bits | 0x80000000u));
        }
    }
    checker.expect_agreement();
}

TEST(RoundingSweep, AgreesOnZerosSubnormalsExtremesAndSpecials)
{
    using limits = std::numeric_limits<float>;
    SweepChecker checker;
    for (const float value : {0.0f, limits::denorm_min(), limits::min(), limits::max(), limits::infinity()}) {
        checker.check_around(value, 3);
        checker.check_around(-value, 3);
    }
    for (const std::uint32_t nan_bits : {0x7fc00000u, 0x7f800001u, 0x7fffffffu, 0xffc00000u, 0xff800001u}) {
        checker.check(float_from_bits(nan_bits));
    }
    checker.expect_agreement();
}

}  // namespace
