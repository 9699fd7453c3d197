// The real program killed with SIGKILL at random moments while it cycles, and
// started again each time on the same working directory: every database
// stays intact, count.txt always parses and never goes back, and every
// start reaches its ready record.

#include "tests/e2e/e2efixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

#include <cstdio>
#include <random>

using namespace e2e;

namespace {

constexpr int kKills = 30;
constexpr qint64 kBudgetMs = 60000;   // the kills stop early past this
const char* const kReady = "The system is ready, there is 1 cameras";

class Durability : public EndToEnd
{
protected:
    // Databases of the working directory whose integrity check fails.
    QStringList damagedDatabases() const
    {
        QStringList damaged;
        const QStringList files = QDir(work.path()).entryList({"*.db"}, QDir::Files);
        for (const QString& name : files) {
            QString answer;
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "durability");
                db.setDatabaseName(file(name));
                if (db.open()) {
                    QSqlQuery q(db);
                    if (q.exec("pragma integrity_check") && q.next())
                        answer = q.value(0).toString();
                }
            }
            QSqlDatabase::removeDatabase("durability");
            if (answer != "ok")
                damaged << name + ": " + answer;
        }
        return damaged;
    }

    // The sixteen numbers of count.txt; empty when it is missing; {-1} when
    // it does not parse.
    std::vector<qint64> countNumbers() const
    {
        const QString text = counts();
        if (text == "<missing>" || !QFile::exists(file("count.txt")))
            return {};
        std::vector<qint64> numbers;
        for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
            bool ok = false;
            numbers.push_back(word.toLongLong(&ok));
            if (!ok)
                return {-1};
        }
        return numbers.size() == 16 ? numbers : std::vector<qint64>{-1};
    }

    void restart()
    {
        program = std::make_unique<Program>(work.path(), file("simcams"), io.device());
    }
};

}  // namespace

TEST_F(Durability, KilledWhileCyclingKeepsEveryFileWhole)
{
    start();
    std::mt19937 random(20261210);
    QElapsedTimer clock;
    clock.start();
    int kills = 0, restarts = 0, failures = 0;
    std::vector<qint64> seen;
    for (int round = 0; round < kKills && clock.elapsed() < kBudgetMs; ++round) {
        board("set 0");   // a cycle: product step, mould step, count.txt
        QThread::msleep(std::uniform_int_distribution<int>(0, 1500)(random));
        const std::vector<qint64> before = countNumbers();
        program->process.kill();
        program->process.waitForFinished(5000);
        ++kills;
        board("clear 0");
        if (!before.empty() && before != std::vector<qint64>{-1})
            seen = before;

        const QStringList damaged = damagedDatabases();
        EXPECT_TRUE(damaged.isEmpty()) << damaged.join(", ").toStdString();
        const std::vector<qint64> after = countNumbers();
        EXPECT_NE(after, std::vector<qint64>{-1}) << "count.txt does not parse: " << counts().toStdString();
        if (!seen.empty()) {
            EXPECT_EQ(after.size(), seen.size()) << "count.txt went missing";
            for (size_t i = 0; i < after.size() && i < seen.size(); ++i)
                EXPECT_GE(after[i], seen[i]) << "count " << i << " went back";
        }

        const int readyBefore = records().count(kReady);
        restart();
        ++restarts;
        const bool ready = WaitFor([&] { return records().count(kReady) > readyBefore; }, kWaitMs);
        EXPECT_TRUE(ready) << "start " << restarts << " never reached its ready record";
        failures += int(!damaged.isEmpty()) + int(!ready);
        QThread::msleep(kFrameInUseMs);
        if (HasFailure())
            break;
    }
    std::printf("durability: %d kills, %d restarts, %d failures, %lld ms, counts %s\n", kills, restarts, failures,
                static_cast<long long>(clock.elapsed()), qPrintable(counts()));
    EXPECT_GE(kills, 10);
}
