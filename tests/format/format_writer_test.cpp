#include "format/format_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "support/temp_files.h"

namespace vespera {
namespace {

std::string text_of(const Format& format, std::initializer_list<FormatItem> items) {
  std::string out;
  format.append(out, items);
  return out;
}

std::string text_of(std::string_view format, std::initializer_list<FormatItem> items) {
  return text_of(Format(format), items);
}

TEST(FormatWriter, ReportLayoutsColumnForColumn) {
  // A prediction line of formats A, D and E.
  const Format line_a("(i2,2i3,a4,a,1x,a1,i4,f5.1,i4,i2,i5,i4,i5,f4.1,i4,i3,i2,f6.1)");
  const std::string angles_a = Format("(I3,I4)").record({45, 123});
  EXPECT_EQ(angles_a, " 45 123");
  EXPECT_EQ(text_of(line_a, {20, 15, 5, "    ", angles_a, "C", 90, 2.5f, 3, 4, 400, 1500, 560, 1.2f,
                             80, 14, 30, 25.4f}),
            "20 15  5     45 123 C  90  2.5   3 4  4001500  560 1.2  80 1430  25.4\n");

  // Format R.
  EXPECT_EQ(text_of("(i2,2i3,a4,i3,i4,1x,a1,i4,i2,2i5)", {20, 15, 5, "    ", 45, 123, 'C', 3, 4, 400, 560}),
            "20 15  5     45 123 C   3 4  400  560\n");

  // Format B: the angle text is 13 characters of which a7 takes the first 7;
  // the name is written as 3a4,a2 from a 16-character field.
  std::string angles_b = Format("(I4,I3)").record({123, 45});
  angles_b.resize(13, ' ');
  const FixedText<16> name("DEMO SAT");
  const std::string_view n = name.view();
  EXPECT_EQ(text_of("(i2,2i3,a4,a7,a1,i4,f5.1,i4,i2,i5,i4,a,i3,i2,f5.1,a4,1x,a1,3a4,a2)",
                    {20, 15, 5, "    ", angles_b, 'C', 90, 2.5f, 3, 4, 400, 1500, "  560", 14, 30, 25.4f,
                     "10.0", 'd', n.substr(0, 4), n.substr(4, 4), n.substr(8, 4), n.substr(12, 2)}),
            "20 15  5     123 45C  90  2.5   3 4  4001500  560 1430 25.410.0 dDEMO SAT      \n");

  // Day header: the slash writes an empty line first; a3 takes 3 of 4 characters.
  EXPECT_EQ(text_of("(/,'***  ',i4,1x,a4,i3,2x,a3,' evening  *** Times are PM ',a4,' ***',i4,i2,i3,i2)",
                    {2020, "May ", 23, "Sat ", "EDT ", 20, 15, 4, 32}),
            "\n***  2020 May  23  Sat evening  *** Times are PM EDT  ***  2015  432\n");

  // Settings line.
  const FixedText<24> site("Philadelphia");
  EXPECT_EQ(text_of("(2f8.3,f6.0,3x,a24,i5,f5.1,i3,5l2)",
                    {40.0f, 75.0f, 300.0f, site, 2000, 4.5f, 10, FormatItem::logical(false),
                     FormatItem::logical(false), FormatItem::logical(false), FormatItem::logical(true),
                     FormatItem::logical(false)}),
            "  40.000  75.000  300.   Philadelphia             2000  4.5 10 F F F T F\n");

  // E angles.
  EXPECT_EQ(Format("(F7.2,F6.2)").record({359.6f, 45.0f}), " 359.60 45.00");
  EXPECT_EQ(Format("(F7.2,F6.2)").record({-1234.5f, -100.0f}), "*************");
}

TEST(FormatWriter, MessagesAndSlashes) {
  struct Row {
    const char* format;
    std::vector<FormatItem> items;
    const char* expected;
  };
  const std::string file = "elements.tle";
  const Row rows[] = {
      {"('Error: no elements were loaded (none matched flags?)'/' (or the input file did not contain CR "
       "characters)')",
       {},
       "Error: no elements were loaded (none matched flags?)\n (or the input file did not contain CR "
       "characters)\n"},
      {"('Invalid text input value columns',i3,' to',i3,/,1x,a)",
       {5, 9, "abc  "},
       "Invalid text input value columns  5 to  9\n abc  \n"},
      {"(i5,' predictions written to file ',a)", {12, file}, "   12 predictions written to file elements.tle\n"},
      {"('Space limit',i5,' predictions - output is being split up')",
       {10000},
       "Space limit10000 predictions - output is being split up\n"},
      {"(' Day',i3,' Start time',f6.2,' is greater than end time',f6.2)",
       {3, 21.5f, -2.25f},
       " Day  3 Start time 21.50 is greater than end time -2.25\n"},
      {"('It''s')", {}, "It's\n"},
      {"(1x)", {}, "\n"},
      {"(/,' H  M  S Tim Al Azi C Dys F  Hgt  Rng')", {}, "\n H  M  S Tim Al Azi C Dys F  Hgt  Rng\n"},
      {"(i1,2/i1)", {1, 2}, "1\n\n2\n"},
      {"(i1/i1)", {1, 2}, "1\n2\n"},
      {"(i1,5x/i1)", {1, 2}, "1\n2\n"},
      {"(i1,2x,i1)", {1, 2}, "1  2\n"},
      {"(' ',i1,2x,' ')", {1}, " 1   \n"},
      {"( I 3 , 2 X , 'a b' )", {5}, "  5  a b\n"},
      {"(I4,A,L2,F5.1,3X,'Q')", {-12, "t", FormatItem::logical(true), -0.04f, }, " -12t T  0.0   Q\n"},
      {"()", {}, "\n"},
  };
  for (const Row& row : rows) {
    std::string out;
    Format(row.format).append(out, row.items);
    EXPECT_EQ(out, row.expected) << row.format;
  }
}

TEST(FormatWriter, ItemsExhaustedStopTheRecord) {
  // Identification line of level 3: stops before the magnitude.
  const Format level3("(i5,1x,3a4,a2,12x,a4,1x,a1,f4.1,1x,8a4)");
  EXPECT_EQ(text_of(level3, {25544, "ISS ", "(ZAR", "YA) ", "  ", "10.0", 'd'}),
            "25544 ISS (ZARYA)               10.0 d\n");
  // Level 5: the magnitude, then nothing of 1x,8a4.
  EXPECT_EQ(text_of(level3, {25544, "ISS ", "(ZAR", "YA) ", "  ", "10.0", 'd', 20.0f}),
            "25544 ISS (ZARYA)               10.0 d20.0\n");
  // Level 7: the comment's words.
  EXPECT_EQ(text_of(level3, {25544, "ISS ", "(ZAR", "YA) ", "  ", "10.0", 'd', -1.3f, "STAT", "ION "}),
            "25544 ISS (ZARYA)               10.0 d-1.3 STATION \n");

  // Comment line: 8 blanks then the words; no words gives an empty line.
  EXPECT_EQ(text_of("(8x,8a4)", {"ABCD", "EF  "}), "        ABCDEF  \n");
  EXPECT_EQ(text_of("(8x,8a4)", {}), "\n");

  EXPECT_EQ(text_of("('x',i3,' a',i3,' b')", {1}), "x  1 a\n");
  EXPECT_EQ(text_of("('x',i3,' a',i3,' b')", {}), "x\n");
  EXPECT_EQ(text_of("(i3,:,' more')", {1}), "  1\n");
  EXPECT_EQ(text_of("(i3,:,' more')", {}), "\n");
  EXPECT_EQ(text_of("(i3,' more',:)", {1}), "  1 more\n");
  EXPECT_EQ(text_of("(i5)", {}), "\n");
  // A slash before the first unserved descriptor is still written.
  EXPECT_EQ(text_of("(i1/i1)", {1}), "1\n\n");
}

TEST(FormatWriter, FormatReversionWritesFurtherRecords) {
  EXPECT_EQ(text_of("(i3)", {1, 2, 3}), "  1\n  2\n  3\n");
  EXPECT_EQ(text_of("('x',i2)", {1, 2}), "x 1\nx 2\n");
  EXPECT_EQ(text_of("(8x,8a4)", {"a", "b", "c", "d", "e", "f", "g", "h", "i"}),
            "           a   b   c   d   e   f   g   h\n           i\n");
  // Taken up again from the last top-level group.
  EXPECT_EQ(text_of("('h',2(i2))", {1, 2, 3, 4, 5}), "h 1 2\n 3 4\n 5\n");
  EXPECT_EQ(text_of("(i1,2(1x,i1),'|')", {1, 2, 3, 4}), "1 2 3|\n 4\n");
  // Blank columns before the group belong to the first record alone; those
  // at the end of a record are not written.
  EXPECT_EQ(text_of("(2x,(1x,i2))", {1, 2}), "    1\n  2\n");
  EXPECT_EQ(text_of("(i1,3x)", {1, 2}), "1\n2\n");
  EXPECT_EQ(text_of("(/,i2)", {1, 2}), "\n 1\n\n 2\n");
}

TEST(FormatWriter, TextItemsAtWidthOrDeclaredLength) {
  EXPECT_EQ(Format("(a)").record({FixedText<8>("ab")}), "ab      ");
  EXPECT_EQ(Format("(a4)").record({FixedText<8>("abcdefgh")}), "abcd");
  EXPECT_EQ(Format("(a6)").record({"abc"}), "   abc");
  EXPECT_EQ(Format("(a,a1,a)").record({std::string("x "), 'C', std::string_view("y")}), "x Cy");
  EXPECT_EQ(Format("(a)").record({""}), "");
  EXPECT_EQ(Format("(i6)").record({int16_t{-300}}), "  -300");
  EXPECT_EQ(Format("(i6)").record({int32_t{-300}}), "  -300");
  // A text item may hold any bytes.
  const std::string bytes("a\0b", 3);
  EXPECT_EQ(Format("(a)").record({bytes}), bytes);
}

TEST(FormatWriter, RecordIsTheFirstRecordOnly) {
  EXPECT_EQ(Format("(I4)").record({4}), "   4");
  EXPECT_EQ(Format("(I4)").record({500}), " 500");
  EXPECT_EQ(Format("(I4)").record({12345}), "****");
  EXPECT_EQ(Format("(I5)").record({100001}), "*****");
  EXPECT_EQ(Format("(i3/i3)").record({1, 2}), "  1");
  EXPECT_EQ(Format("(i3)").record({1, 2}), "  1");
  EXPECT_EQ(Format("(/,'x')").record({}), "");
  EXPECT_EQ(Format("(i4,i4)").record({1}), "   1");
}

TEST(FormatWriter, RecordIntoAFixedField) {
  FixedText<13> angles;
  Format("(I3,I4)").record(angles, {45, 123});
  EXPECT_EQ(angles.view(), " 45 123      ");
  Format("(F7.2,F6.2)").record(angles, {359.6f, 45.0f});
  EXPECT_EQ(angles.view(), " 359.60 45.00");
  FixedText<2> cut("xy");
  Format("(I4)").record(cut, {500});
  EXPECT_EQ(cut.view(), " 5");
  FixedText<4> first_only;
  Format("(i1/i3)").record(first_only, {7, 8});
  EXPECT_EQ(first_only.view(), "7   ");

  // The first characters of a record longer than the writer's own buffer.
  const std::string long_text(300, 'q');
  char buffer[310];
  ASSERT_EQ(Format("(a,i4)").record(buffer, sizeof buffer, {long_text, 42}), 304u);
  EXPECT_EQ(std::string(buffer, 304), long_text + "  42");
  ASSERT_EQ(Format("(a,i4)").record(buffer, 5, {long_text, 42}), 5u);
  EXPECT_EQ(std::string(buffer, 5), "qqqqq");
}

TEST(FormatWriter, RecordsAndFieldsLongerThanTheWritersBuffer) {
  const std::string a(200, 'a');
  const std::string b(200, 'b');
  EXPECT_EQ(text_of("(a,1x,a)", {a, b}), a + " " + b + "\n");
  EXPECT_EQ(text_of("(a,i3)", {a, 7, a, 8}), a + "  7\n" + a + "  8\n");
  EXPECT_EQ(text_of("(i300)", {-5}), std::string(298, ' ') + "-5\n");
  EXPECT_EQ(text_of("(f300.2)", {2.5f}), std::string(296, ' ') + "2.50\n");
  EXPECT_EQ(text_of("(a300)", {"xy"}), std::string(298, ' ') + "xy\n");
  EXPECT_EQ(text_of("(l300)", {FormatItem::logical(true)}), std::string(299, ' ') + "T\n");
  EXPECT_EQ(text_of("(300x,i1)", {3}), std::string(300, ' ') + "3\n");
  EXPECT_EQ(text_of("(i1,300x)", {3}), "3\n");
  EXPECT_EQ(text_of("(i1,300x/i1)", {3, 4}), "3\n4\n");
  EXPECT_EQ(text_of("(i1,300x,:,'z')", {3}), "3\n");
  // Five thousand million blank columns at the end of the record: counted, never written.
  EXPECT_EQ(text_of("(i1,50000(100000x))", {3}), "3\n");
  EXPECT_EQ(Format("(a,/,a)").record({a, b}), a);
}

TEST(FormatWriter, ACopiedFormatOutlivesItsOriginal) {
  auto make = [] {
    const Format original("('Space limit',i5,' predictions - output is being split up')");
    return Format(original);
  };
  const Format copy = make();
  EXPECT_EQ(text_of(copy, {10000}), "Space limit10000 predictions - output is being split up\n");
}

TEST(FormatWriter, WritesToStreams) {
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  const Format format("(i5,' predictions written to file ',a)");
  format.write(stream, {3, "out.txt"});
  write_formatted(stream, "('Enter control file name')");
  std::vector<FormatItem> items{1, 2};
  Format("(2i2)").write(stream, items);
  const std::string text = test::stream_text(stream);
  std::fclose(stream);
  EXPECT_EQ(text, "    3 predictions written to file out.txt\nEnter control file name\n 1 2\n");
}

TEST(FormatWriter, WrongItemKindIsAProgrammingError) {
  EXPECT_THROW(Format("(i3)").record({1.0f}), std::invalid_argument);
  EXPECT_THROW(Format("(i3)").record({"1"}), std::invalid_argument);
  EXPECT_THROW(Format("(i3)").record({FormatItem::logical(true)}), std::invalid_argument);
  EXPECT_THROW(Format("(f5.1)").record({1}), std::invalid_argument);
  EXPECT_THROW(Format("(f5.1)").record({"1"}), std::invalid_argument);
  EXPECT_THROW(Format("(l2)").record({1}), std::invalid_argument);
  EXPECT_THROW(Format("(a4)").record({1}), std::invalid_argument);
  EXPECT_THROW(Format("(a)").record({2.0f}), std::invalid_argument);
  // Items but no descriptor to take them.
  EXPECT_THROW(Format("('abc')").record({1}), std::invalid_argument);
  EXPECT_THROW(Format("(1x)").record({1}), std::invalid_argument);
  // ... or none in the part that leftover items take up again.
  std::string taken_up;
  EXPECT_THROW(Format("(i1,('x'))").append(taken_up, {1, 2}), std::invalid_argument);
  EXPECT_THROW(Format("(i1,())").append(taken_up, {1, 2}), std::invalid_argument);
  // What came before the wrong item is written.
  std::string out;
  EXPECT_THROW(Format("(i2,'x',2x,i2)").append(out, {1, 2.0f}), std::invalid_argument);
  EXPECT_EQ(out, " 1x");
  out.clear();
  EXPECT_THROW(Format("(i2,i2)").append(out, {1, 2, "3"}), std::invalid_argument);
  EXPECT_EQ(out, " 1 2\n");
  // A bool must be given as a logical.
  static_assert(!std::is_constructible_v<FormatItem, bool>);
}

TEST(FormatWriter, MalformedFormatsAreRejected) {
  const char* malformed[] = {
      "",       "i3",     "(i3",      "(i3))",   "(i3)x",   "(i0)",     "(i)",      "(f5)",
      "(f5.)",  "(f.1)",  "(l)",      "(a0)",    "(q3)",    "(e10.3)",  "(5h12345)", "('abc)",
      "(i3 i3)", "('a''b'i3)", "(,i3)", "(i3,)",   "(i3,,i3)", "(0i3)",    "(2'ab')",  "((i3)",
      "(i3.2)", "(0x)",   "(0/)",     "(i999999)", "(2:)",   "(\"abc\")", "(99999(99999i1))", "(99999(99999/))",
  };
  for (const char* text : malformed) {
    EXPECT_THROW(Format{text}, std::invalid_argument) << text;
  }
  // Commas around a slash may be left out; blanks outside literals are ignored.
  EXPECT_NO_THROW(Format("('a'/'b')"));
  EXPECT_NO_THROW(Format("(/'a',/,'b'/)"));
  EXPECT_NO_THROW(Format("  (i3)  "));
  EXPECT_NO_THROW(Format("(x)"));
}

}  // namespace
}  // namespace vespera
