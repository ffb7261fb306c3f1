// Two threads on one record, transactions across threads, and a writer killed mid-stream.
#include <signal.h>
#include <sys/wait.h>

#include <future>
#include <set>
#include <thread>

#include "files_test_support.h"

namespace filetest {
namespace {

using namespace files;

// Runs f on a thread of its own, as a task thread does, and releases its connections at the end.
template <typename F>
std::thread onThread(F f) {
    return std::thread([f = std::move(f)]() mutable {
        f();
        ReleaseThreadConnections();
    });
}

class Concurrency : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        MedFile t{medTable()};
        ASSERT_EQ(t.openOrCreate(), 0);
        for (int i = 1; i <= 4; ++i) ASSERT_EQ(t.add(med("drug " + std::to_string(i), "Y", ymd(2024, 1, i), i)), 0);
    }
};

TEST_F(Concurrency, SecondPutOfAChangedRecordIsRefusedThenWrites) {
    std::promise<void> aRead, bWrote, bErased;
    std::promise<void> aDone;
    auto bGo = aRead.get_future();
    auto aGo = bWrote.get_future();
    auto bErase = aDone.get_future();
    std::string aFail, bFail;  // each thread writes its own, read after both are joined

    auto a = onThread([&] {
        MedFile t{medTable()};
        if (t.file.open() != 0) aFail += "open; ";
        if (t.file.getAt(Position{2}) != 0) aFail += "getAt; ";
        const auto v = t.file.version();
        aRead.set_value();
        aGo.wait();
        rt::assign(t.rec.active, "N");
        int e = t.file.put();
        if (e != kRecordChanged) aFail += "first put gave " + std::to_string(e) + "; ";
        if (rt::clip(t.rec.name) != "changed by B") aFail += "buffer not re-read; ";
        if (rt::clip(t.rec.active) != "Y") aFail += "own edit kept in buffer; ";
        if (t.file.version() != v + 1) aFail += "version not taken over; ";
        rt::assign(t.rec.active, "N");
        if ((e = t.file.put()) != 0) aFail += "second put gave " + std::to_string(e) + "; ";
        aDone.set_value();
        bErased.get_future().wait();
        if ((e = t.file.put()) != kRecordNotFound) aFail += "put after erase gave " + std::to_string(e) + "; ";
    });
    auto b = onThread([&] {
        MedFile t{medTable()};
        bGo.wait();
        if (t.file.open() != 0) bFail += "open; ";
        if (t.file.getAt(Position{2}) != 0) bFail += "getAt; ";
        rt::assign(t.rec.name, "changed by B");
        if (t.file.put() != 0) bFail += "put; ";
        bWrote.set_value();
        bErase.wait();
        if (t.file.getAt(Position{2}) != 0 || rt::clip(t.rec.active) != "N") bFail += "A's write not seen; ";
        if (t.file.erase() != 0) bFail += "erase; ";
        bErased.set_value();
    });
    a.join();
    b.join();
    EXPECT_EQ(aFail, "");
    EXPECT_EQ(bFail, "");
}

TEST_F(Concurrency, ReadAheadAndChangesElsewhere) {
    MedFile t{medTable()};
    ASSERT_EQ(t.file.open(), 0);
    auto changeElsewhere = [](int qty, int erase) {
        onThread([=] {
            MedFile other{medTable()};
            ASSERT_EQ(other.file.open(), 0);
            if (qty >= 0) {
                ASSERT_EQ(other.file.getAt(Position{2}), 0);
                other.rec.qty = static_cast<std::int16_t>(qty);
                ASSERT_EQ(other.file.put(), 0);
            }
            if (erase) {
                ASSERT_EQ(other.file.eraseAt(Position{erase}), 0);
            }
        }).join();
    };

    // The file's cursor reads ahead, yet every record it gives is as stored at that moment.
    ASSERT_EQ(t.file.setKeyOrder(kByName), 0);
    ASSERT_EQ(t.file.next(), 0);
    EXPECT_EQ(t.tag(), 1);
    changeElsewhere(42, 3);
    ASSERT_EQ(t.file.next(), 0);
    EXPECT_EQ(t.qty(), 42);
    ASSERT_EQ(t.file.next(), 0);
    EXPECT_EQ(t.tag(), 4);

    // A view serves its page as read; a stale record from it is caught when written, and a write
    // through this thread makes the view read afresh.
    RecordView view(t.file, kByName);
    view.setPageSize(10);
    ASSERT_EQ(view.next(), 0);
    EXPECT_EQ(t.tag(), 1);
    changeElsewhere(43, 0);
    ASSERT_EQ(view.next(), 0);
    ASSERT_EQ(t.tag(), 2);
    t.rec.qty = 5;
    EXPECT_EQ(t.file.put(), kRecordChanged);
    EXPECT_EQ(t.qty(), 43);
    t.rec.qty = 6;
    ASSERT_EQ(t.file.put(), 0);  // the version was taken over
    changeElsewhere(-1, 4);
    EXPECT_EQ(view.next(), kRecordNotAvailable);  // read afresh after the write: 4 is gone
}

TEST_F(Concurrency, TransactionsAcrossThreads) {
    MedFile t{medTable()};
    ASSERT_EQ(t.file.open(), 0);
    ASSERT_EQ(t.file.begin(1), 0);
    EXPECT_EQ(t.file.begin(1), kTransactionActive);
    ASSERT_EQ(t.add(med("uncommitted", "Y", 0, 5)), 0);
    onThread([] {
        MedFile other{medTable()};
        ASSERT_EQ(other.file.open(), 0);
        EXPECT_EQ(other.file.begin(0), kTransactionTimeout);
        EXPECT_EQ(other.file.begin(1), kTransactionTimeout);
        EXPECT_EQ(other.order(-1, 1).size(), 4u);  // readers go on, without what is not committed
    }).join();
    ASSERT_EQ(t.file.commit(), 0);
    onThread([] {
        MedFile other{medTable()};
        ASSERT_EQ(other.file.open(), 0);
        EXPECT_EQ(other.order(-1, 1).size(), 5u);
        ASSERT_EQ(other.file.begin(1), 0);
        ASSERT_EQ(other.file.commit(), 0);
    }).join();
}

// A writer killed at any moment loses nothing it reported as committed, and leaves a readable file.
TEST_F(Concurrency, KilledWriterLosesNothingCommitted) {
    ReleaseThreadConnections();  // the child must not inherit this thread's connections
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(fds[0]);
        MedFile t{medTable()};
        if (t.file.open() != 0) ::_exit(2);
        for (int i = 100;; ++i) {
            // A transaction of three adds and a change of record 1, then one that is its own.
            if (t.file.begin(5) != 0) ::_exit(3);
            for (int k = 0; k < 3; ++k)
                if (t.add(med("batch " + std::to_string(i), "Y", ymd(2024, 1, 1), i * 10 + k), std::string(150, 'm')) != 0) ::_exit(4);
            if (t.file.getAt(Position{1}) != 0) ::_exit(5);
            t.rec.tag = i;
            if (t.file.put() != 0 || t.file.commit() != 0) ::_exit(6);
            if (t.add(med("single " + std::to_string(i), "N", 0, i * 10 + 9)) != 0) ::_exit(7);
            if (::write(fds[1], &i, sizeof i) != sizeof i) ::_exit(8);
        }
    }
    ::close(fds[1]);
    std::vector<int> committed;
    int i = 0;
    while (committed.size() < 150 && ::read(fds[0], &i, sizeof i) == sizeof i) committed.push_back(i);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(fds[0]);
    ASSERT_EQ(committed.size(), 150u) << "child ended early with " << (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    ASSERT_TRUE(WIFSIGNALED(status));

    MedFile t{medTable()};
    ASSERT_EQ(t.file.open(), 0) << t.file.lastErrorText();
    ASSERT_EQ(t.file.getAt(Position{1}), 0);
    EXPECT_GE(t.tag(), committed.back());
    std::set<int> tags;
    ASSERT_EQ(t.file.setKeyOrder(kByName), 0);
    int e;
    while ((e = t.file.next()) == 0) {
        tags.insert(t.tag());
        if (t.rec.tag >= 1000 && t.rec.tag % 10 < 3) {
            EXPECT_EQ(t.notes, std::string(150, 'm'));  // whole records only
        }
    }
    EXPECT_EQ(e, kRecordNotAvailable) << t.file.lastErrorText();
    for (int c : committed) {
        for (int k : {0, 1, 2, 9}) EXPECT_TRUE(tags.count(c * 10 + k)) << c * 10 + k;
    }
    // Each transaction is all or nothing.
    for (int c = 100; c <= committed.back() + 1; ++c)
        EXPECT_TRUE(tags.count(c * 10) == tags.count(c * 10 + 1) && tags.count(c * 10) == tags.count(c * 10 + 2)) << c;
    std::int64_t n = 0;
    ASSERT_EQ(t.file.records(&n), 0);
    EXPECT_EQ(static_cast<std::size_t>(n), t.order(-1, 1).size());
}

}  // namespace
}  // namespace filetest
