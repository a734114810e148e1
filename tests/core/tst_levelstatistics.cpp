// Smart-mix level statistics: the window, the average, the maximum and the
// percentage, and the fade detection rules. Whole tracks chained early through
// the real transport, and a track opening in silence after an early
// transition, are tested in tst_transport.
#include <QTest>
#include <optional>

#include "core/automix/LevelStatistics.h"

using namespace varonel::core;

namespace {

constexpr int32_t kLoud = 1000;

void feed(LevelStatistics* stats, int32_t level, int count) {
    for (int i = 0; i < count; ++i) {
        stats->addSample(level);
    }
}

// Statistics whose maximum is kLoud and whose average has fallen to 10 %.
void fadeTo10Percent(LevelStatistics* stats) {
    feed(stats, kLoud, LevelStatistics::kWindowSize);
    feed(stats, kLoud / 10, LevelStatistics::kWindowSize);
}

}  // namespace

class LevelStatisticsTest : public QObject {
    Q_OBJECT

private slots:
    void windowKeepsLast26SamplesAndTruncatesTheAverage() {
        LevelStatistics stats;
        for (int32_t sample = 1; sample <= 100; ++sample) {
            stats.addSample(sample);
        }
        QCOMPARE(stats.Niveaux().size(), size_t(26));
        QCOMPARE(stats.Niveaux().front(), 75);
        QCOMPARE(stats.Niveaux().back(), 100);
        QCOMPARE(stats.SommeNiveaux(), int64_t((75 + 100) * 26 / 2));
        QCOMPARE(stats.LblMoyenne(), 87);  // 2275 / 26 = 87.5
    }

    void maximumAndReset() {
        LevelStatistics stats;
        feed(&stats, 400, 26);
        feed(&stats, 900, 26);
        feed(&stats, 300, 26);
        QCOMPARE(stats.LblMax(), std::optional<int32_t>(900));
        QCOMPARE(stats.LblMoyenne(), 300);
        QCOMPARE(stats.NiveauPourCent(), 33);

        // A reset blanks the maximum but leaves the average and the percentage.
        stats.reset();
        QVERIFY(stats.Niveaux().empty());
        QCOMPARE(stats.LblMax(), std::nullopt);
        QCOMPARE(stats.LblMoyenne(), 300);
        QCOMPARE(stats.NiveauPourCent(), 33);

        // The first sample above 0 sets the maximum to the average: 100 %.
        stats.addSample(250);
        QCOMPARE(stats.LblMax(), std::optional<int32_t>(250));
        QCOMPARE(stats.NiveauPourCent(), 100);
    }

    void percentage_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("text");

        // Against a maximum of 200, each level step is half a percent.
        QTest::newRow("0.5 -> 0, shows % alone") << 1 << 0 << "%";
        QTest::newRow("1.5 -> 2") << 3 << 2 << "2%";
        QTest::newRow("2.5 -> 2") << 5 << 2 << "2%";
        QTest::newRow("42") << 84 << 42 << "42%";
    }

    void percentage() {
        QFETCH(int, level);
        QFETCH(int, percent);
        QFETCH(QString, text);

        LevelStatistics stats;
        feed(&stats, 200, 26);
        feed(&stats, level, 26);
        QCOMPARE(stats.NiveauPourCent(), percent);
        QCOMPARE(stats.LblPourCent(), text);
    }

    void resetsBetween5And6Seconds_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("resets");

        QTest::newRow("5 000") << 5000 << false;
        QTest::newRow("5 001") << 5001 << true;
        QTest::newRow("5 999") << 5999 << true;
        QTest::newRow("6 000") << 6000 << false;
    }

    void resetsBetween5And6Seconds() {
        QFETCH(int, position);
        QFETCH(bool, resets);

        LevelStatistics stats;
        feed(&stats, kLoud, 10);
        QVERIFY(!stats.shouldChainEarly(position, 180000, 50));
        QCOMPARE(stats.Niveaux().empty(), resets);
        QCOMPARE(stats.LblMax().has_value(), !resets);
    }

    void chainsInLastSecondsOfAKnownLength_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("duration");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<bool>("chains");

        QTest::newRow("30 s left") << 150000 << 180000 << 50.0 << false;
        QTest::newRow("just under 30 s left") << 150001 << 180000 << 50.0 << true;
        QTest::newRow("threshold equal to the percentage") << 170000 << 180000 << 10.0 << false;
        QTest::newRow("short track, from its first ticks") << 1000 << 20000 << 50.0 << true;
        QTest::newRow("unknown length") << 1000 << 0 << 50.0 << false;
    }

    void chainsInLastSecondsOfAKnownLength() {
        QFETCH(int, position);
        QFETCH(int, duration);
        QFETCH(double, threshold);
        QFETCH(bool, chains);

        LevelStatistics stats;
        fadeTo10Percent(&stats);
        QCOMPARE(stats.shouldChainEarly(position, duration, threshold), chains);
    }
};

QTEST_GUILESS_MAIN(LevelStatisticsTest)
#include "tst_levelstatistics.moc"
