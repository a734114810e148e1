// Smart-mix level statistics: the window, the average, the maximum and the
// percentage, and the fade detection rules. Whole tracks chained early through
// the real transport, and a track opening in silence after an early
// transition, are tested in tst_transport.
#include <QTest>
#include <optional>

#include "core/automix/LevelStatistics.h"

using namespace varonel::core;

namespace {

void feed(LevelStatistics* stats, int32_t level, int count) {
    for (int i = 0; i < count; ++i) {
        stats->addSample(level);
    }
}

}  // namespace

class LevelStatisticsTest : public QObject {
    Q_OBJECT

private slots:
    // The window keeps the last 26 samples and truncates the average. A reset
    // blanks the maximum but leaves the average and the percentage; the first
    // sample above 0 after it sets the maximum to the average: 100 %.
    void windowMaximumAndReset() {
        LevelStatistics stats;
        for (int32_t sample = 1; sample <= 100; ++sample) {
            stats.addSample(sample);
        }
        QCOMPARE(stats.SommeNiveaux(), int64_t((75 + 100) * 26 / 2));
        QCOMPARE(stats.LblMoyenne(), 87);  // 2275 / 26 = 87.5
        feed(&stats, 900, 26);
        feed(&stats, 300, 26);
        QCOMPARE(stats.LblMax(), std::optional<int32_t>(900));
        stats.reset();
        QVERIFY(stats.Niveaux().empty());
        QCOMPARE(stats.LblMax(), std::nullopt);
        QCOMPARE(stats.LblMoyenne(), 300);
        QCOMPARE(stats.NiveauPourCent(), 33);
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

    // A track whose level has fallen to 10 % of its maximum: the statistics
    // restart strictly between 5 and 6 s into it, and it is chained early in
    // its last 30 s when the threshold is above that percentage, or from its
    // first ticks when it is short, never when its length is unknown.
    void shouldChainEarly_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("duration");
        QTest::addColumn<double>("threshold");
        QTest::addColumn<bool>("chains");
        QTest::addColumn<bool>("resets");

        QTest::newRow("5 000") << 5000 << 180000 << 50.0 << false << false;
        QTest::newRow("5 001") << 5001 << 180000 << 50.0 << false << true;
        QTest::newRow("5 999") << 5999 << 180000 << 50.0 << false << true;
        QTest::newRow("6 000") << 6000 << 180000 << 50.0 << false << false;
        QTest::newRow("30 s left") << 150000 << 180000 << 50.0 << false << false;
        QTest::newRow("just under 30 s left") << 150001 << 180000 << 50.0 << true << false;
        QTest::newRow("threshold equal to the percentage")
            << 170000 << 180000 << 10.0 << false << false;
        QTest::newRow("short track, from its first ticks")
            << 1000 << 20000 << 50.0 << true << false;
        QTest::newRow("unknown length") << 1000 << 0 << 50.0 << false << false;
    }

    void shouldChainEarly() {
        QFETCH(int, position);
        QFETCH(int, duration);
        QFETCH(double, threshold);
        QFETCH(bool, chains);
        QFETCH(bool, resets);

        LevelStatistics stats;
        feed(&stats, 1000, LevelStatistics::kWindowSize);
        feed(&stats, 100, LevelStatistics::kWindowSize);
        QCOMPARE(stats.shouldChainEarly(position, duration, threshold), chains);
        QCOMPARE(stats.LblMax().has_value(), !resets);
    }
};

QTEST_GUILESS_MAIN(LevelStatisticsTest)
#include "tst_levelstatistics.moc"
