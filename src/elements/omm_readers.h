// The readers of the three OMM forms, each over a whole file held in memory.
//
// CSV: the first line names the keywords of the columns; each further line
// (a field in quotes may hold commas, doubled quotes and line ends) is a
// record; empty lines are passed over. A field in quotes that never ends
// makes the file stop making sense at its record's first line.
// XML: each <omm> element (the document's own, or each child of <ndm>) is a
// record starting at the line of its opening tag; its keywords are the names
// of the elements inside it that hold text. A document that is not well
// formed gives the records before the fault, then stops there; a record in
// which the fault lies is not given.
// JSON: an array of objects (or one object); each object is a record starting
// at the line of its opening brace, numbers written as numbers or as strings;
// a value that is not an object is a record without keywords. A document that
// is not well formed gives the records before the fault, then stops there.
#pragma once

#include <memory>
#include <string>

#include "elements/element_file_form.h"
#include "elements/omm_record.h"

namespace vespera {

std::unique_ptr<OmmRecordReader> make_omm_csv_reader(std::string text);
std::unique_ptr<OmmRecordReader> make_omm_xml_reader(std::string text);
std::unique_ptr<OmmRecordReader> make_omm_json_reader(std::string text);

// make_omm_reader: the reader of an OMM form (none for the two-line form).
std::unique_ptr<OmmRecordReader> make_omm_reader(ElementFileForm form, std::string text);

}  // namespace vespera
