// The withdrawal of a superseded element set's predictions from the table.
#include "prediction/prediction_table.h"

#include <gtest/gtest.h>

#include <memory>

namespace vespera {
namespace {

struct TableTest : ::testing::Test {
  void add(int n) {
    for (int i = 0; i < n; ++i) table->append(0.0f, PredictionRecord{});
  }
  std::unique_ptr<PredictionTable> table = std::make_unique<PredictionTable>();
};

TEST_F(TableTest, WithdrawalTakesWhatWasStoredSinceTheMark) {
  add(3);  // from earlier sets
  const PredictionTable::Mark mark = table->mark();
  add(4);  // from the set that is then superseded
  table->withdraw_since(mark);
  EXPECT_EQ(table->count, 3);
  table->withdraw_since(table->mark());  // nothing stored since: nothing changes
  EXPECT_EQ(table->count, 3);
}

TEST_F(TableTest, WithdrawalAfterTheTableWasWrittenOutTakesWhatFollowedTheFlush) {
  add(5);  // from other sets
  const PredictionTable::Mark mark = table->mark();
  // The older set fills the table: it is written out and emptied, and the
  // older set goes on storing predictions, more than the count at the mark.
  add(3);
  table->clear();
  add(7);
  table->withdraw_since(mark);
  // Everything in the table came from the superseded set.
  EXPECT_EQ(table->count, 0);
}

}  // namespace
}  // namespace vespera
