#include "elements/format_error_report.h"

#include "format/format_writer.h"

namespace vespera {

void FormatErrorReport::report() {
  static const Format kErrorInFile("('Error in elements file ',a)");
  static const Format kFormatError("('Format error in elements file at line',i5)");
  if (!named_) {
    kErrorInFile.write(console_, {file_.name()});
    named_ = true;
  }
  kFormatError.write(console_, {file_.line_number()});
}

}  // namespace vespera
