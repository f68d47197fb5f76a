#include "report/report_failure.h"

#include <cerrno>

namespace vespera {

void throw_report_failure(const std::string& name, const std::string& message, int cause, const StopToken& stop) {
  if (cause == EINTR) stop.throw_if_requested();
  throw FatalIoError(name, message);
}

}  // namespace vespera
