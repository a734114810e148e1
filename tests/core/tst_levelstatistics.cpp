// Smart-mix level statistics, fed tick by tick as the transport does.
#include <QTest>
#include <functional>
#include <numeric>
#include <optional>

#include "LevelStatistics.h"

using namespace varonel::core;

namespace {

constexpr int32_t kTickMs = 100;
constexpr int32_t kExitPointMs = 2000;  // the exit point the smart mix sets
constexpr int32_t kLoud = 1000;

using LevelAt = std::function<int32_t(int32_t positionMs)>;

struct Playback {
    std::optional<int32_t> chainedAtMs;  // nothing when the smart mix never chained
};

// Plays one track through the statistics as the transport tick does: a level
// sample, then the fade detection, until the detection chains or the exit
// point is reached. The statistics are reset first, as at a start or after a
// transition.
Playback play(LevelStatistics* stats, int32_t durationMs, const LevelAt& level, double threshold) {
    stats->reset();
    for (int32_t position = kTickMs; position + kExitPointMs < durationMs; position += kTickMs) {
        stats->addSample(level(position));
        if (stats->shouldChainEarly(position, durationMs, threshold)) {
            return {position};
        }
    }
    return {};
}

// Full level until `fadeFromMs`, then a straight line down to silence at the end.
LevelAt fadingOut(int32_t durationMs, int32_t fadeFromMs) {
    return [=](int32_t position) {
        if (position < fadeFromMs) {
            return kLoud;
        }
        return int32_t(int64_t(kLoud) * (durationMs - position) / (durationMs - fadeFromMs));
    };
}

void feed(LevelStatistics* stats, int32_t level, int count) {
    for (int i = 0; i < count; ++i) {
        stats->addSample(level);
    }
}

}  // namespace

class LevelStatisticsTest : public QObject {
    Q_OBJECT

private slots:
    void windowKeepsLast26Samples();
    void averageIsTruncated_data();
    void averageIsTruncated();
    void maximumFollowsHighestAverage();
    void firstSampleAfterResetGives100();
    void silenceAfterResetKeepsPercentage();
    void percentageRoundsHalfToEven_data();
    void percentageRoundsHalfToEven();
    void percentageText_data();
    void percentageText();
    void steadyLevelNeverChainsEarly();
    void fadeChainsEarlierWithHigherThreshold();
    void quietPassageInLastSeconds_data();
    void quietPassageInLastSeconds();
    void resetsBetween5And6Seconds_data();
    void resetsBetween5And6Seconds();
    void unknownLengthIsIgnored();
    void shortTrackIsWatchedFromItsFirstTick();
    void shortTrackOpeningInSilenceIsNotSkipped();
    void thresholdChoices();
};

void LevelStatisticsTest::windowKeepsLast26Samples() {
    LevelStatistics stats;
    for (int32_t sample = 1; sample <= 100; ++sample) {
        stats.addSample(sample);
        QVERIFY(stats.Niveaux().size() <= size_t(LevelStatistics::kWindowSize));
    }
    QCOMPARE(stats.Niveaux().size(), size_t(26));
    QCOMPARE(stats.Niveaux().front(), 75);
    QCOMPARE(stats.Niveaux().back(), 100);
    QCOMPARE(stats.SommeNiveaux(),
             int64_t(std::accumulate(stats.Niveaux().begin(), stats.Niveaux().end(), int64_t(0))));
    QCOMPARE(stats.SommeNiveaux(), int64_t((75 + 100) * 26 / 2));
}

void LevelStatisticsTest::averageIsTruncated_data() {
    QTest::addColumn<QList<int>>("samples");
    QTest::addColumn<int>("average");

    QTest::newRow("1 and 2") << QList<int>{1, 2} << 1;
    QTest::newRow("2, 2 and 3") << QList<int>{2, 2, 3} << 2;
    QTest::newRow("one sample") << QList<int>{7} << 7;
    QTest::newRow("two meters at full scale") << QList<int>{65534, 65534} << 65534;
}

void LevelStatisticsTest::averageIsTruncated() {
    QFETCH(QList<int>, samples);
    QFETCH(int, average);

    LevelStatistics stats;
    for (int sample : samples) {
        stats.addSample(sample);
    }
    QCOMPARE(stats.LblMoyenne(), average);
}

void LevelStatisticsTest::maximumFollowsHighestAverage() {
    LevelStatistics stats;
    feed(&stats, 400, 26);
    feed(&stats, 900, 26);
    QCOMPARE(stats.LblMax(), std::optional<int32_t>(900));
    feed(&stats, 300, 26);
    QCOMPARE(stats.LblMax(), std::optional<int32_t>(900));
    QCOMPARE(stats.LblMoyenne(), 300);
    QCOMPARE(stats.NiveauPourCent(), 33);

    stats.reset();
    QVERIFY(stats.Niveaux().empty());
    QCOMPARE(stats.LblMax(), std::nullopt);
    QCOMPARE(stats.maxValue(), 0);
    // A reset leaves the average and the percentage as they were.
    QCOMPARE(stats.LblMoyenne(), 300);
    QCOMPARE(stats.NiveauPourCent(), 33);
}

void LevelStatisticsTest::firstSampleAfterResetGives100() {
    LevelStatistics stats;
    feed(&stats, 1000, 26);
    feed(&stats, 100, 26);
    QCOMPARE(stats.NiveauPourCent(), 10);
    stats.reset();
    stats.addSample(250);
    QCOMPARE(stats.LblMax(), std::optional<int32_t>(250));
    QCOMPARE(stats.NiveauPourCent(), 100);
}

void LevelStatisticsTest::silenceAfterResetKeepsPercentage() {
    LevelStatistics stats;
    feed(&stats, 1000, 26);
    feed(&stats, 420, 26);
    stats.reset();
    feed(&stats, 0, 10);
    QCOMPARE(stats.LblMax(), std::nullopt);
    QCOMPARE(stats.LblMoyenne(), 0);
    QCOMPARE(stats.NiveauPourCent(), 42);
}

void LevelStatisticsTest::percentageRoundsHalfToEven_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("percent");

    // Against a maximum of 200, each level step is half a percent.
    QTest::newRow("0.5 -> 0") << 1 << 0;
    QTest::newRow("1.5 -> 2") << 3 << 2;
    QTest::newRow("2.5 -> 2") << 5 << 2;
    QTest::newRow("3.5 -> 4") << 7 << 4;
    QTest::newRow("99.5 -> 100") << 199 << 100;
}

void LevelStatisticsTest::percentageRoundsHalfToEven() {
    QFETCH(int, level);
    QFETCH(int, percent);

    LevelStatistics stats;
    feed(&stats, 200, 26);
    feed(&stats, level, 26);
    QCOMPARE(stats.LblMoyenne(), level);
    QCOMPARE(stats.NiveauPourCent(), percent);
}

void LevelStatisticsTest::percentageText_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("text");

    QTest::newRow("0 shows % alone") << 0 << "%";
    QTest::newRow("42") << 420 << "42%";
    QTest::newRow("100") << 1000 << "100%";
}

void LevelStatisticsTest::percentageText() {
    QFETCH(int, level);
    QFETCH(QString, text);

    LevelStatistics stats;
    feed(&stats, 1000, 26);
    feed(&stats, level, 26);
    QCOMPARE(stats.LblPourCent(), text);
}

void LevelStatisticsTest::steadyLevelNeverChainsEarly() {
    for (const double threshold : {10.0, 50.0, 70.0}) {
        LevelStatistics stats;
        const Playback playback = play(
            &stats, 180000, [](int32_t) { return kLoud; }, threshold);
        QCOMPARE(playback.chainedAtMs, std::nullopt);
        QCOMPARE(stats.NiveauPourCent(), 100);
    }
}

void LevelStatisticsTest::fadeChainsEarlierWithHigherThreshold() {
    // A 20-second fade at the end of a 3-minute track.
    const int32_t duration = 180000;
    const LevelAt level = fadingOut(duration, 160000);
    LevelStatistics stats;
    const std::optional<int32_t> at70 = play(&stats, duration, level, 70).chainedAtMs;
    const std::optional<int32_t> at50 = play(&stats, duration, level, 50).chainedAtMs;
    const std::optional<int32_t> at10 = play(&stats, duration, level, 10).chainedAtMs;

    QVERIFY(at70 && at50);
    QVERIFY2(*at70 < *at50, qPrintable(QString("70: %1, 50: %2").arg(*at70).arg(*at50)));
    QVERIFY(*at70 > 160000);
    // The average lags the level by half its 2.6 s window: 50 % is reached about
    // 10 s into the fade, 1.3 s later on the average.
    QVERIFY(qAbs(*at50 - (170000 + 1300)) <= 2 * kTickMs);
    // 10 % comes too late to beat the exit point.
    QCOMPARE(at10, std::nullopt);
}

void LevelStatisticsTest::quietPassageInLastSeconds_data() {
    QTest::addColumn<double>("threshold");
    QTest::addColumn<bool>("chains");

    QTest::newRow("10") << 10.0 << false;
    QTest::newRow("50") << 50.0 << true;
    QTest::newRow("70") << 70.0 << true;
}

void LevelStatisticsTest::quietPassageInLastSeconds() {
    QFETCH(double, threshold);
    QFETCH(bool, chains);

    // A soft bridge at 40 % of the track's level, 20 s before its end.
    const int32_t duration = 200000;
    const LevelAt level = [](int32_t position) {
        return position >= 175000 && position < 185000 ? kLoud * 4 / 10 : kLoud;
    };
    LevelStatistics stats;
    const Playback playback = play(&stats, duration, level, threshold);
    QCOMPARE(playback.chainedAtMs.has_value(), chains);
    if (chains) {
        QVERIFY(*playback.chainedAtMs > 175000 && *playback.chainedAtMs < 185000);
    }
}

void LevelStatisticsTest::resetsBetween5And6Seconds_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("resets");

    QTest::newRow("4 900") << 4900 << false;
    QTest::newRow("5 000") << 5000 << false;
    QTest::newRow("5 001") << 5001 << true;
    QTest::newRow("5 500") << 5500 << true;
    QTest::newRow("5 999") << 5999 << true;
    QTest::newRow("6 000") << 6000 << false;
}

void LevelStatisticsTest::resetsBetween5And6Seconds() {
    QFETCH(int, position);
    QFETCH(bool, resets);

    LevelStatistics stats;
    feed(&stats, kLoud, 10);
    QVERIFY(!stats.shouldChainEarly(position, 180000, 50));
    QCOMPARE(stats.Niveaux().empty(), resets);
    QCOMPARE(stats.LblMax().has_value(), !resets);
}

void LevelStatisticsTest::unknownLengthIsIgnored() {
    LevelStatistics stats;
    feed(&stats, kLoud, 26);
    feed(&stats, 10, 26);
    QVERIFY(!stats.shouldChainEarly(5500, 0, 70));
    QVERIFY(!stats.Niveaux().empty());
    QVERIFY(stats.shouldChainEarly(7000, 20000, 70));
}

void LevelStatisticsTest::shortTrackIsWatchedFromItsFirstTick() {
    // A 20-second jingle that drops to a murmur after 8 s chains then, long
    // before its exit point.
    const LevelAt level = [](int32_t position) { return position < 8000 ? kLoud : kLoud / 20; };
    LevelStatistics stats;
    const Playback playback = play(&stats, 20000, level, 50);
    QVERIFY(playback.chainedAtMs.has_value());
    QVERIFY(*playback.chainedAtMs > 8000 && *playback.chainedAtMs < 10000);
}

void LevelStatisticsTest::shortTrackOpeningInSilenceIsNotSkipped() {
    // The previous track was chained early during its fade, so the percentage
    // left over is below the threshold.
    const int32_t longTrack = 180000;
    LevelStatistics stats;
    QVERIFY(play(&stats, longTrack, fadingOut(longTrack, 160000), 50).chainedAtMs.has_value());
    const int16_t leftOver = stats.NiveauPourCent();
    QVERIFY(leftOver < 50);

    // A 20-second track opening with 3 s of silence: the display keeps the old
    // percentage, but the track is not chained on the strength of it.
    const int32_t shortTrack = 20000;
    stats.reset();
    for (int32_t position = kTickMs; position < 3000; position += kTickMs) {
        stats.addSample(0);
        QVERIFY2(!stats.shouldChainEarly(position, shortTrack, 50),
                 qPrintable(QString::number(position)));
        QCOMPARE(stats.NiveauPourCent(), leftOver);
    }
    // Once it sounds, it plays steadily to its exit point.
    for (int32_t position = 3000; position + kExitPointMs < shortTrack; position += kTickMs) {
        stats.addSample(kLoud);
        QVERIFY(!stats.shouldChainEarly(position, shortTrack, 50));
        QCOMPARE(stats.NiveauPourCent(), 100);
    }
}

void LevelStatisticsTest::thresholdChoices() {
    const QStringList entries = mixagePourCentEntries();
    QCOMPARE(entries.size(), 13);
    QCOMPARE(entries.first(), "10");
    QCOMPARE(entries.last(), "70");
    QCOMPARE(entries.at(kMixagePourCentDefaultEntry), "50");
    for (int i = 1; i < entries.size(); ++i) {
        QCOMPARE(entries.at(i).toInt() - entries.at(i - 1).toInt(), 5);
    }
}

QTEST_GUILESS_MAIN(LevelStatisticsTest)
#include "tst_levelstatistics.moc"
