#include "ui/player/PlayerDesign.h"

namespace varonel::ui {

namespace {

// Where deck B's controls on the window lie, to the right of deck A's.
constexpr int kDeckB = 5970;

// The controls inside a deck's panel (the same for both decks) and, for the
// controls on the window, their place for deck `deck`.
void addDeck(QList<DesignEntry>* table, int deck, QList<QByteArray>* names) {
    const int x = deck * kDeckB;
    auto add = [&](const char* name, core::TwipRect rect) {
        names->append(QByteArray(name) + QByteArray::number(deck));
        table->append({names->last().constData(), rect});
    };
    add("PlatineA", {60 + x, 60, 5910, 3000});
    add("LblArtiste", {150, 90, 5610, 390});
    add("Picture1", {150, 540, 5610, 900});
    add("Temp", {1755, 45, 2100, 810});
    add("Label2", {4110, 60, 1380, 390});
    add("Label1", {60, 450, 600, 390});
    // Shown in the time panel while the deck's output has lost its device.
    add("SortiePerdue", {60, 45, 1650, 400});
    add("VuMettre", {150, 1530, 5610, 210});
    add("Pitch", {150, 1830, 5610, 330});
    add("MemoPitch", {2355, 2190, 1200, 300});
    add("bar1", {150, 2520, 3900, 420});
    add("LblPlatine", {4200, 2520, 1560, 420});
    add("Slider", {60 + x, 3120, 5910, 330});
    add("Output", {60 + x, 3810, 2400, 330});
    add("CueInfo", {4800 + x, 3840, 1170, 270});
    names->append("MMMeterX" + QByteArray::number(2 * deck));
    table->append({names->last().constData(), {60 + x, 3510, 2600, 240}});
    names->append("MMMeterX" + QByteArray::number(2 * deck + 1));
    table->append({names->last().constData(), {2720 + x, 3510, 2600, 240}});
}

}  // namespace

DesignTable playerDesignTable() {
    // The names of indexed controls are made once and live as long as the program.
    static QList<QByteArray> names;
    static const QList<DesignEntry> table = [] {
        QList<DesignEntry> entries;
        addDeck(&entries, 0, &names);
        addDeck(&entries, 1, &names);
        entries.append({
            // The "Cue" captions before each deck's cue point.
            {"Label3", {4300, 3840, 500, 270}},
            {"Label4", {4300 + kDeckB, 3840, 500, 270}},
            // The joystick's last reports, and the selected player's state.
            {"LblBtn", {2520, 3840, 400, 270}},
            {"X", {2940, 3840, 400, 270}},
            {"Y", {3360, 3840, 400, 270}},
            {"Ecart", {3780, 3840, 450, 270}},
            {"Info", {2520 + kDeckB, 3840, 600, 270}},
            // The browser.
            {"Drive1", {60, 4260, 3600, 330}},
            {"Dir1", {60, 4650, 3600, 3600}},
            {"ListRech", {3720, 4260, 8220, 3990}},
        });
        return entries;
    }();
    return DesignTable(table);
}

}  // namespace varonel::ui
