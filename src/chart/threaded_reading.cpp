#include "chart/threaded_reading.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "chart/point_table.h"
#include "report/line_splitter.h"
#include "report/read_ahead.h"
#include "report/report_reader.h"

namespace vespera::chart {

namespace {

constexpr std::size_t kBlockBytes = std::size_t{1} << 19;
constexpr std::size_t kBlocksInFlight = 2;

// The lines of a block of the file, each with what was read ahead of it.
struct Block {
  std::string text;  // the lines, end to end
  std::vector<std::size_t> ends;  // where each line ends in `text`
  std::vector<ReadAhead> ahead;
  std::string cells;  // the CSV cells of the lines read ahead, end to end
  std::vector<std::size_t> cell_ends;
  bool last = false;
  bool failed = false;  // the file could not be read
  std::exception_ptr failure;

  std::size_t lines() const { return ends.size(); }
  std::string_view line(std::size_t i) const {
    const std::size_t start = i == 0 ? 0 : ends[i - 1];
    return std::string_view(text).substr(start, ends[i] - start);
  }
  std::string_view cell(std::size_t i) const {
    const std::size_t start = i == 0 ? 0 : cell_ends[i - 1];
    return std::string_view(cells).substr(start, cell_ends[i] - start);
  }
  void clear() {
    text.clear();
    ends.clear();
    cells.clear();
    cell_ends.clear();
  }
};

// Blocks on their way to the calling thread, and emptied ones back.
class BlockQueue {
 public:
  BlockQueue() {
    for (std::size_t i = 0; i < kBlocksInFlight + 2; ++i) free_.push_back(std::make_unique<Block>());
  }
  // The helper: an empty block, waiting for one; nullptr once stopped.
  std::unique_ptr<Block> empty() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopped_ || (!free_.empty() && full_.size() < kBlocksInFlight); });
    if (stopped_) return nullptr;
    std::unique_ptr<Block> block = std::move(free_.front());
    free_.pop_front();
    return block;
  }
  void hand_over(std::unique_ptr<Block> block) {
    std::lock_guard lock(mutex_);
    full_.push_back(std::move(block));
    changed_.notify_all();
  }
  // The calling thread: the next block, waiting for it.
  std::unique_ptr<Block> take() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !full_.empty(); });
    std::unique_ptr<Block> block = std::move(full_.front());
    full_.pop_front();
    return block;
  }
  void give_back(std::unique_ptr<Block> block) {
    block->clear();
    std::lock_guard lock(mutex_);
    free_.push_back(std::move(block));
    changed_.notify_all();
  }
  void stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::unique_ptr<Block>> full_, free_;
  bool stopped_ = false;
};

// The helper's reading ahead of the lines of a block and their CSV cells.
void read_ahead(Block& block, ReadAheadReader& reader) {
  block.ahead.resize(block.lines());
  for (std::size_t i = 0; i < block.lines(); ++i) {
    ReadAhead& a = block.ahead[i];
    reader.read(block.line(i), a);
    if (a.format != nullptr) append_value_cells(block.cells, a.values, reader.format()->pointColumns);
    block.cell_ends.push_back(block.cells.size());
  }
}

void read_blocks(std::FILE* file, BlockQueue& queue) {
  LineSplitter splitter;
  ReadAheadReader reader;
  std::vector<char> bytes(kBlockBytes);
  for (bool last = false; !last;) {
    std::unique_ptr<Block> block = queue.empty();
    if (!block) return;
    try {
      const auto keep = [&block](std::string_view line) {
        block->text.append(line);
        block->ends.push_back(block->text.size());
        return true;
      };
      const std::size_t n = std::fread(bytes.data(), 1, bytes.size(), file);
      splitter.feed(std::string_view(bytes.data(), n), keep);
      last = n == 0;
      if (last) {
        splitter.finish(keep);
        block->failed = std::ferror(file) != 0;
      }
      read_ahead(*block, reader);
    } catch (...) {
      block->failure = std::current_exception();
      last = true;
    }
    block->last = last;
    queue.hand_over(std::move(block));
  }
}

}  // namespace

ReadingOutcome read_report_file(std::FILE* file, ChartBuilder& builder) {
  BlockQueue queue;
  std::thread helper([file, &queue] { read_blocks(file, queue); });
  // Whatever happens here, the helper is stopped and waited for.
  struct Joined {
    BlockQueue& queue;
    std::thread& thread;
    ~Joined() {
      queue.stop();
      thread.join();
    }
  } joined{queue, helper};
  ReportReader reader(builder);
  ReadingOutcome outcome;
  for (bool last = false; !last;) {
    std::unique_ptr<Block> block = queue.take();
    if (block->failure) std::rethrow_exception(block->failure);
    for (std::size_t i = 0; i < block->lines(); ++i) {
      const ReadAhead& a = block->ahead[i];
      builder.take_cells(block->cell(i));
      if (!reader.read_line(block->line(i), a.format != nullptr ? &a : nullptr)) {
        outcome.kind = ReadingOutcome::Kind::NotRead;
        outcome.error = reader.error();
        return outcome;
      }
      if (!builder.problem().empty()) {
        outcome.kind = ReadingOutcome::Kind::Stopped;
        return outcome;
      }
    }
    last = block->last;
    if (block->failed) {
      outcome.kind = ReadingOutcome::Kind::Failed;
      return outcome;
    }
    queue.give_back(std::move(block));
  }
  builder.take_cells({});
  if (!reader.finish()) {
    outcome.kind = ReadingOutcome::Kind::NotRead;
    outcome.error = reader.error();
  }
  outcome.predictionLines = reader.prediction_lines();
  return outcome;
}

}  // namespace vespera::chart
