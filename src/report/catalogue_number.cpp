#include "report/catalogue_number.h"

#include "format/catalogue_number.h"
#include "report/layout_columns.h"

namespace vespera {

std::optional<int32_t> read_catalogue_number(std::string_view columns) {
  const PrintedValue v = read_printed(columns, Format::Descriptor::Kind::Integer, 0);
  if (v.has_number()) {
    if (v.number < INT32_MIN || v.number > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(v.number);
  }
  const std::size_t first = columns.find_first_not_of(' ');
  return first == std::string_view::npos ? std::nullopt : alpha5_number(columns.substr(first));
}

}  // namespace vespera
