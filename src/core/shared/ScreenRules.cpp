#include "core/shared/ScreenRules.h"

#include <cstdint>
#include <initializer_list>

namespace varonel::core {

namespace {

enum class Field { Left, Top, Width, Height };

struct Change {
    const char* control;
    Field field;
    int amount;
};

int& fieldOf(TwipRect& rect, Field field) {
    switch (field) {
        case Field::Left:
            return rect.left;
        case Field::Top:
            return rect.top;
        case Field::Width:
            return rect.width;
        case Field::Height:
            break;
    }
    return rect.height;
}

// A control missing from the table is passed over: the rules are the same for
// windows that lack one of the controls (the player without a status bar).
void add(const ControlLookup& controls, std::initializer_list<Change> changes) {
    for (const Change& change : changes) {
        if (TwipRect* rect = controls(QString::fromLatin1(change.control))) {
            fieldOf(*rect, change.field) += change.amount;
        }
    }
}

void set(const ControlLookup& controls, const char* control, Field field, int value) {
    if (TwipRect* rect = controls(QString::fromLatin1(control))) {
        fieldOf(*rect, field) = value;
    }
}

int widthOf(const ControlLookup& controls, const char* control) {
    const TwipRect* rect = controls(QString::fromLatin1(control));
    return rect ? rect->width : 0;
}

// The shifts are 16-bit whole numbers of twips.
struct Shifts {
    int16_t h = 0;
    int16_t v = 0;
};

Shifts shiftsFor(float w) {
    if (w == 1024.0F) {
        return {3360, 2500};
    }
    if (w == 1280.0F) {
        return {4368, 3250};
    }
    return {};
}

TwipRect centred(double screenWidth, double screenHeight, int width, int height) {
    return {int((screenWidth - width) / 2), int((screenHeight - height) / 2), width, height};
}

}  // namespace

float screenWidthPixels(double screenWidthTwips) {
    return float(screenWidthTwips / kTwipsPerPixel);
}

bool screenTooNarrow(float widthPixels) {
    return widthPixels < 800.0F;
}

WindowRule CheckScreenSizeMixer(double screenWidthTwips, double screenHeightTwips,
                                const ControlLookup& controls) {
    const float w = screenWidthPixels(screenWidthTwips);
    Shifts s = shiftsFor(w);
    WindowRule rule;
    if (w > 1280.0F) {
        s = {4368, 3250};
        rule.normalState = true;
        rule.window = centred(screenWidthTwips, screenHeightTwips, 16500, 12450);
        set(controls, "Drive1", Field::Width, 4300);
        set(controls, "Dir1", Field::Width, widthOf(controls, "Drive1"));
        set(controls, "ListRech", Field::Left, 4500);
        set(controls, "PFL", Field::Width, 4300);
        set(controls, "P3", Field::Left, 3800);
        set(controls, "P3", Field::Top, 10900);
        set(controls, "ListRech", Field::Width, 7350);
    }
    const int h = s.h;
    const int v = s.v;
    add(controls, {{"TrackBarPFL", Field::Top, v},
                   {"btnStop", Field::Top, v},
                   {"btnPlay", Field::Top, v},
                   {"Label2", Field::Top, v},
                   {"PFL", Field::Top, v},
                   {"Dir1", Field::Height, v},
                   {"ListRech", Field::Height, v},
                   {"ListRech", Field::Width, h},
                   {"PL", Field::Width, h},
                   {"Picture1", Field::Width, h},
                   {"LblReste", Field::Width, h},
                   {"TrackBar", Field::Width, h},
                   {"LblArtiste", Field::Width, h}});
    if (w <= 1280.0F) {
        add(controls, {{"P3", Field::Top, v}});
    }
    return rule;
}

WindowRule CheckScreenSizePlayer(double screenWidthTwips, double screenHeightTwips,
                                 const ControlLookup& controls) {
    const float w = screenWidthPixels(screenWidthTwips);
    WindowRule rule;
    if (w == 800.0F) {
        return rule;
    }
    Shifts s = shiftsFor(w);
    if (w > 1280.0F) {
        s = {3360, 2300};
        rule.normalState = true;
        rule.statusBarVisible = true;
        rule.window = centred(screenWidthTwips, screenHeightTwips, 15450, 11400);
        set(controls, "Drive1", Field::Width, 4000);
        set(controls, "Dir1", Field::Width, widthOf(controls, "Drive1"));
        set(controls, "ListRech", Field::Left, 4300);
        set(controls, "ListRech", Field::Width, rule.window.width - 7900);
    }
    const int h = s.h;
    const int v = s.v;
    add(controls, {{"Dir1", Field::Height, v},
                   {"ListRech", Field::Height, v},
                   {"ListRech", Field::Width, h},
                   {"PlatineA1", Field::Left, h / 2},
                   {"Slider0", Field::Width, h / 2},
                   {"Slider1", Field::Left, h / 2},
                   {"Slider1", Field::Width, h / 2},
                   {"Output1", Field::Left, h / 2},
                   // Beside deck B's list, which would otherwise cover it.
                   {"Info", Field::Left, h / 2},
                   {"Label3", Field::Left, h / 2},
                   {"CueInfo0", Field::Left, h / 2},
                   {"Label4", Field::Left, h},
                   {"CueInfo1", Field::Left, h}});
    for (const char* meter : {"MMMeterX0", "MMMeterX1", "MMMeterX2", "MMMeterX3"}) {
        set(controls, meter, Field::Width, 3500);
    }
    add(controls, {{"MMMeterX1", Field::Left, 900},
                   {"MMMeterX2", Field::Left, h / 2},
                   {"MMMeterX3", Field::Left, 2580}});
    for (const char* deck : {"0", "1"}) {
        const ControlLookup ofDeck = [&](const QString& name) {
            return controls(name + QLatin1String(deck));
        };
        add(ofDeck, {{"PlatineA", Field::Width, h / 2},
                     {"Picture1", Field::Width, h / 2},
                     {"VuMettre", Field::Width, h / 2},
                     {"Pitch", Field::Width, h / 2},
                     {"MemoPitch", Field::Left, h / 4},
                     {"Label2", Field::Left, h / 2},
                     {"Temp", Field::Left, h / 4},
                     {"LblArtiste", Field::Left, h / 4}});
    }
    return rule;
}

}  // namespace varonel::core
