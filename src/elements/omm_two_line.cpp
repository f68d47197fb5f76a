#include "elements/omm_two_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "elements/calendar.h"
#include "elements/decimal_number.h"
#include "elements/omm_epoch.h"
#include "format/catalogue_number.h"
#include "vocabulary/units.h"

namespace vespera {
namespace {

constexpr std::size_t kNameLineColumns = 14;   // what a name line gives of a name
constexpr std::size_t kDesignatorColumns = 9;  // line 1 columns 10-18
// The epoch's fraction of a day in line 1 has eight decimals; the mean
// elements keep it to 1e-10 day (8.64 microseconds), which recovers a
// two-line set's eight decimals from a time written to the microsecond.
constexpr double kLineOneDayUnits = 1e8;
constexpr double kMeanDayUnits = 1e10;

struct Number {
  double value = 0.0;
  bool ok = false;
};

Number decimal(const OmmRecord& record, OmmKey key) {
  const std::optional<std::string_view> text = record.value(key);
  Number n;
  n.ok = text && read_decimal(*text, n.value);
  return n;
}

std::optional<int32_t> whole(const OmmRecord& record, OmmKey key) {
  const std::optional<std::string_view> text = record.value(key);
  if (!text) return std::nullopt;
  int32_t value = 0;
  const char* end = text->data() + text->size();
  const auto [stop, error] = std::from_chars(text->data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// A number written with a fixed count of decimals, on the stack.
struct FixedDecimal {
  char chars[32];
  std::size_t size = 0;
  std::string_view view() const { return std::string_view(chars, size); }
};

// `value` rounded to `decimals` (0 to 8) decimals, half away from zero,
// and written with them: "0.00000363", "-12.5000"; empty when it is too
// large to write.
FixedDecimal fixed(double value, int decimals) {
  constexpr double kPowersOfTen[] = {1.0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  constexpr double kLargestScaled = 1e15;  // well inside the exact integers of a double
  FixedDecimal out;
  const double scaled = value * kPowersOfTen[decimals];
  if (!(std::fabs(scaled) < kLargestScaled)) return out;
  const long long units = std::llround(scaled);
  const auto magnitude = static_cast<unsigned long long>(units < 0 ? -units : units);
  char digits[24];
  const auto count = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits);
  const auto places = static_cast<std::size_t>(decimals);
  const auto put = [&](std::string_view text) {
    std::copy(text.begin(), text.end(), out.chars + out.size);
    out.size += text.size();
  };
  if (units < 0 || (units == 0 && std::signbit(value))) put("-");
  const std::string_view all(digits, count);
  if (count <= places) {
    put("0.");
    for (std::size_t i = count; i < places; ++i) put("0");
    put(all);
  } else {
    put(all.substr(0, count - places));
    put(".");
    put(all.substr(count - places));
  }
  return out;
}

// Writes `text` right-justified into columns first..last of `line`; false
// when it does not fit.
bool put_right(LineText& line, int first, int last, std::string_view text) {
  const std::size_t width = static_cast<std::size_t>(last - first + 1);
  if (text.empty() || text.size() > width) return false;
  std::copy(text.begin(), text.end(), line.chars.begin() + (last - static_cast<int>(text.size())));
  return true;
}

// A value written without the zero before its point, as the derivative and
// the eccentricity are: "0.00000363" as ".00000363", negative "-.00000363".
std::string without_leading_zero(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  const std::string_view magnitude = text.substr(negative ? 1 : 0);
  if (magnitude.substr(0, 2) != "0.") return std::string();
  std::string out(negative ? 1 : 0, '-');
  out.append(magnitude.substr(1));
  return out;
}

// Line 1's epoch fraction and derivative; sets the epoch day.
bool write_line_one(const OmmEpoch& epoch, double dot, OmmTwoLineSet& set) {
  double units = std::llround(epoch.secondsOfDay / kSecondsPerDay * kLineOneDayUnits);
  int32_t day = epoch.dayOfYear;
  if (units >= kLineOneDayUnits) {
    units -= kLineOneDayUnits;
    ++day;
  }
  const FixedDecimal fraction = fixed(units / kLineOneDayUnits, 8);
  const std::string derivative = without_leading_zero(fixed(dot, 8).view());
  set.epochDay = monthBaseDayNumber(epoch.year, 1) + day;
  return fraction.size == 10 && put_right(set.line1, 24, 32, fraction.view().substr(1)) &&
         put_right(set.line1, 34, 43, derivative);
}

// The epoch of the mean elements, to 1e-10 day.
void set_mean_epoch(const OmmEpoch& epoch, MeanElements& mean) {
  double units = std::llround(epoch.secondsOfDay / kSecondsPerDay * kMeanDayUnits);
  int32_t day = epoch.dayOfYear;
  if (units >= kMeanDayUnits) {
    units -= kMeanDayUnits;
    ++day;
  }
  mean.epochDay = monthBaseDayNumber(epoch.year, 1) + day;
  mean.epochDayFraction = units / kMeanDayUnits;
}

// The first `places` decimals of a value from 0 to below 1 written in
// `text` (with a point, an exponent or both: ".00126398", "1.2639E-3"), cut,
// not rounded: two-line sets are written with the eccentricity's first seven
// decimals. Empty when the text is no such value.
std::string leading_decimals(std::string_view text, std::size_t places) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const std::size_t exponent_at = text.find_first_of("eE");
  const std::string_view mantissa = text.substr(0, exponent_at);
  int exponent = 0;
  if (exponent_at != std::string_view::npos) {
    std::string_view power = text.substr(exponent_at + 1);
    if (!power.empty() && power.front() == '+') power.remove_prefix(1);
    const auto [stop, error] = std::from_chars(power.data(), power.data() + power.size(), exponent);
    if (error != std::errc() || stop != power.data() + power.size() || exponent < -99 || exponent > 99) return {};
  }
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  std::string digits = std::string(mantissa.substr(0, point)) +
                       std::string(mantissa.substr(std::min(point + 1, mantissa.size())));
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return {};
  // Digits before the point once the exponent is applied; they must be zeros.
  const long whole = static_cast<long>(point) + exponent;
  if (whole > 0) {
    const std::size_t count = std::min(digits.size(), static_cast<std::size_t>(whole));
    if (digits.find_first_not_of('0') < count) return {};
    digits.erase(0, count);
  } else {
    digits.insert(0, static_cast<std::size_t>(-whole), '0');
  }
  digits.resize(places, '0');
  return digits;
}

// A value's field text: the record's own text when it is already written
// with the field's decimals ("51.6416" for four), which is what rounding its
// value would write; otherwise the value rounded.
FixedDecimal field_text(const OmmRecord& record, OmmKey key, double value, int decimals) {
  const std::string_view text = record.value(key).value_or(std::string_view());
  std::size_t at = !text.empty() && text.front() == '-' ? 1 : 0;
  const std::size_t first_digit = at;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
  const std::size_t point = at;
  if (point < text.size() && text[point] == '.') ++at;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
  const bool written_so = point > first_digit && point < text.size() && text[point] == '.' &&
                          at == text.size() && text.size() - point - 1 == static_cast<std::size_t>(decimals) &&
                          text.size() < sizeof(FixedDecimal::chars);
  if (!written_so) return fixed(value, decimals);
  FixedDecimal out;
  std::copy(text.begin(), text.end(), out.chars);
  out.size = text.size();
  return out;
}

bool write_line_two(const OmmRecord& record, const MeanElements& m, OmmTwoLineSet& set) {
  LineText& line = set.line2;
  const std::string eccentricity =
      leading_decimals(record.value(OmmKey::Eccentricity).value_or(std::string_view()), 7);
  return !eccentricity.empty() &&
         put_right(line, 9, 16, field_text(record, OmmKey::Inclination, m.inclinationDeg, 4).view()) &&
         put_right(line, 18, 25, field_text(record, OmmKey::RaOfAscNode, m.nodeDeg, 4).view()) &&
         put_right(line, 27, 33, eccentricity) &&
         put_right(line, 35, 42, field_text(record, OmmKey::ArgOfPericenter, m.argPerigeeDeg, 4).view()) &&
         put_right(line, 44, 51, field_text(record, OmmKey::MeanAnomaly, m.meanAnomalyDeg, 4).view()) &&
         put_right(line, 53, 63, field_text(record, OmmKey::MeanMotion, m.meanMotion, 8).view());
}

// `text` in `columns` columns (cut, or filled with blanks), its control
// characters written as blanks: the report's lines must stay lines.
std::string in_columns(std::string_view text, std::size_t columns) {
  std::string shown(text.substr(0, columns));
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  shown.resize(columns, ' ');
  return shown;
}

// The name: a name line's columns 1-14 and two blanks; without a name, line
// 1's columns 10-18 (the designator) and seven blanks.
FixedText<16> set_name(const OmmRecord& record) {
  const std::string name =
      in_columns(record.value(OmmKey::ObjectName).value_or(std::string_view()), kNameLineColumns);
  if (name.find_first_not_of(' ') != std::string::npos) return FixedText<16>(name);
  return FixedText<16>(in_columns(
      international_designator(record.value(OmmKey::ObjectId).value_or(std::string_view())), kDesignatorColumns));
}

bool read_mean_values(const OmmRecord& record, MeanElements& mean) {
  const Number values[] = {decimal(record, OmmKey::MeanMotion),  decimal(record, OmmKey::Eccentricity),
                           decimal(record, OmmKey::Inclination), decimal(record, OmmKey::RaOfAscNode),
                           decimal(record, OmmKey::ArgOfPericenter),
                           decimal(record, OmmKey::MeanAnomaly), decimal(record, OmmKey::Bstar)};
  for (const Number& n : values) {
    if (!n.ok) return false;
  }
  mean.meanMotion = values[0].value;
  mean.eccentricity = values[1].value;
  mean.inclinationDeg = values[2].value;
  mean.nodeDeg = values[3].value;
  mean.argPerigeeDeg = values[4].value;
  mean.meanAnomalyDeg = values[5].value;
  mean.bstar = values[6].value;
  return true;
}

}  // namespace

std::string international_designator(std::string_view object_id) {
  // YYYY-NNNP: launch year, launch number, piece (one to three letters).
  const bool launch_form = object_id.size() >= 9 && object_id.size() <= 11 && object_id[4] == '-' &&
                           object_id.substr(0, 4).find_first_not_of("0123456789") == std::string_view::npos &&
                           object_id.substr(5, 3).find_first_not_of("0123456789") == std::string_view::npos &&
                           object_id.substr(8).find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") ==
                               std::string_view::npos;
  if (!launch_form) return std::string(object_id);
  return std::string(object_id.substr(2, 2)) + std::string(object_id.substr(5));
}

std::optional<int32_t> omm_catalogue_number(const OmmRecord& record) {
  const std::optional<int32_t> ncat = whole(record, OmmKey::NoradCatId);
  if (!ncat || *ncat < 1 || *ncat > kLargestAlpha5Number) return std::nullopt;
  return ncat;
}

std::optional<OmmTwoLineSet> omm_two_line_set(const OmmRecord& record, int32_t ncat) {
  const std::optional<std::string_view> epoch_text = record.value(OmmKey::Epoch);
  const std::optional<OmmEpoch> epoch = epoch_text ? parse_omm_epoch(*epoch_text) : std::nullopt;
  const Number dot = decimal(record, OmmKey::MeanMotionDot);
  const Number second_dot = decimal(record, OmmKey::MeanMotionDdot);
  const std::optional<int32_t> type = whole(record, OmmKey::EphemerisType);
  if (!epoch || epoch->year < kFirstYear || epoch->year > kLastYear || !dot.ok || !second_dot.ok ||
      (record.value(OmmKey::EphemerisType) && type != 0)) {
    return std::nullopt;
  }
  OmmTwoLineSet set;
  const FixedText<5> number = catalogue_number_field(ncat);
  put_right(set.line1, 3, 7, number.view());
  put_right(set.line2, 3, 7, number.view());
  set.name = set_name(record);
  if (!read_mean_values(record, set.mean) || !write_line_one(*epoch, dot.value, set) ||
      !write_line_two(record, set.mean, set)) {
    return std::nullopt;
  }
  set_mean_epoch(*epoch, set.mean);
  set.mean.valid = true;
  return set;
}

}  // namespace vespera
