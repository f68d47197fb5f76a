#include "run/console.h"

#include "format/text_record.h"
#include "run/program_exit.h"

namespace vespera {

std::string read_answer(Console& console, std::size_t length) {
  std::fflush(console.out);
  TextRecordReader reader(console.in, "standard input");
  std::string answer;
  if (!reader.read(length, answer)) {
    throw FatalIoError("standard input", "end of file where an answer is required");
  }
  return answer;
}

}  // namespace vespera
