// Players through the offline output (varispeed pitch, states, the time text)
// and on a device that holds sound before it is heard.

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

#include "FakeDeviceBackend.h"
#include "TestSignals.h"
#include "audio/DeviceOutput.h"
#include "audio/OfflineOutput.h"
#include "audio/Player.h"
#include "audio/TimeText.h"

using namespace varonel::audio;

class TestPlayer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_track = testsignals::writeFloatWav(m_dir.filePath("sixty.wav"),
                                             testsignals::constant(0.5f, 60));
    }

    void pitchChangesThePlayingTime_data() {
        QTest::addColumn<float>("pitch");
        QTest::addColumn<double>("seconds");
        QTest::newRow("+15 %") << 15.0f << 60.0 / 1.15;
        QTest::newRow("-30 %") << -30.0f << 60.0 / 0.7;
    }
    void pitchChangesThePlayingTime() {
        QFETCH(float, pitch);
        QFETCH(double, seconds);
        auto owned = std::make_unique<OfflineOutput>(44100);
        OfflineOutput& output = *owned;
        Player player(std::move(owned));
        QVERIFY(player.setFileName(m_track.toStdString()));
        QCOMPARE(player.state(), Player::kStateStopped);
        player.setPitch(pitch);
        QVERIFY(player.play());
        QCOMPARE(player.state(), Player::kStatePlaying);
        // Count the frames that carry the track's sound until the player stops.
        int64_t heard = 0;
        while (player.state() == Player::kStatePlaying && output.elapsedMs() < 100000) {
            const float* block = output.pull(1024);
            for (int i = 0; i < 1024; ++i) {
                heard += block[2 * i] > 0.25f ? 1 : 0;
            }
        }
        const double played = double(heard) / 44100.0;
        QVERIFY2(std::abs(played - seconds) < 0.1, qPrintable(QString::number(played)));
        QCOMPARE(player.state(), Player::kStateStopped);
        QCOMPARE(player.positionMs(), player.lengthMs());
    }

    void stopHoldsThePositionAndPlayResumes() {
        auto owned = std::make_unique<OfflineOutput>(48000);  // another rate than the file's
        OfflineOutput& output = *owned;
        Player player(std::move(owned));
        QCOMPARE(player.state(), Player::kStateEmpty);
        QVERIFY(!player.play());
        QVERIFY(player.setFileName(m_track.toStdString()));
        QVERIFY(player.play());
        output.advanceMs(2000);
        QVERIFY(std::abs(player.positionMs() - 2000) <= 30);
        QVERIFY(player.levelLeft() > 16000);
        player.stop();
        output.advanceMs(1000);
        QVERIFY(std::abs(player.positionMs() - 2000) <= 30);
        QCOMPARE(player.levelLeft(), 0);
        player.setPositionMs(30000);
        QVERIFY(player.play());
        output.advanceMs(500);
        QVERIFY(std::abs(player.positionMs() - 30500) <= 30);
        QVERIFY(!player.setFileName(m_dir.filePath("nothing.wav").toStdString()));
        QVERIFY(!player.lastError().empty());
        QCOMPARE(player.state(), Player::kStateEmpty);
    }

    // A device holds 300 ms before they are heard: the position and the meters
    // show what is heard (silence until the ear reaches the second second), and
    // a stop sets the track back to where the ear was.
    void positionAndMetersFollowWhatIsHeard() {
        FakeDeviceBackend backend(1);
        backend.setLatencyFrames(13230);
        const QString path = testsignals::writeFloatWav(
            m_dir.filePath("late.wav"), varonel::synth::concat(testsignals::constant(0.0f, 1.0),
                                                               testsignals::constant(0.5f, 4.0)));
        Player player(std::make_unique<DeviceOutput>(backend));
        player.setDeviceIndex(0);
        QVERIFY(player.setFileName(path.toStdString()));
        QVERIFY(player.play());
        QElapsedTimer timer;
        timer.start();
        int32_t position = 0;
        while (position < 1500 && timer.elapsed() < 5000) {
            position = player.positionMs();
            const int32_t level = player.levelLeft();
            QVERIFY2(position > 950 || level == 0, qPrintable(QString::number(position)));
            QVERIFY2(position < 1100 || level > 0, qPrintable(QString::number(position)));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        QVERIFY(position >= 1500);
        const int32_t heard = player.positionMs();
        player.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        QVERIFY2(std::abs(player.positionMs() - heard) <= 60,
                 qPrintable(QString("%1 %2").arg(heard).arg(player.positionMs())));
    }

    void timeTextFitsTheDisplay_data() {
        QTest::addColumn<int>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << "00:00.00";
        QTest::newRow("negative") << -5 << "00:00.00";
        QTest::newRow("cue") << 83456 << "01:23.45";
        QTest::newRow("99 minutes") << 5999990 << "99:59.99";
        QTest::newRow("wraps past 99") << 6000000 << "00:00.00";
    }
    void timeTextFitsTheDisplay() {
        QFETCH(int, ms);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(timeText(ms)), text);
    }

private:
    QTemporaryDir m_dir;
    QString m_track;
};

QTEST_GUILESS_MAIN(TestPlayer)
#include "tst_player.moc"
