// The screen rules of both main windows on fake screen widths, and the panels'
// shading on a recording surface.

#include <QtTest>
#include <map>

#include "core/shared/Gradient.h"
#include "core/shared/ScreenRules.h"

using namespace varonel::core;

namespace {

const TwipRect kStart{1000, 1000, 1000, 1000};

// A design table that makes each control the rules ask for at 1000, 1000,
// 1000 by 1000 twips, so that each change reads as a difference. (Both windows
// have every control their rules name.)
struct Table {
    ControlLookup lookup() {
        return [this](const QString& name) { return &at(name); };
    }
    TwipRect& at(const QString& name) { return rects.try_emplace(name, kStart).first->second; }
    TwipRect delta(const QString& name) {
        const TwipRect r = at(name);
        return {r.left - 1000, r.top - 1000, r.width - 1000, r.height - 1000};
    }
    std::map<QString, TwipRect> rects;  // its nodes stay put as others are made
};

// Records what the shading does to a surface.
class RecordingSurface final : public DrawingSurface {
public:
    bool readSettings(Settings* out) const override {
        *out = settings;
        return true;
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
        // Strips of 2 units, top to bottom, the whole width.
        QCOMPARE(QRectF(QPointF(x1, y1), QPointF(x2, y2)), QRectF(0, 2.0 * boxes.size(), 512, 2));
        boxes.append(colour);
    }
    Settings settings{false, 1, 0, 13, 7000.0, 3000.0, 1};
    QList<Rgb> boxes;
};

}  // namespace

class TestScreenRules : public QObject {
    Q_OBJECT

private slots:
    // The shifts (h, v) each window takes at each width. At 800 pixels the
    // player's rules leave its controls alone; its meters change at every other
    // width, shifts or not. Above 1280 both windows take a fixed size, centred
    // (that they are maximised up to 1280, their sizes and the mixer's folder
    // list are the windows' tests).
    void shifts_data() {
        QTest::addColumn<double>("pixels");
        QTest::addColumn<QPoint>("mixer");
        QTest::addColumn<QPoint>("player");
        QTest::newRow("800") << 800.0 << QPoint(0, 0) << QPoint(0, 0);
        QTest::newRow("1024") << 1024.0 << QPoint(3360, 2500) << QPoint(3360, 2500);
        QTest::newRow("1152") << 1152.0 << QPoint(0, 0) << QPoint(0, 0);
        QTest::newRow("1280") << 1280.0 << QPoint(4368, 3250) << QPoint(4368, 3250);
        QTest::newRow("1600") << 1600.0 << QPoint(4368, 3250) << QPoint(3360, 2300);
    }
    void shifts() {
        QFETCH(double, pixels);
        QFETCH(QPoint, mixer);
        QFETCH(QPoint, player);
        Table m;
        const WindowRule mixerRule = CheckScreenSizeMixer(pixels * 15, 900 * 15, m.lookup());
        QCOMPARE(m.delta("btnPlay").top, mixer.y());
        QCOMPARE(m.delta("Dir1").height, mixer.y());
        QCOMPARE(m.delta("PL").width, mixer.x());

        Table p;
        const WindowRule playerRule = CheckScreenSizePlayer(pixels * 15, 900 * 15, p.lookup());
        const int h = player.x();
        QCOMPARE(p.delta("Slider1"), (TwipRect{h / 2, 0, h / 2, 0}));
        QCOMPARE(p.delta("Label4").left, h);
        QCOMPARE(p.delta("MemoPitch1").left, h / 4);
        QCOMPARE(p.delta("Dir1").height, player.y());
        QCOMPARE(p.at("MMMeterX0").width, pixels == 800 ? 1000 : 3500);
        QCOMPARE(p.delta("MMMeterX3").left, pixels == 800 ? 0 : 2580);
        QCOMPARE(playerRule.statusBarVisible, pixels > 1280);
        if (pixels > 1280) {  // a fixed size
            QCOMPARE(mixerRule.window,
                     (TwipRect{(24000 - 16500) / 2, (13500 - 12450) / 2, 16500, 12450}));
            QCOMPARE(m.at("P3"), (TwipRect{3800, 10900, 1000, 1000}));  // not moved by V
            QCOMPARE(m.at("ListRech"), (TwipRect{4500, 1000, 7350 + mixer.x(), 1000 + mixer.y()}));
            QCOMPARE(p.at("ListRech"), (TwipRect{4300, 1000, 15450 - 7900 + h, 1000 + player.y()}));
        } else {
            QCOMPARE(m.delta("P3").top, mixer.y());
            QCOMPARE(m.delta("ListRech").width, mixer.x());
        }
    }

    // The panels' call (all channels, top to bottom, light to dark, Vitesse 2)
    // is the only one the programs make: the other options are not exercised.
    // The grey told to the panels' texts is the strip's (its ends, near white
    // and dark grey, are the windows' tests).
    void panelShading() {
        RecordingSurface surface;
        const DrawingSurface::Settings before = surface.settings;
        Degrade(surface, {true, true, true, true, false, true, 2});
        QCOMPARE(surface.boxes.size(), 256);
        QCOMPARE(surface.settings, before);
        for (int i = 0; i < 256; ++i) {  // the texts' colours follow the strips' grey
            const int grey = panelGreyAt((i + 0.5) / 256);
            QCOMPARE(surface.boxes[i], (Rgb{grey, grey, grey}));
        }
    }
};

QTEST_GUILESS_MAIN(TestScreenRules)
#include "tst_screenrules.moc"
