#include "chart/threaded_reading.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
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

// The helper's reading ahead of the lines of a block, and their CSV cells
// when a table is written.
void read_ahead(Block& block, ReadAheadReader& reader, bool with_cells) {
  block.ahead.resize(block.lines());
  for (std::size_t i = 0; i < block.lines(); ++i) {
    ReadAhead& a = block.ahead[i];
    reader.read(block.line(i), a);
    if (with_cells && a.format != nullptr) append_value_cells(block.cells, a.values, reader.format()->pointColumns);
    block.cell_ends.push_back(block.cells.size());
  }
}

// Fills blocks from the file, one after another: its lines, and what is
// read ahead of them.
class BlockFiller {
 public:
  BlockFiller(std::FILE* file, bool with_cells) : file_(file), with_cells_(with_cells), bytes_(kBlockBytes) {}

  // Fills `block` with the next lines (and marks the last block); any
  // failure goes with the block to the reading thread.
  void fill(Block& block) {
    bool last = false;
    try {
      const auto keep = [&block](std::string_view line) {
        block.text.append(line);
        block.ends.push_back(block.text.size());
        return true;
      };
      const std::size_t n = std::fread(bytes_.data(), 1, bytes_.size(), file_);
      splitter_.feed(std::string_view(bytes_.data(), n), keep);
      last = n == 0;
      if (last) {
        splitter_.finish(keep);
        block.failed = std::ferror(file_) != 0;
      }
      read_ahead(block, reader_, with_cells_);
    } catch (...) {
      block.failure = std::current_exception();
      last = true;
    }
    block.last = last;
  }

 private:
  std::FILE* file_;
  bool with_cells_;
  LineSplitter splitter_;
  ReadAheadReader reader_;
  std::vector<char> bytes_;
};

void read_blocks(BlockFiller& filler, BlockQueue& queue) {
  for (bool last = false; !last;) {
    std::unique_ptr<Block> block = queue.empty();
    if (!block) return;
    filler.fill(*block);
    last = block->last;
    queue.hand_over(std::move(block));
  }
}

// The blocks of the file for the calling thread: filled by a helper thread
// while the calling thread reads the one before, or, when no thread can be
// started (std::system_error, a machine out of threads), by the calling
// thread itself as it asks for them.
class BlockSource {
 public:
  BlockSource(std::FILE* file, bool with_cells, const ThreadStarter& start) : filler_(file, with_cells) {
    try {
      helper_ = start([this] { read_blocks(filler_, queue_); });
    } catch (const std::system_error&) {
      spare_ = std::make_unique<Block>();
    }
  }
  ~BlockSource() {
    queue_.stop();
    if (helper_.joinable()) helper_.join();
  }
  BlockSource(const BlockSource&) = delete;
  BlockSource& operator=(const BlockSource&) = delete;

  std::unique_ptr<Block> next() {
    if (helper_.joinable()) return queue_.take();
    std::unique_ptr<Block> block = std::move(spare_);
    filler_.fill(*block);
    return block;
  }
  void give_back(std::unique_ptr<Block> block) {
    if (helper_.joinable()) return queue_.give_back(std::move(block));
    block->clear();
    spare_ = std::move(block);
  }

 private:
  BlockFiller filler_;
  BlockQueue queue_;
  std::unique_ptr<Block> spare_;  // the one block when no helper runs
  std::thread helper_;
};

}  // namespace

ReadingOutcome read_report_file(std::FILE* file, ChartBuilder& builder, const ThreadStarter& start) {
  BlockSource blocks(file, builder.writes_csv(), start);
  ReportReader reader(builder);
  ReadingOutcome outcome;
  for (bool last = false; !last;) {
    std::unique_ptr<Block> block = blocks.next();
    if (block->failure) std::rethrow_exception(block->failure);
    // A file that cannot be read is said to be so, whatever its last lines.
    if (block->failed) {
      outcome.kind = ReadingOutcome::Kind::Failed;
      return outcome;
    }
    for (std::size_t i = 0; i < block->lines(); ++i) {
      const ReadAhead& a = block->ahead[i];
      builder.take_cells(block->cell(i));
      if (!reader.read_line(block->line(i), a.format != nullptr ? &a : nullptr)) {
        outcome.kind = ReadingOutcome::Kind::NotRead;
        outcome.error = reader.error();
        return outcome;
      }
      if (!builder.problem().empty()) return outcome;  // the caller tells the problem
    }
    last = block->last;
    blocks.give_back(std::move(block));
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
