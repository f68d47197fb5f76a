#include "run/field_scanner.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

namespace vespera {
namespace {

// One token as the scanner reports it.
struct Token {
  int16_t kind;
  int16_t start;
  int16_t end;  // position - 1 after the token
  int32_t integer;
  float real;
  std::string word;  // trimmed word for kinds 3 and 4
};

std::vector<Token> scan_all(const std::string& text) {
  FieldScanner scanner;
  scanner.set_line(text);
  std::vector<Token> tokens;
  for (int guard = 0; guard < 100; ++guard) {
    const int16_t kind = scanner.next_token();
    if (kind == kTokenNone) break;
    Token t{kind, scanner.tokenStart, static_cast<int16_t>(scanner.position - 1), 0, 0.0f, ""};
    if (kind == kTokenInteger || kind == kTokenReal) {
      t.integer = scanner.integerValue;
      t.real = scanner.realValue;
    } else {
      t.word = std::string(scanner.word.trimmed());
    }
    tokens.push_back(t);
  }
  return tokens;
}

TEST(FieldScanner, NumbersTable) {
  struct Row {
    const char* text;
    int16_t kind;
    int32_t integer;
    float real;
    int16_t end;
  };
  const Row rows[] = {
      {"42", kTokenInteger, 42, 42.0f, 2},
      {"-7", kTokenInteger, -7, -7.0f, 2},
      {"+15", kTokenInteger, 15, 15.0f, 3},
      {"3.", kTokenInteger, 3, 3.0f, 2},
      {"3.000", kTokenInteger, 3, 3.0f, 5},
      {"-0.0", kTokenInteger, 0, 0.0f, 4},
      {"-.25", kTokenReal, 0, -0.25f, 4},
      {".5", kTokenReal, 0, 0.5f, 2},
      {"12.5", kTokenReal, 12, 12.5f, 4},
      {"40.0", kTokenInteger, 40, 40.0f, 4},
      {"-4.5", kTokenReal, -4, -4.5f, 4},
      {"1.05", kTokenReal, 1, 1.05f, 4},
      {"0.1", kTokenReal, 0, 0.1f, 3},
      {"+", kTokenInteger, 0, 0.0f, 1},
      {"-", kTokenInteger, 0, 0.0f, 1},
      {".", kTokenInteger, 0, 0.0f, 1},
      // A further point starts the fraction again from the whole part.
      {"1.5.25", kTokenReal, 1, 1.25f, 6},
      {"1.5.0", kTokenReal, 1, 1.0f, 5},
      {"2..", kTokenInteger, 2, 2.0f, 3},
      // A second sign ends the number.
      {"5-3", kTokenInteger, 5, 5.0f, 1},
      // 32-bit wrap as the hardware does it: 123456789012 mod 2^32 is
      // 3197704724, which is -1097262572 as a signed 32-bit integer.
      {"123456789012", kTokenInteger, -1097262572, -1097262572.0f, 12},
      {"-123456789012", kTokenInteger, 1097262572, 1097262572.0f, 13},
      {"2147483647", kTokenInteger, 2147483647, 2147483647.0f, 10},
      {"2147483648", kTokenInteger, INT32_MIN, -2147483648.0f, 10},
      {"-2147483648", kTokenInteger, INT32_MIN, -2147483648.0f, 11},
      {"4294967296", kTokenInteger, 0, 0.0f, 10},
      // Fraction digits beyond what a float can hold add nothing.
      {"0.0000000000000000000000000000000000000000000001", kTokenReal, 0, 0.0f, 48},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const std::vector<Token> tokens = scan_all(row.text);
    ASSERT_GE(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].kind, row.kind);
    EXPECT_EQ(tokens[0].start, 1);
    EXPECT_EQ(tokens[0].end, row.end);
    EXPECT_EQ(tokens[0].integer, row.integer);
    EXPECT_FLOAT_EQ(tokens[0].real, row.real);
  }
}

TEST(FieldScanner, RealsAccumulateInSinglePrecision) {
  FieldScanner scanner;
  scanner.set_line("0.123456789");
  ASSERT_EQ(scanner.next_token(), kTokenReal);
  // Each digit is added to the float sum and rounded: the exact result of
  // that accumulation, not the nearest float to the decimal.
  float sum = 0.0f, divisor = 1.0f;
  for (int d : {1, 2, 3, 4, 5, 6, 7, 8, 9}) {
    divisor = static_cast<float>(divisor * 10.0);
    sum = static_cast<float>(static_cast<double>(sum) + d / static_cast<double>(divisor));
  }
  EXPECT_EQ(scanner.realValue, sum);
}

TEST(FieldScanner, SeparatorsAndTokenColumns) {
  // 1,2 3 with leading commas: three integers; commas are skipped like blanks.
  const std::vector<Token> tokens = scan_all(",,1,2 3");
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[0].integer, 1);
  EXPECT_EQ(tokens[0].start, 3);
  EXPECT_EQ(tokens[1].integer, 2);
  EXPECT_EQ(tokens[1].start, 5);
  EXPECT_EQ(tokens[2].integer, 3);
  EXPECT_EQ(tokens[2].start, 7);
  EXPECT_EQ(tokens[2].end, 7);
}

TEST(FieldScanner, WordsAndOtherCharacters) {
  const std::vector<Token> tokens = scan_all("edt 12AB x-1.5,y\tz \t*");
  ASSERT_EQ(tokens.size(), 7u);
  EXPECT_EQ(tokens[0].kind, kTokenWord);
  EXPECT_EQ(tokens[0].word, "EDT");
  EXPECT_EQ(tokens[1].kind, kTokenInteger);  // digits then letters: an integer...
  EXPECT_EQ(tokens[1].integer, 12);
  EXPECT_EQ(tokens[2].kind, kTokenWord);  // ...then a word
  EXPECT_EQ(tokens[2].word, "AB");
  EXPECT_EQ(tokens[2].start, 7);
  EXPECT_EQ(tokens[3].word, "X-1.5");  // a word holds anything but blank and comma
  EXPECT_EQ(tokens[4].word, "Y\tZ");   // a tab does not separate
  EXPECT_EQ(tokens[5].kind, kTokenOther);
  EXPECT_EQ(tokens[5].word, "\t");
  EXPECT_EQ(tokens[5].start, 20);
  EXPECT_EQ(tokens[5].end, 20);
  EXPECT_EQ(tokens[6].kind, kTokenOther);
  EXPECT_EQ(tokens[6].word, "*");
}

TEST(FieldScanner, LongWordKeepsFortyCharacters) {
  const std::string long_word(45, 'q');
  const std::vector<Token> tokens = scan_all(long_word + " 7");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0].word, std::string(40, 'Q'));
  EXPECT_EQ(tokens[0].end, 45);
  EXPECT_EQ(tokens[1].integer, 7);
  EXPECT_EQ(tokens[1].start, 47);
}

TEST(FieldScanner, LineIsCutToEightyColumns) {
  // A token running past column 80 ends there; what lies beyond is not seen.
  std::string text(78, ' ');
  text += "12345 9";
  FieldScanner scanner;
  scanner.set_line(text);
  ASSERT_EQ(scanner.next_token(), kTokenInteger);
  EXPECT_EQ(scanner.integerValue, 12);
  EXPECT_EQ(scanner.tokenStart, 79);
  EXPECT_EQ(scanner.position, 81);
  EXPECT_EQ(scanner.next_token(), kTokenNone);
  EXPECT_EQ(scanner.position, 81);
  EXPECT_EQ(scanner.tokenStart, 79);  // the last token found stays
}

TEST(FieldScanner, BlankRestGivesKindNoneAndDefaults) {
  FieldScanner scanner;
  scanner.set_line("5 , ,,  ");
  int32_t integer = 0;
  EXPECT_EQ(scanner.read_integer_field(integer, -1), 0);
  EXPECT_EQ(integer, 5);
  EXPECT_EQ(scanner.read_integer_field(integer, 99), 1);
  EXPECT_EQ(integer, 99);
  EXPECT_EQ(scanner.position, 81);
  float real = 3.0f;
  EXPECT_EQ(scanner.read_real_field(real, 1.5f), 1);
  EXPECT_EQ(real, 1.5f);

  scanner.set_line("");
  EXPECT_EQ(scanner.position, 1);
  EXPECT_EQ(scanner.next_token(), kTokenNone);
}

TEST(FieldScanner, TypedReaders) {
  FieldScanner scanner;
  scanner.set_line("2.5 7 2.0 x");
  int32_t integer = 0;
  float real = 0.0f;
  EXPECT_EQ(scanner.read_integer_field(integer, 11), 1);  // a real is not an integer
  EXPECT_EQ(integer, 11);
  EXPECT_EQ(scanner.read_real_field(real, 0.0f), 0);  // every integer is a real
  EXPECT_EQ(real, 7.0f);
  EXPECT_EQ(scanner.read_integer_field(integer, 0), 0);  // a zero fraction is an integer
  EXPECT_EQ(integer, 2);
  EXPECT_EQ(scanner.read_real_field(real, -1.0f), 1);  // a word is not a number
  EXPECT_EQ(real, -1.0f);
}

TEST(FieldScanner, LogicalsTable) {
  struct Row {
    const char* text;
    int error;
    bool value;  // when error is 0
  };
  const Row rows[] = {
      {"T", 0, true}, {"t", 0, true}, {"F", 0, false}, {"f", 0, false},
      {" ,T", 0, true}, {"TRUE", 1, false}, {".T", 1, false}, {"1", 1, false},
      {"", 1, false}, {"X", 1, false}, {"T.", 1, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    FieldScanner scanner;
    scanner.set_line(row.text);
    for (bool before : {false, true}) {
      scanner.set_line(row.text);
      bool value = before;
      EXPECT_EQ(scanner.read_logical_field(value), row.error);
      EXPECT_EQ(value, row.error == 0 ? row.value : before);
    }
  }
}

TEST(FirstWord, Table) {
  struct Row {
    std::string field;
    int error;
    std::string word;
  };
  const std::string full(40, 'n');
  const Row rows[] = {
      {"report.txt", 0, "report.txt"},
      {"   mags.txt  comment here", 0, "mags.txt"},
      {"a,b c", 0, "a,b"},
      {"\tname", 0, "\tname"},
      {full, 0, full},
      {full + "tail", 0, full},
      {std::string(39, ' ') + "xy", 0, "x"},
      {"", 1, "unchanged"},
      {std::string(40, ' ') + "beyond", 1, "unchanged"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.field);
    FixedText<40> destination("unchanged");
    EXPECT_EQ(first_word(row.field, destination), row.error);
    EXPECT_EQ(destination, FixedText<40>(row.word));
  }
}

TEST(TodayDate, IsTheLocalCalendarDate) {
  std::time_t now = std::time(nullptr);
  std::tm before{};
  localtime_r(&now, &before);
  const CalendarDate date = today_date();
  now = std::time(nullptr);
  std::tm after{};
  localtime_r(&now, &after);
  // Around midnight the date may be either side.
  const bool matches_before = date.year == before.tm_year + 1900 &&
                              date.month == before.tm_mon + 1 && date.day == before.tm_mday;
  const bool matches_after = date.year == after.tm_year + 1900 && date.month == after.tm_mon + 1 &&
                             date.day == after.tm_mday;
  EXPECT_TRUE(matches_before || matches_after);
  EXPECT_GE(date.year, 2000);
  EXPECT_GE(date.month, 1);
  EXPECT_LE(date.month, 12);
}

}  // namespace
}  // namespace vespera
