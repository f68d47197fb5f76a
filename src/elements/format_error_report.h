// The report of an element set that cannot be used: "Error in elements file"
// with the file's 40-character name, once per reading of a set, then
// "Format error in elements file at line" with the line on which the fault
// lies (the offending line of a two-line set, the first line of an OMM
// record).
#pragma once

#include <cstdio>

#include "elements/element_file.h"

namespace vespera {

class FormatErrorReport {
 public:
  FormatErrorReport(const ElementFile& file, std::FILE* console) : file_(file), console_(console) {}

  // Writes the report for the file's current line.
  void report();

 private:
  const ElementFile& file_;
  std::FILE* console_;
  bool named_ = false;  // the file's name has been written
};

}  // namespace vespera
