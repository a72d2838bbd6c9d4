#include "thread/thread_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/threads.h"
#include "thread/running_thread.h"
#include "thread/thread_start_record.h"

namespace kwCore {
namespace {

// Each test that wants a table creates one and removes it again.
class ThreadRecordTableTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(createThreadRecordTable()); }
    void TearDown() override { destroyThreadRecordTable(); }

    static int claimedEntries() {
        ThreadRecordTable* table = threadRecordTable.load();
        return static_cast<int>(std::count_if(std::begin(table->ownerIds),
                                              std::end(table->ownerIds),
                                              [](int32_t id) { return id != 0; }));
    }
};

void noteRecord(void* argument) {
    *static_cast<ThreadRecord**>(argument) = currentThreadRecord();
}

TEST(ThreadRecord, WithoutATableStartRoutinesStillRunTheirWork) {
    ASSERT_EQ(threadRecordTable.load(), nullptr);
    attachThreadRecord();
    EXPECT_EQ(currentThreadRecord(), nullptr);
    detachThreadRecord();

    ThreadRecord unseen{};
    ThreadRecord* seen = &unseen;  // anything but null
    startThread(noteRecord, &seen).wait();
    EXPECT_EQ(seen, nullptr);
}

TEST_F(ThreadRecordTableTest, AttachGivesAZeroedRecordOnceAndDetachTakesItBack) {
    attachThreadRecord();
    ThreadRecord* record = currentThreadRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(std::all_of(std::begin(record->storage), std::end(record->storage),
                            [](unsigned char byte) { return byte == 0; }));
    EXPECT_EQ(record->word, 0u);
    attachThreadRecord();  // already attached: the same record stays
    EXPECT_EQ(currentThreadRecord(), record);
    EXPECT_EQ(claimedEntries(), 1);

    detachThreadRecord();
    EXPECT_EQ(currentThreadRecord(), nullptr);
    EXPECT_EQ(claimedEntries(), 0);
    detachThreadRecord();  // nothing left to detach
}

TEST_F(ThreadRecordTableTest, StartedThreadsHoldARecordOnlyWhileTheyRun) {
    ThreadRecord* seen = nullptr;
    startThread(noteRecord, &seen).wait();
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(claimedEntries(), 0);
}

TEST_F(ThreadRecordTableTest, AFullTableLeavesTheThreadWithoutARecord) {
    ThreadRecordTable* table = threadRecordTable.load();
    std::fill(std::begin(table->ownerIds), std::end(table->ownerIds), -1);
    attachThreadRecord();
    EXPECT_EQ(currentThreadRecord(), nullptr);
    detachThreadRecord();
    std::fill(std::begin(table->ownerIds), std::end(table->ownerIds), 0);
}

constexpr int contenders = 16;

// Contention: the start routines of all threads claim entries at once, and
// each thread then waits for all others, so that all records are held at
// the same time.
struct Contest {
    std::atomic<int> attached{0};
    std::atomic<ThreadRecord*> records[contenders]{};
    std::atomic<int> next{0};
};

void contend(void* argument) {
    auto* contest = static_cast<Contest*>(argument);
    ThreadRecord* mine = currentThreadRecord();
    mine->word = platform::currentThreadId();
    contest->records[contest->next++] = mine;
    ++contest->attached;
    while (contest->attached.load() < contenders) {
        platform::yieldProcessor();
    }
    // Nobody else wrote into this record while all were attached.
    if (mine->word != platform::currentThreadId()) {
        contest->records[0] = nullptr;
    }
}

TEST_F(ThreadRecordTableTest, ConcurrentClaimsGetDistinctEntries) {
    Contest contest;
    std::vector<RunningThread> threads;
    for (int i = 0; i < contenders; ++i) {
        threads.push_back(startThread(contend, &contest));
    }
    for (auto& thread : threads) {
        thread.wait();
    }
    std::vector<ThreadRecord*> records;
    for (auto& record : contest.records) {
        records.push_back(record.load());
    }
    EXPECT_EQ(std::count(records.begin(), records.end(), nullptr), 0);
    std::sort(records.begin(), records.end());
    EXPECT_EQ(std::adjacent_find(records.begin(), records.end()), records.end());
    EXPECT_EQ(claimedEntries(), 0);
}

}  // namespace
}  // namespace kwCore
