#include "format/text_record.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "vocabulary/program_exit.h"
#include "support/temp_files.h"

namespace vespera {
namespace {

using test::stream_holding;

std::vector<std::string> records_of(const std::string& bytes, std::size_t length) {
  std::FILE* stream = stream_holding(bytes);
  EXPECT_NE(stream, nullptr);
  if (stream == nullptr) return {};
  TextRecordReader reader(stream, "test.txt");
  std::vector<std::string> records;
  std::string record;
  while (reader.read(length, record)) {
    EXPECT_EQ(record.size(), length);
    records.push_back(record);
  }
  EXPECT_EQ(reader.records_read(), static_cast<long>(records.size()));
  std::fclose(stream);
  return records;
}

using Records = std::vector<std::string>;

TEST(TextRecordReader, LineEnds) {
  struct Row {
    std::string bytes;
    Records expected;
  };
  const Row rows[] = {
      {"", {}},
      {"\n", {""}},
      {"a\n", {"a"}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\rb\n", {"a", "b"}},
      {"a\r\r\n", {"a", ""}},
      {"a\r", {"a"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"\r\r", {"", ""}},
      {"a\n\r\nb\rc", {"a", "", "b", "c"}},
  };
  for (const Row& row : rows) {
    Records padded;
    for (const std::string& r : row.expected) padded.push_back(fixed_record(r, 3));
    EXPECT_EQ(records_of(row.bytes, 3), padded) << testing::PrintToString(row.bytes);
  }
}

TEST(TextRecordReader, PadsCutsAndKeepsAnyBytes) {
  EXPECT_EQ(records_of("abcdefgh\nxy\n", 4), (Records{"abcd", "xy  "}));
  EXPECT_EQ(records_of("abc\n", 0), (Records{""}));
  const std::string with_nul("a\0b\n", 4);
  EXPECT_EQ(records_of(with_nul, 4), (Records{std::string("a\0b ", 4)}));
  EXPECT_EQ(records_of("\xff\xfe\x01\n", 3), (Records{"\xff\xfe\x01"}));
  // A very long line is consumed whole; the next line starts afresh.
  const std::string long_line(1 << 20, 'x');
  EXPECT_EQ(records_of(long_line + "\r\nnext", 5), (Records{"xxxxx", "next "}));
}

TEST(TextRecordReader, ReadersTakeTurnsOnOneStream) {
  // As console answers are read: a new reader for every line.
  std::FILE* stream = stream_holding("one\r\ntwo\rthree\n");
  ASSERT_NE(stream, nullptr);
  std::string record;
  EXPECT_TRUE(TextRecordReader(stream, "standard input").read(5, record));
  EXPECT_EQ(record, "one  ");
  EXPECT_TRUE(TextRecordReader(stream, "standard input").read(5, record));
  EXPECT_EQ(record, "two  ");
  EXPECT_TRUE(TextRecordReader(stream, "standard input").read(5, record));
  EXPECT_EQ(record, "three");
  EXPECT_FALSE(TextRecordReader(stream, "standard input").read(5, record));
  std::fclose(stream);
}

TEST(TextRecordReader, ReadErrorNamesTheFile) {
  // Reading a directory fails with a read error, not an end of file.
  std::FILE* stream = std::fopen(VESPERA_SOURCE_DIR, "r");
  if (stream == nullptr) GTEST_SKIP() << "directories cannot be opened as streams here";
  TextRecordReader reader(stream, "catalogue.txt");
  std::string record;
  try {
    reader.read(10, record);
    ADD_FAILURE() << "no error thrown";
  } catch (const FatalIoError& error) {
    EXPECT_EQ(error.file(), "catalogue.txt");
    EXPECT_NE(error.cause().find("read error"), std::string::npos);
  }
  std::fclose(stream);
}

TEST(FixedRecord, PadsAndCuts) {
  EXPECT_EQ(fixed_record("ab", 4), "ab  ");
  EXPECT_EQ(fixed_record("abcdef", 4), "abcd");
  EXPECT_EQ(fixed_record("", 2), "  ");
  EXPECT_EQ(fixed_record("abc", 0), "");
}

TEST(Columns, OneBasedInclusive) {
  const std::string_view record = "1 25544U 98067A";
  EXPECT_EQ(columns(record, 3, 7), "25544");
  EXPECT_EQ(columns(record, 1, 1), "1");
  EXPECT_EQ(columns(record, 10, 15), "98067A");
  EXPECT_EQ(columns(record, 10, 40), "98067A");  // cut at the record's end
  EXPECT_EQ(columns(record, 16, 20), "");
  EXPECT_EQ(columns(record, 5, 4), "");
  EXPECT_EQ(columns(record, 0, 2), "1 ");
}

}  // namespace
}  // namespace vespera
