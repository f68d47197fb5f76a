#include "run/console.h"

#include "format/text_record.h"
#include "vocabulary/program_exit.h"
#include "run/signals.h"

namespace vespera {

std::string read_answer(Console& console, std::size_t length) {
  check_interrupt();
  std::fflush(console.out);
  // The prompt is out: a request that comes from now on must not leave the
  // program waiting for an answer.
  wait_for_input(console.in);
  check_interrupt();
  TextRecordReader reader(console.in, "standard input");
  std::string answer;
  bool got_line = false;
  try {
    got_line = reader.read(length, answer);
  } catch (const FatalIoError&) {
    // An interrupt ends a read that was waiting for the console: that is the
    // interrupt's orderly end, not a read error.
    check_interrupt();
    throw;
  }
  if (!got_line) {
    check_interrupt();
    throw FatalIoError("standard input", "end of file where an answer is required");
  }
  return answer;
}

}  // namespace vespera
