// Artist, title and time texts taken from file names.
#include <QTest>

#include "core/shared/TrackNaming.h"

using namespace varonel::core;

namespace {

void addName(const char* tag, const QString& name, const QString& artiste,
             const QString& artisteSansDossier, const QString& titre) {
    QTest::newRow(tag) << name << artiste << artisteSansDossier << titre;
}

}  // namespace

class TrackNamingTest : public QObject {
    Q_OBJECT

private slots:
    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("artiste");
        QTest::addColumn<QString>("artisteSansDossier");
        QTest::addColumn<QString>("titre");

        addName("bare name", "Dupont - Valse.mp3", "Dupont", "Dupont", "Valse");
        addName("full path", "/Musique/Dupont - Valse.mp3", "Dupont", "/Musique/Dupont", "Valse");
        addName("no hyphen", "/Musique/Intro.mp3", "", "", "");
        addName("hyphen in a folder", "/Tubes-2000/Dupont - Valse.mp3", "Tubes", "/Tubes",
                "2000/Dupont - Valse");
        addName("no spaces", "Dupont-Valse.wav", "Dupont", "Dupont", "Valse");
        addName("flac loses its whole extension", "Artiste - Format flac.flac", "Artiste",
                "Artiste", "Format flac");
        addName("opus too, in any case", "Artiste - Voix.OPUS", "Artiste", "Artiste", "Voix");
        addName("title shorter than 4", "A-b", "A", "A", "");
        addName("space after separator stays", "/Musique/ Dupont - Valse.mp3", " Dupont",
                "/Musique/ Dupont", "Valse");
        addName("only spaces are trimmed", "\tDupont\t-\tValse.mp3\t", "\tDupont\t", "\tDupont\t",
                "\tValse.");
        const QString x300(300, u'x');
        addName("long title cut at 250, then 4 dropped", "A-" + x300 + ".mp3", "A", "A",
                QString(kTitreMaxChars - 4, u'x'));
        addName("the cut counts the leading space", "A - " + x300 + ".mp3", "A", "A",
                QString(kTitreMaxChars - 5, u'x'));
        addName("backslash is a character on Linux", "/Musique/AC\\DC - Valse.mp3", "AC\\DC",
                "/Musique/AC\\DC", "Valse");
    }

    void names() {
        QFETCH(QString, name);
        QFETCH(QString, artiste);
        QFETCH(QString, artisteSansDossier);
        QFETCH(QString, titre);

        QCOMPARE(Artiste(name), artiste);
        QCOMPARE(ArtisteSansDossier(name), artisteSansDossier);
        QCOMPARE(Titre(name), titre);
    }

    void fTime_data() {
        QTest::addColumn<int>("ms");
        QTest::addColumn<QString>("text");

        QTest::newRow("999") << 999 << "--:--";
        QTest::newRow("1 000") << 1000 << "00:01";
        QTest::newRow("59 999") << 59999 << "00:59";
        QTest::newRow("100 minutes 59") << 6059000 << "00:59";
        QTest::newRow("largest") << std::numeric_limits<int32_t>::max() << "91:23";
        QTest::newRow("smallest") << std::numeric_limits<int32_t>::min() << "--:--";
    }

    void fTime() {
        QFETCH(int, ms);
        QFETCH(QString, text);
        QCOMPARE(FTime(ms), text);
    }
};

QTEST_GUILESS_MAIN(TrackNamingTest)
#include "tst_tracknaming.moc"
