// Headroom and the main output's peak limiter, heard at sample level through the
// offline output as the main chain sets it up.

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

#include "OfflineMix.h"
#include "TestSignals.h"
#include "audio/PeakLimiter.h"

using namespace varonel::audio;
using offlinemix::kRate;

namespace {

using varonel::synth::sine;

// The longest run of equal samples at more than 80 % of full scale: a flat top.
int longestFlatTop(const std::vector<float>& samples) {
    int longest = 0;
    int run = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        run = std::fabs(samples[i]) > 0.8f && samples[i] == samples[i - 1] ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

}  // namespace

class TestLimiter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Below -1 dBFS nothing changes: the output is the input, only later.
    void trackPeakingAtMinusThreeDbPassesBitForBit() {
        offlinemix::Mix main(true);  // the main output: the limiter on
        const varonel::synth::Audio track = sine(997, 3, float(std::pow(10.0, -3.0 / 20.0)));
        main.play(0, testsignals::writeFloatWav(m_dir.filePath("m3.wav"), track));
        const std::vector<float> out = main.left(kRate * 2);
        const int delay = PeakLimiter::latencyFrames();
        for (size_t i = 0; i + size_t(delay) < out.size(); ++i) {
            QCOMPARE(out[i + size_t(delay)], track.samples[2 * i]);
        }
    }

    // Two full-scale tracks overlapping, one of them a loud master decoded past
    // full scale: what goes out stays under full scale with no flat tops, and
    // the meters show it.
    void loudOverlapNeverClips() {
        offlinemix::Mix main(true);  // the main output: the limiter on
        main.play(0, testsignals::writeFloatWav(m_dir.filePath("hot.wav"), sine(220, 3, 1.6f)));
        main.play(1, testsignals::writeFloatWav(m_dir.filePath("full.wav"), sine(331, 3, 1.0f)));
        const std::vector<float> out = main.left(kRate * 2);
        const auto [low, high] = std::minmax_element(out.begin(), out.end());
        QVERIFY2(*high <= PeakLimiter::kCeiling && *low >= -PeakLimiter::kCeiling,
                 qPrintable(QString("%1 %2").arg(*low, 0, 'g', 9).arg(*high, 0, 'g', 9)));
        QVERIFY(*high > 0.85f);  // limited, not muted
        QVERIFY2(longestFlatTop(out) < 2, qPrintable(QString::number(longestFlatTop(out))));
        main.output.pull(offlinemix::kBlock);  // the meters show the last block, a whole one
        QVERIFY(main.output.levelLeft() <= int32_t(PeakLimiter::kCeiling * 32767) + 1);
        QVERIFY(main.output.levelLeft() > 25000);
    }

    // A steady track louder than the ceiling is turned down by a steady gain:
    // its peaks do not move from one cycle to the next (no pumping).
    void steadyLoudTrackDoesNotPump() {
        offlinemix::Mix main(true);  // the main output: the limiter on
        main.play(0, testsignals::writeFloatWav(m_dir.filePath("steady.wav"), sine(60, 4, 1.4f)));
        const std::vector<float> out = main.left(kRate * 3);
        float lowest = 1.0f;
        float highest = 0.0f;
        const size_t window = kRate / 20;  // three cycles of 60 Hz
        for (size_t from = kRate / 2; from + window <= out.size(); from += window) {
            float peak = 0.0f;
            for (size_t i = from; i < from + window; ++i) {
                peak = std::max(peak, std::fabs(out[i]));
            }
            lowest = std::min(lowest, peak);
            highest = std::max(highest, peak);
        }
        QVERIFY(highest <= PeakLimiter::kCeiling);
        const double swingDb = 20.0 * std::log10(double(highest) / double(lowest));
        QVERIFY2(swingDb < 0.1, qPrintable(QString::number(swingDb)));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestLimiter)
#include "tst_limiter.moc"
