// Ends of the program that unwind to main: the orderly stop of a STOP
// statement (calendar range), an interrupt or termination request, and a fatal
// input/output error. main catches them, closes the open files (the report is
// flushed, nothing already written is lost) and exits with the status carried.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace vespera {

// Exit status of a fatal input/output error (end of the control file or of
// standard input where a line is required, a report that cannot be created,
// a read error).
inline constexpr int kFatalIoExitStatus = 2;
// Exit status after an interrupt or termination request.
inline constexpr int kInterruptedExitStatus = 1;

// An end of the program with a given exit status. Any message has already been
// written when this is thrown.
class ProgramExit : public std::exception {
 public:
  explicit ProgramExit(int status) : status_(status) {}
  int status() const { return status_; }
  const char* what() const noexcept override { return "program exit"; }

 private:
  int status_;
};

// A fatal input/output error on a named file. main writes one diagnostic line
// on standard error, "vespera: <file>: <cause>", and exits with status 2.
class FatalIoError : public std::runtime_error {
 public:
  FatalIoError(std::string file, std::string cause)
      : std::runtime_error(file + ": " + cause), file_(std::move(file)), cause_(std::move(cause)) {}
  const std::string& file() const { return file_; }
  const std::string& cause() const { return cause_; }

 private:
  std::string file_;
  std::string cause_;
};

}  // namespace vespera
