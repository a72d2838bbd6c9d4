#include "thread/thread_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/threads.h"
#include "run_on_threads.h"
#include "thread/thread.h"

namespace kwCore {
namespace {

void noteRecord(void* argument) {
    *static_cast<ThreadRecord**>(argument) = currentThreadRecord();
}

TEST(ThreadRecord, WithoutATableStartRoutinesStillRunTheirWork) {
    ASSERT_EQ(threadRecordTable.load(), nullptr);
    ThreadRecord unseen{};
    ThreadRecord* seen = &unseen;
    startThread(noteRecord, &seen).wait();
    EXPECT_EQ(seen, nullptr);
}

// Each test that wants a table creates one and removes it again.
class ThreadRecordTableTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(createThreadRecordTable()); }
    void TearDown() override { destroyThreadRecordTable(); }

    static int claimedEntries() {
        auto& ids = threadRecordTable.load()->ownerIds;
        return static_cast<int>(
            std::count_if(std::begin(ids), std::end(ids), [](int32_t id) { return id != 0; }));
    }
};

TEST_F(ThreadRecordTableTest, AttachGivesOneZeroedRecordAndDetachTakesItBack) {
    attachThreadRecord();
    ThreadRecord* record = currentThreadRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(std::all_of(std::begin(record->storage), std::end(record->storage),
                            [](unsigned char byte) { return byte == 0; }));
    attachThreadRecord();  // already attached: the same record stays
    EXPECT_EQ(currentThreadRecord(), record);
    EXPECT_EQ(claimedEntries(), 1);
    detachThreadRecord();
    EXPECT_EQ(currentThreadRecord(), nullptr);
    EXPECT_EQ(claimedEntries(), 0);
}

TEST_F(ThreadRecordTableTest, TheLastEntryIsUsableAndAFullTableGivesNoRecord) {
    ThreadRecordTable& table = *threadRecordTable.load();
    constexpr int32_t last = ThreadRecordTable::capacity - 1;
    std::fill(std::begin(table.ownerIds), std::end(table.ownerIds) - 1, -1);
    attachThreadRecord();
    ASSERT_NE(currentThreadRecord(), nullptr);
    EXPECT_EQ(table.records[last], currentThreadRecord());
    EXPECT_EQ(table.ownerIds[last], static_cast<int32_t>(platform::currentThreadId()));
    detachThreadRecord();
    EXPECT_EQ(table.records[last], nullptr);
    EXPECT_EQ(table.ownerIds[last], 0);

    table.ownerIds[last] = -1;
    attachThreadRecord();
    EXPECT_EQ(currentThreadRecord(), nullptr);
    detachThreadRecord();
    std::fill(std::begin(table.ownerIds), std::end(table.ownerIds), 0);
}

// A Thread that ends gives its entry back while other threads keep theirs.
struct Holder {
    std::atomic<bool> attached{false};
    std::atomic<bool> release{false};
};

void holdRecord(void* argument) {
    auto* holder = static_cast<Holder*>(argument);
    holder->attached = currentThreadRecord() != nullptr;
    while (!holder->release) {
        platform::yieldProcessor();
    }
}

class RecordProbe : public Thread {
  public:
    void body() override { record = currentThreadRecord(); }
    ThreadRecord* record = nullptr;
};

TEST_F(ThreadRecordTableTest, AnEndedThreadReleasesItsRecordWhileOthersRun) {
    Holder holder;
    RunningThread other = startThread(holdRecord, &holder);
    while (!holder.attached) {
        platform::yieldProcessor();
    }
    RecordProbe probe;
    startThread(&probe).wait();
    EXPECT_NE(probe.record, nullptr);
    EXPECT_EQ(claimedEntries(), 1);  // only the holder's
    const auto& records = threadRecordTable.load()->records;
    EXPECT_EQ(std::count(std::begin(records), std::end(records), probe.record), 0);
    holder.release = true;
    other.wait();
    EXPECT_EQ(claimedEntries(), 0);
}

constexpr int contenders = 16;

// The start routines of all threads claim entries at once; each thread then
// waits for all others, so that all records are held at the same time.
struct Contest {
    std::atomic<int> attached{0};
    std::atomic<ThreadRecord*> records[contenders]{};
};

void contend(void* argument) {
    auto* contest = static_cast<Contest*>(argument);
    ThreadRecord* mine = currentThreadRecord();
    contest->records[contest->attached++] = mine;
    while (contest->attached.load() < contenders) {
        platform::yieldProcessor();
    }
}

TEST_F(ThreadRecordTableTest, ConcurrentClaimsGetDistinctRecordsAndFreeThemAfter) {
    Contest contest;
    testutil::runOnThreads(contenders, contend, &contest);
    std::vector<ThreadRecord*> records(std::begin(contest.records), std::end(contest.records));
    EXPECT_EQ(std::count(records.begin(), records.end(), nullptr), 0);
    std::sort(records.begin(), records.end());
    EXPECT_EQ(std::adjacent_find(records.begin(), records.end()), records.end());
    EXPECT_EQ(claimedEntries(), 0);
}

}  // namespace
}  // namespace kwCore
