// A report file read with two threads. A helper thread reads the file a
// block at a time, cuts it into lines, and reads the prediction lines ahead
// (their values, and their cells of the CSV table); the calling thread reads
// the report line by line through the chart's builder, taking the values
// and cells read ahead instead of reading those lines again. So the reading
// of the prediction lines, the bulk of the work, goes on beside the rest.
#pragma once

#include <cstddef>
#include <cstdio>

#include "chart/chart_builder.h"
#include "prediction/thread_start.h"
#include "report/report_records.h"

namespace vespera::chart {

struct ReadingOutcome {
  enum class Kind {
    Read,     // the whole report read
    NotRead,  // a line that does not read: `error`
    Failed,   // the file could not be read
  };
  Kind kind = Kind::Read;
  ReportReadError error;
  std::size_t predictionLines = 0;
};

// read_report_file: reads `file` to its end through the builder (without
// its finish()), stopping at the builder's first problem (which the outcome
// does not repeat). The helper thread is made by `start`; when it cannot
// be, the calling thread reads alone.
ReadingOutcome read_report_file(std::FILE* file, ChartBuilder& builder,
                                const ThreadStarter& start = start_thread);

}  // namespace vespera::chart
