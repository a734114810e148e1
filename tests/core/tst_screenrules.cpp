// The screen rules of both main windows on fake screen widths, and the panels'
// shading on a recording surface.

#include <QHash>
#include <QtTest>

#include "core/shared/Gradient.h"
#include "core/shared/ScreenRules.h"

using namespace varonel::core;

namespace {

const QStringList kMixerControls = {"TrackBarPFL", "btnStop",  "btnPlay",    "Label2", "PFL",
                                    "Dir1",        "Drive1",   "ListRech",   "PL",     "Picture1",
                                    "LblReste",    "TrackBar", "LblArtiste", "P3"};

QStringList playerControls() {
    QStringList names = {"Dir1", "Drive1", "ListRech", "Label3", "Label4"};
    for (const char* deck : {"0", "1"}) {
        for (const char* name : {"PlatineA", "Slider", "Output", "CueInfo", "Picture1", "VuMettre",
                                 "Pitch", "MemoPitch", "Label2", "Temp", "LblArtiste"}) {
            names.append(QString::fromLatin1(name) + QLatin1String(deck));
        }
    }
    for (int i = 0; i < 4; ++i) {
        names.append("MMMeterX" + QString::number(i));
    }
    return names;
}

// Every control starts at 1000, 1000, 1000 by 1000 twips, so that each change
// reads as a difference.
struct Table {
    explicit Table(const QStringList& names) {
        for (const QString& name : names) {
            rects.insert(name, {1000, 1000, 1000, 1000});
        }
    }
    ControlLookup lookup() {
        return [this](const QString& name) {
            auto it = rects.find(name);
            return it == rects.end() ? nullptr : &it.value();
        };
    }
    TwipRect delta(const QString& name) const {
        const TwipRect r = rects.value(name);
        return {r.left - 1000, r.top - 1000, r.width - 1000, r.height - 1000};
    }
    QHash<QString, TwipRect> rects;
};

double twipsOf(double pixels) {
    return pixels * 15.0;
}

// Records what the shading does to a surface.
class RecordingSurface final : public DrawingSurface {
public:
    bool readSettings(Settings* out) const override {
        *out = settings;
        return hasSettings;
    }
    void setAutoRedraw(bool on) override { settings.autoRedraw = on; }
    void setDrawWidth(int width) override { settings.drawWidth = width; }
    void setDrawStyle(int style) override { settings.drawStyle = style; }
    void setDrawMode(int mode) override { settings.drawMode = mode; }
    void setScaleMode(int mode) override { settings.scaleMode = mode; }
    void setScaleWidth(double width) override { settings.scaleWidth = width; }
    void setScaleHeight(double height) override { settings.scaleHeight = height; }
    void fillBox(double x1, double y1, double x2, double y2, Rgb colour) override {
        QVERIFY(settings.autoRedraw && settings.scaleWidth == 512 && settings.scaleMode == 3);
        boxes.append({QRectF(QPointF(x1, y1), QPointF(x2, y2)), colour});
    }
    struct Box {
        QRectF rect;
        Rgb colour;
    };
    Settings settings{false, 1, 0, 13, 7000.0, 3000.0, 1};
    bool hasSettings = true;
    QList<Box> boxes;
};

}  // namespace

class TestScreenRules : public QObject {
    Q_OBJECT

private slots:
    void mixerShifts_data() {
        QTest::addColumn<double>("pixels");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("v");
        QTest::newRow("800") << 800.0 << 0 << 0;
        QTest::newRow("1024") << 1024.0 << 3360 << 2500;
        QTest::newRow("1152") << 1152.0 << 0 << 0;
        QTest::newRow("1280") << 1280.0 << 4368 << 3250;
        QTest::newRow("1600") << 1600.0 << 4368 << 3250;
    }
    void mixerShifts() {
        QFETCH(double, pixels);
        QFETCH(int, h);
        QFETCH(int, v);
        Table table(kMixerControls);
        const WindowRule rule = CheckScreenSizeMixer(twipsOf(pixels), twipsOf(900), table.lookup());
        QCOMPARE(table.delta("btnPlay").top, v);
        QCOMPARE(table.delta("Dir1").height, v);
        QCOMPARE(table.delta("PL").width, h);
        QCOMPARE(table.delta("PL").left, 0);
        QCOMPARE(rule.normalState, pixels > 1280);
        if (pixels > 1280) {
            QCOMPARE(rule.window,
                     (TwipRect{(24000 - 16500) / 2, (13500 - 12450) / 2, 16500, 12450}));
            QCOMPARE(table.rects["P3"], (TwipRect{3800, 10900, 1000, 1000}));  // not moved by V
            QCOMPARE(table.rects["Dir1"].width, 4300);
            QCOMPARE(table.rects["ListRech"], (TwipRect{4500, 1000, 7350 + h, 1000 + v}));
        } else {
            QCOMPARE(table.delta("P3").top, v);
            QCOMPARE(table.delta("ListRech").width, h);
        }
    }

    void playerShifts_data() {
        QTest::addColumn<double>("pixels");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("v");
        QTest::newRow("1024") << 1024.0 << 3360 << 2500;
        QTest::newRow("1152") << 1152.0 << 0 << 0;
        QTest::newRow("1280") << 1280.0 << 4368 << 3250;
        QTest::newRow("1600") << 1600.0 << 3360 << 2300;
    }
    void playerShifts() {
        QFETCH(double, pixels);
        QFETCH(int, h);
        QFETCH(int, v);
        Table table(playerControls());
        const WindowRule rule =
            CheckScreenSizePlayer(twipsOf(pixels), twipsOf(900), table.lookup());
        QCOMPARE(table.delta("PlatineA0").left, 0);
        QCOMPARE(table.delta("Slider1"), (TwipRect{h / 2, 0, h / 2, 0}));
        QCOMPARE(table.delta("Label4").left, h);
        QCOMPARE(table.delta("MemoPitch1").left, h / 4);
        QCOMPARE(table.delta("Dir1").height, v);
        // The meters change at every width but 800, shifts or not.
        QCOMPARE(table.rects["MMMeterX0"].width, 3500);
        QCOMPARE(table.delta("MMMeterX1").left, 900);
        QCOMPARE(table.delta("MMMeterX3").left, 2580);
        QCOMPARE(rule.normalState, pixels > 1280);
        QCOMPARE(rule.statusBarVisible, pixels > 1280);
        if (pixels > 1280) {
            QCOMPARE(rule.window.width, 15450);
            QCOMPARE(table.rects["ListRech"], (TwipRect{4300, 1000, 15450 - 7900 + h, 1000 + v}));
        }
    }

    void playerAt800ChangesNothing() {
        Table table(playerControls());
        const Table before = table;
        const WindowRule rule = CheckScreenSizePlayer(twipsOf(800), twipsOf(600), table.lookup());
        QCOMPARE(table.rects, before.rects);
        QVERIFY(!rule.normalState && !rule.statusBarVisible);
    }

    // The panels' call: all channels, top to bottom, light to dark, Vitesse 2.
    void panelShading() {
        RecordingSurface surface;
        const DrawingSurface::Settings before = surface.settings;
        Degrade(surface, {true, true, true, true, false, true, 2});
        QCOMPARE(surface.boxes.size(), 256);
        QCOMPARE(surface.boxes.first().colour, (Rgb{254, 254, 254}));
        QCOMPARE(surface.boxes.last().colour, (Rgb{49, 49, 49}));
        QCOMPARE(surface.boxes.first().rect, QRectF(0, 0, 512, 2));
        QCOMPARE(surface.boxes.last().rect, QRectF(0, 510, 512, 2));
        QCOMPARE(surface.boxes[1].colour, surface.boxes[0].colour);  // every other strip at first
        QCOMPARE(surface.settings, before);
    }

    void shadingDefaultsAndForcing() {
        RecordingSurface bare;  // only Vitesse: blue, left to right
        Degrade(bare, {});
        QCOMPARE(bare.boxes.size(), 256);
        QCOMPARE(bare.boxes.first().colour, (Rgb{0, 0, 254}));
        QCOMPARE(bare.boxes.first().rect, QRectF(0, 0, 2, 512));

        RecordingSurface blueOff;  // blue asked off with no other channel: forced on
        Degrade(blueOff, {false, false, false, std::nullopt, std::nullopt, false, 2});
        QCOMPARE(blueOff.boxes.first().colour, (Rgb{0, 0, 1}));
        QCOMPARE(blueOff.boxes.last().colour, (Rgb{0, 0, 206}));

        RecordingSurface redOnly;
        Degrade(redOnly,
                {true, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2});
        QCOMPARE(redOnly.boxes.last().colour, (Rgb{49, 0, 0}));

        RecordingSurface both;  // both directions: two strips a step
        Degrade(both, {true, true, true, true, true, true, 2});
        QCOMPARE(both.boxes.size(), 512);

        RecordingSurface none;
        none.hasSettings = false;
        Degrade(none, {});
        QVERIFY(none.boxes.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestScreenRules)
#include "tst_screenrules.moc"
