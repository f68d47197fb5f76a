// The element-file reader: assembles one selected, complete element set from
// the lines of an open two-line element file, or takes it from the next
// records of an OMM file (omm_set_reader.h).
//
// Lines are classified by their first columns: "1 " starts line 1, "2 " starts
// line 2, any other line with a non-blank character in columns 1-14 is a name
// line for the next set, and a line blank in columns 1-14 is ignored.
#pragma once

#include <string_view>

#include "elements/element_file.h"
#include "elements/element_set.h"
#include "elements/element_source.h"

namespace vespera {

enum class ElementLineKind { LineOne, LineTwo, Name, Ignored };

// The kind of a 70-column element-file record.
ElementLineKind classifyElementLine(std::string_view record);

// selectedForRun: whether catalogue number `ncat` passes the run's selection:
// every number when the selection count is 0; else one of the NCAT list, or,
// by flag letters, a number whose flag in the magnitude catalogue (flag-only
// lookup) is one of the letters. A number absent from the catalogue has a
// blank flag and never passes.
bool selectedForRun(int32_t ncat, const ElementContext& context);

// readElementSet: reads lines from `file` until one selected, complete set is
// assembled into `current` (returns 0), or the file ends (returns 1; a half
// read set is dropped).
// Sets are skipped silently for catalogue number 0, for a number not selected,
// for a line 2 without its line 1 and for a mean motion of 4.0 rev/day or
// less. A field that does not decode, a line 2 of another catalogue number, or
// numbers that give no orbit skip the set with the console message
// "Error in elements file <40-character name>" (once per call) followed by
// "Format error in elements file at line<i5>".
int readElementSet(ElementFile& file, const ElementContext& context, ElementSet& current);

}  // namespace vespera
