#include "format/catalogue_number.h"

#include <cstddef>

#include "format/column_decoder.h"
#include "format/edit_fields.h"

namespace vespera {
namespace {

constexpr std::size_t kFieldWidth = 5;
constexpr int32_t kAlpha5Unit = 10000;  // what one step of the letter is worth

// The letters of the ten-thousands 10 to 33, in order.
constexpr std::string_view kAlpha5Letters = "ABCDEFGHJKLMNPQRSTUVWXYZ";
static_assert(kAlpha5Letters.size() == 24, "ten-thousands 10 to 33");

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_capital(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

std::optional<int32_t> alpha5_number(std::string_view text) {
  if (text.size() != kFieldWidth) return std::nullopt;
  const std::size_t letter = kAlpha5Letters.find(text[0]);
  if (letter == std::string_view::npos) return std::nullopt;
  int32_t units = 0;
  for (char c : text.substr(1)) {
    if (!is_digit(c)) return std::nullopt;
    units = units * 10 + (c - '0');
  }
  return (static_cast<int32_t>(letter) + 10) * kAlpha5Unit + units;
}

void decodeCatalogueNumber(std::string_view record, int first, int last, int32_t& value,
                           bool& errorFlag) {
  const std::size_t at = first >= 1 ? static_cast<std::size_t>(first - 1) : record.size();
  if (at >= record.size() || !is_capital(record[at])) {
    decodeColumnField(record, first, last, value, errorFlag);
    return;
  }
  const std::optional<int32_t> number =
      last - first + 1 == static_cast<int>(kFieldWidth) ? alpha5_number(record.substr(at, kFieldWidth))
                                                        : std::nullopt;
  if (number) {
    value = *number;
  } else {
    errorFlag = true;
  }
}

FixedText<5> catalogue_number_field(int32_t ncat) {
  FixedText<5> field;
  if (ncat >= kFirstAlpha5Number && ncat <= kLargestAlpha5Number) {
    field[0] = kAlpha5Letters[static_cast<std::size_t>(ncat / kAlpha5Unit - 10)];
    int32_t units = ncat % kAlpha5Unit;
    for (std::size_t i = kFieldWidth - 1; i >= 1; --i, units /= 10) {
      field[i] = static_cast<char>('0' + units % 10);
    }
    return field;
  }
  // The digits as the descriptor I5 writes them, by its own edit routine.
  put_integer_onto_blanks(field.chars.data(), ncat, static_cast<int>(kFieldWidth));
  return field;
}

}  // namespace vespera
