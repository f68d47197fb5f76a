// The console of a run: where prompts and messages go and where answers come
// from. main uses the process's standard streams; tests pass memory streams.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace vespera {

struct Console {
  std::FILE* in = stdin;
  std::FILE* out = stdout;
  std::FILE* err = stderr;
};

// Reads one answer line from the console as a record of `length` characters.
// The end of standard input where an answer is required is a fatal input error.
std::string read_answer(Console& console, std::size_t length);

}  // namespace vespera
