#include "format/edit_fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <string_view>

namespace vespera {
namespace {

// The field that `put` writes onto `width` blanks; checks that it reports
// the end of the field.
template <class Put>
std::string field_of(int width, Put put) {
  std::string field(static_cast<std::size_t>(width), ' ');
  EXPECT_EQ(put(field.data()), field.data() + width);
  return field;
}

std::string integer_field(int32_t value, int width) {
  return field_of(width, [&](char* f) { return put_integer_onto_blanks(f, value, width); });
}

std::string real_field(double value, int width, int decimals) {
  return field_of(width, [&](char* f) { return put_real_onto_blanks(f, value, width, decimals); });
}

std::string logical_field(bool value, int width) {
  return field_of(width, [&](char* f) { return put_logical_onto_blanks(f, value, width); });
}

std::string text_field(std::string_view text, int width) {
  return field_of(width, [&](char* f) { return put_text_onto_blanks(f, text, width); });
}

TEST(IntegerField, RightJustifiedWithMinusAndAsterisks) {
  struct Row {
    int32_t value;
    int width;
    const char* expected;
  };
  const Row rows[] = {
      {0, 1, "0"},
      {7, 3, "  7"},
      {-7, 3, " -7"},
      {-7, 2, "-7"},
      {-7, 1, "*"},
      {123, 3, "123"},
      {1234, 3, "***"},
      {100001, 5, "*****"},
      {62138, 5, "62138"},
      {-2147483647 - 1, 11, "-2147483648"},
      {-2147483647 - 1, 12, " -2147483648"},
      {-2147483647 - 1, 10, "**********"},
      {2147483647, 10, "2147483647"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(integer_field(row.value, row.width), row.expected) << row.value << " I" << row.width;
  }
}

TEST(RealField, RoundingZeroAndSign) {
  struct Row {
    double value;
    int width;
    int decimals;
    const char* expected;
  };
  const Row rows[] = {
      {2.5, 5, 1, "  2.5"},
      {2.5f, 5, 1, "  2.5"},
      {25.4f, 6, 1, "  25.4"},
      {1.2f, 4, 1, " 1.2"},
      // The zero before the point: kept when there is room, dropped only to fit.
      {0.5, 3, 1, "0.5"},
      {0.5, 4, 1, " 0.5"},
      {0.5, 2, 1, ".5"},
      {-0.5, 4, 1, "-0.5"},
      {-0.5, 3, 1, "-.5"},
      {-0.5, 2, 1, "**"},
      {0.25, 3, 2, ".25"},
      {0.25, 2, 2, "**"},
      // A negative value that rounds to zero loses its sign; so does -0.0.
      {-0.04, 5, 1, "  0.0"},
      {-0.04f, 5, 1, "  0.0"},
      {-0.04, 3, 1, "0.0"},
      {-0.04, 2, 1, ".0"},
      {-0.0, 4, 1, " 0.0"},
      {-0.06, 5, 1, " -0.1"},
      // Fw.0 ends with the point.
      {250.0, 6, 0, "  250."},
      {250.0f, 4, 0, "250."},
      {250.0, 3, 0, "***"},
      {-3.0, 3, 0, "-3."},
      {0.4, 2, 0, "0."},
      {0.4, 1, 0, "."},
      {-0.4, 3, 0, " 0."},
      // Too wide: asterisks.
      {99.95, 4, 1, "****"},
      {99.94, 4, 1, "99.9"},
      {-90.0, 5, 1, "-90.0"},
      {-90.0f, 6, 1, " -90.0"},
      {-100.0, 5, 1, "*****"},
      {12345.0, 5, 1, "*****"},
      // Rounding is of the exact binary value: 2.675 is 2.67499999...
      {2.675, 5, 2, " 2.67"},
      {0.125, 5, 2, " 0.12"},
      {0.375, 5, 2, " 0.38"},
      {2.5, 3, 0, " 2."},
      {3.5, 3, 0, " 4."},
      {14.49f, 7, 2, "  14.49"},
      {359.6f, 7, 2, " 359.60"},
      {1e300, 6, 1, "******"},
      {-1e300, 6, 1, "******"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(real_field(row.value, row.width, row.decimals), row.expected)
        << row.value << " F" << row.width << "." << row.decimals;
  }
}

// The C library's "%#.*f" (the program runs in the "C" locale) as the oracle
// for the digits, with the field rules applied on top.
std::string reference_real_field(double value, int width, int decimals) {
  if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(width), '*');
  bool negative = value < 0.0;
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%#.*f", decimals, std::fabs(value));
  std::string digits(buffer);
  if (negative && digits.find_first_not_of("0.") == std::string::npos) negative = false;
  std::size_t length = digits.size() + (negative ? 1 : 0);
  if (length > static_cast<std::size_t>(width) && digits[0] == '0') {
    digits.erase(0, 1);
    --length;
  }
  if (length > static_cast<std::size_t>(width)) return std::string(static_cast<std::size_t>(width), '*');
  return std::string(static_cast<std::size_t>(width) - length, ' ') + (negative ? "-" : "") + digits;
}

TEST(RealField, AgreesWithTheCLibraryOnManyValues) {
  std::mt19937_64 random(12345);
  std::uniform_int_distribution<uint32_t> bits;
  std::uniform_int_distribution<int> decimals_of(0, 10);
  std::uniform_int_distribution<int> scale_of(-12, 12);
  int compared = 0;
  for (int i = 0; i < 200000; ++i) {
    const int decimals = decimals_of(random);
    const int width = decimals + 2 + static_cast<int>(random() % 12);
    double value;
    switch (i % 4) {
      case 0: {  // any float bit pattern
        const uint32_t b = bits(random);
        float f;
        std::memcpy(&f, &b, sizeof f);
        value = f;
        break;
      }
      case 1:  // floats of a report's sizes
        value = static_cast<float>(std::ldexp(static_cast<double>(bits(random)) / 4294967296.0 - 0.5,
                                              scale_of(random)));
        break;
      case 2:  // exact ties at the rounding digit
        value = static_cast<float>((static_cast<int>(bits(random) % 20001) - 10000) / 8.0);
        break;
      default:  // doubles that are not floats
        value = (static_cast<double>(bits(random)) - 2147483648.0) / 1048576.0 + 1e-9;
        break;
    }
    if (!std::isfinite(value)) continue;
    ASSERT_EQ(real_field(value, width, decimals), reference_real_field(value, width, decimals))
        << std::hexfloat << value << " F" << width << "." << decimals;
    ++compared;
  }
  EXPECT_GT(compared, 190000);
}

TEST(RealField, NonFiniteValuesAreAsterisks) {
  EXPECT_EQ(real_field(std::numeric_limits<double>::quiet_NaN(), 5, 1), "*****");
  EXPECT_EQ(real_field(std::numeric_limits<double>::infinity(), 4, 0), "****");
  EXPECT_EQ(real_field(-std::numeric_limits<double>::infinity(), 6, 2), "******");
}

TEST(RealField, WideFieldsAndManyDecimals) {
  // Beyond the short scratch buffer of the edit routine.
  EXPECT_EQ(real_field(1e300, 320, 2).size(), 320u);
  EXPECT_EQ(real_field(1e300, 320, 2).substr(320 - 3), ".00");
  const std::string many = real_field(1.0 / 3.0, 160, 150);
  ASSERT_EQ(many.size(), 160u);
  EXPECT_EQ(many.substr(0, 16), "        0.333333");  // 8 blanks, "0." and 150 decimals
}

TEST(LogicalAndTextFields, Justification) {
  EXPECT_EQ(logical_field(true, 2) + logical_field(false, 1) + logical_field(false, 3), " TF  F");

  struct Row {
    const char* text;
    int width;
    const char* expected;
  };
  const Row rows[] = {
      {"abcdef", 4, "abcd"},
      {"abcd", 4, "abcd"},
      {"ab", 4, "  ab"},
      {"", 3, "   "},
      {"EDT ", 4, "EDT "},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(text_field(row.text, row.width), row.expected) << row.text << " A" << row.width;
  }
}

}  // namespace
}  // namespace vespera
