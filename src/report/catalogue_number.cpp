#include "report/catalogue_number.h"

#include "report/layout_columns.h"

namespace vespera {

std::optional<int32_t> read_catalogue_number(std::string_view columns) {
  const PrintedValue v = read_printed(columns, Format::Descriptor::Kind::Integer, 0);
  if (!v.has_number() || v.number < INT32_MIN || v.number > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(v.number);
}

}  // namespace vespera
