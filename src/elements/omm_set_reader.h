// The element sets of an OMM file: each record read, selected and turned
// into an ElementSet exactly as a two-line set is.
#pragma once

#include "elements/element_file.h"
#include "elements/element_set.h"
#include "elements/element_source.h"

namespace vespera {

// readOmmElementSet: the contract of readElementSet for an OMM file: reads
// records until one selected, usable set is in `current` (returns 0), or the
// file ends (returns 1).
// A record is skipped silently when its catalogue number is not selected or
// its mean motion is 4.0 rev/day or less. A record that cannot be used (a
// missing or undecodable value, a catalogue number outside 1-339999, an
// ephemeris type other than 0, numbers that give no orbit), and a file that
// stops making sense, are reported as a two-line set's format error, at the
// record's first line (or where the file stops making sense).
int readOmmElementSet(ElementFile& file, const ElementContext& context, ElementSet& current);

}  // namespace vespera
