#include "format/column_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace vespera {
namespace {

struct WholeCase {
  const char* field;
  bool ok;
  int32_t value;
};

TEST(ColumnDecoderTest, WholeNumbers) {
  const WholeCase cases[] = {
      {"25544", true, 25544}, {"1 2", true, 12},     {"  +7", true, 7},
      {"- 5", true, -5},      {"--5", true, -5},     {"5-", true, -5},
      {"     ", false, 0},    {"1.5", false, 0},     {"12a4", false, 0},
      {"0", true, 0},         {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0}, {"999999999999", false, 0},
  };
  for (const WholeCase& c : cases) {
    const std::string record = c.field;
    int32_t value = 4711;
    bool error = false;
    decodeColumnField(record, 1, static_cast<int>(record.size()), value, error);
    EXPECT_EQ(!error, c.ok) << '"' << c.field << '"';
    EXPECT_EQ(value, c.ok ? c.value : 4711) << '"' << c.field << '"';
  }
}

struct RealCase {
  const char* field;
  bool ok;
  float value;
};

TEST(ColumnDecoderTest, Reals) {
  const RealCase cases[] = {
      {"1.5-", true, -1.5f},
      {"123", true, 123.0f},
      {" 51.6412", true, 516412.0f * 0.0001f},
      {".0006703", true, 6703.0f * 0.0000001f},
      {"0006703", true, 6703.0f},
      {"-.5", true, -0.5f},
      {"1. 5", true, 1.5f},
      {" 0.0", true, 0.0f},
      {"    ", false, 0.0f},
      {"1.5x", false, 0.0f},
      {".12345678", false, 0.0f},
  };
  for (const RealCase& c : cases) {
    const std::string record = c.field;
    float value = 47.0f;
    bool error = false;
    decodeColumnField(record, 1, static_cast<int>(record.size()), value, error);
    EXPECT_EQ(!error, c.ok) << '"' << c.field << '"';
    EXPECT_EQ(value, c.ok ? c.value : 47.0f) << '"' << c.field << '"';
  }
}

TEST(ColumnDecoderTest, NegativeZeroKeepsItsSign) {
  float value = 1.0f;
  bool error = false;
  decodeColumnField("-0.0", 1, 4, value, error);
  EXPECT_FALSE(error);
  EXPECT_EQ(value, 0.0f);
  EXPECT_TRUE(std::signbit(value));
}

TEST(ColumnDecoderTest, ColumnsAreOneBasedAndBeyondTheRecordAreBlank) {
  int32_t value = 0;
  bool error = false;
  decodeColumnField("1 25544U", 3, 7, value, error);
  EXPECT_FALSE(error);
  EXPECT_EQ(value, 25544);
  decodeColumnField("12", 1, 10, value, error);
  EXPECT_FALSE(error);
  EXPECT_EQ(value, 12);
}

TEST(ColumnDecoderTest, ErrorFlagIsNeverCleared) {
  int32_t value = 0;
  bool error = false;
  decodeColumnField("x", 1, 1, value, error);
  decodeColumnField("7", 1, 1, value, error);
  EXPECT_TRUE(error);
  EXPECT_EQ(value, 7);
}

}  // namespace
}  // namespace vespera
