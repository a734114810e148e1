// The two-deck player's logic on offline outputs and a virtual clock: the deck
// state table, pitch, the 50 ms tick with its keys and their half-second limit,
// and the joystick's reports.

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "ScriptedDialogs.h"
#include "TestTracks.h"
#include "audio/OfflineOutput.h"
#include "core/player/JoystickControl.h"
#include "core/player/PlayerDecks.h"
#include "core/player/PlayerMainTimer.h"

using namespace varonel;
using namespace varonel::core;

namespace {

class HeldKeys final : public PlayerKeyboard {
public:
    bool isHeld(PlayerKey key) const override { return held.contains(int(key)); }
    bool windowActive() const override { return active; }
    void tickRead() override {}
    QSet<int> held;
    bool active = true;
};

// Two decks on offline outputs; `tick()` renders 50 ms on both and runs Timer1.
struct Decks {
    explicit Decks(QTime start = QTime(12, 0)) : clock(start) {}
    void tick(int times = 1) {
        for (int i = 0; i < times; ++i) {
            outputA.advanceMs(PlayerMainTimer::kPeriodMs, 441);
            outputB.advanceMs(PlayerMainTimer::kPeriodMs, 441);
            clock.advanceMs(PlayerMainTimer::kPeriodMs);
            timer.Timer1_Timer();
        }
    }
    void load(int deck, const QString& path, const QString& name = "Dupont") {
        decks.setMorceauGlisse({name, name, QString(), path});  // artist and title
        decks.dropOnDeck(deck);
    }
    const DeckDisplay& shown(int deck) const { return decks.display().decks[size_t(deck)]; }

    audio::OfflineOutput& outputA = *new audio::OfflineOutput(44100);
    audio::OfflineOutput& outputB = *new audio::OfflineOutput(44100);
    audio::Player playerA{std::unique_ptr<audio::AudioOutput>(&outputA)};
    audio::Player playerB{std::unique_ptr<audio::AudioOutput>(&outputB)};
    ScriptedDialogs dialogs;
    PlayerDecks decks{playerA, playerB, dialogs};
    VirtualClock clock;
    HeldKeys keys;
    PlayerMainTimer timer{decks, clock, &keys};
    JoystickControl joystick{decks};
};

}  // namespace

class TestPlayerDecks : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_short;  // 2 s
    QString m_long;   // 60 s

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_short = testtracks::write(m_dir.filePath("court.wav"), {2.0, 0.5f});
        m_long = testtracks::write(m_dir.filePath("long.wav"), {60.0, 0.5f});
    }

    // Load, start, the end of a track, stop: what each state allows and shows;
    // then the deck keys.
    void deckStatesAndKeys() {
        Decks d;
        d.decks.bar1_ButtonClick(1, Bar1Button::Play);  // empty deck: selected, nothing said
        QCOMPARE(d.decks.PlatineCourante(), 1);

        d.load(0, m_short, "");  // a name without "-": two spaces, loaded all the same
        QCOMPARE(d.shown(0).artiste, QStringLiteral("  "));
        d.decks.bar1_ButtonClick(0, Bar1Button::CuePlay);  // the load reset the cue to 0
        d.tick(10);
        QCOMPARE(d.shown(0).temp, QStringLiteral("00:01"));  // 1.5 s left

        d.load(0, m_long);  // onto a playing deck: ignored
        QCOMPARE(d.shown(0).artiste, QStringLiteral("  "));
        d.tick(40);  // past the end: the deck has ended, its list stays locked
        QCOMPARE(d.playerA.state(), audio::Player::kStateStopped);
        QVERIFY(!d.shown(0).outputEnabled);
        QCOMPARE(d.shown(0).temp, QStringLiteral("--:--"));  // under a second left, then none
        d.decks.bar1_ButtonClick(0, Bar1Button::Stop);
        QVERIFY(d.shown(0).outputEnabled);

        // A file gone before "Play" does nothing, silently.
        const QString gone = m_dir.filePath("parti.wav");
        QFile::copy(m_short, gone);
        d.decks.Pitch_Change(1, 5);
        d.load(1, gone);
        QCOMPARE(d.playerB.pitch(), 0.0f);  // a load sets the pitch back to 0
        QFile::remove(gone);
        d.decks.bar1_ButtonClick(1, Bar1Button::Play);
        QVERIFY(!d.decks.playing(1));
        QVERIFY(d.dialogs.shown.isEmpty());

        // Space, Numpad 0 and Enter at most once per half second; Space and
        // Enter in one tick switch the deck and start the new one; no key
        // while another window is active; the limit does not outlast midnight.
        d.load(1, m_long);
        d.decks.setPlatineCourante(0);
        d.keys.held = {int(PlayerKey::Space), int(PlayerKey::Enter)};
        d.tick();
        QCOMPARE(d.decks.PlatineCourante(), 1);
        QVERIFY(d.decks.playing(1));
        d.keys.held = {int(PlayerKey::Space)};
        d.tick(9);  // 450 ms after the first: not yet
        QCOMPARE(d.decks.PlatineCourante(), 1);
        d.tick(2);  // taken once at 500 or 550 ms
        QCOMPARE(d.decks.PlatineCourante(), 0);

        d.keys.held = {int(PlayerKey::Numpad0)};
        d.keys.active = false;
        d.decks.setPlatineCourante(1);
        d.tick(20);
        QVERIFY(d.decks.playing(1));
        d.keys.active = true;
        d.tick();
        QVERIFY(!d.decks.playing(1));

        Decks night(QTime(23, 59, 59, 900));
        night.keys.held = {int(PlayerKey::Space)};
        night.tick();  // 23:59:59.950: taken
        QCOMPARE(night.decks.PlatineCourante(), 1);
        night.tick(2);  // 00:00:00.050: taken again at once, although the limit ran then
        QCOMPARE(night.decks.PlatineCourante(), 0);
    }

    // Both decks play at once, each at its own pitch: the player's pitch is
    // half the slider, the keys move the selected deck's slider one step a
    // tick and never past its end, and the text follows the user's number
    // format (French in this test). Each tick shows the positions and the
    // clock, highlights the selected deck (a meter's click selects its own),
    // follows the sliders not held and shows the selected player's state.
    void twoDecksAndTheTick() {
        Decks d(QTime(21, 30, 5));
        d.decks.MMMeterX_Click(3);
        d.tick();
        QCOMPARE(d.decks.display().statusPanels[3], QStringLiteral("21:30:05"));
        QVERIFY(!d.shown(0).selected && d.shown(1).selected);
        d.load(0, m_long);
        d.decks.Pitch_Change(0, -3);
        QCOMPARE(d.shown(0).memoPitch, QStringLiteral("-1,5"));
        d.keys.held = {int(PlayerKey::PitchUp)};
        d.tick(40);  // 33 steps of 0.5 reach the end, the rest go no further
        d.keys.held.clear();
        QCOMPARE(d.playerA.pitch(), 15.0f);
        d.load(1, m_long);
        d.decks.Pitch_Change(1, -30);
        d.decks.bar1_ButtonClick(0, Bar1Button::Play);
        d.decks.bar1_ButtonClick(1, Bar1Button::Play);
        d.decks.Slider_Press(1);
        d.tick(200);  // 10 s
        QVERIFY(std::abs(d.playerA.positionMs() - 11500) <= 60);
        QVERIFY(std::abs(d.playerB.positionMs() - 8500) <= 60);
        QVERIFY(std::abs(d.shown(1).progressSeconds - 8.5) < 0.1);
        QCOMPARE(d.decks.display().statusPanels[1], QStringLiteral("Platine B = 00:08"));
        QCOMPARE(d.decks.display().info, QStringLiteral("6"));
        QCOMPARE(d.shown(1).sliderValue, 0);  // held
        d.decks.Slider_Release(1, 30000);
        d.tick();
        QVERIFY(std::abs(d.shown(1).sliderValue - 30050) <= 60);

        // The stick's gap is kept at its first report, then shown in
        // thousands. (Its buttons are the window's test, through SDL.)
        d.decks.display().ecart = "7";
        d.joystick.positionReport(32767, -1);
        QCOMPARE(d.decks.display().ecart, QStringLiteral("7"));
        d.joystick.positionReport(-1, 0);
        QCOMPARE(d.decks.display().ecart, QStringLiteral("-33"));
    }
};

int main(int argc, char** argv) {
    // The pitch text follows the user's locale: this run is French.
    qputenv("LC_ALL", "fr_FR.UTF-8");
    QCoreApplication app(argc, argv);
    TestPlayerDecks test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_playerdecks.moc"
