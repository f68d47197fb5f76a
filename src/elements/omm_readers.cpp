#include "elements/omm_readers.h"

namespace vespera {

std::unique_ptr<OmmRecordReader> make_omm_reader(ElementFileForm form, std::string text) {
  switch (form) {
    case ElementFileForm::OmmCsv:
      return make_omm_csv_reader(std::move(text));
    case ElementFileForm::OmmXml:
      return make_omm_xml_reader(std::move(text));
    case ElementFileForm::OmmJson:
      return make_omm_json_reader(std::move(text));
    case ElementFileForm::TwoLine:
      break;
  }
  return nullptr;
}

}  // namespace vespera
