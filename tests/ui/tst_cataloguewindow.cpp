// The catalogue window through its widgets, opened by P3 on a loaded main
// window: the first opening walks the browser's folder, a search by Enter and
// a double click add a row to the playlist, the catalogue is saved; a
// catalogue file is read at the next opening and the search command's access
// key walks after what was read, then resets; the exit button ends a walk.

#include <QtTest>
#include <QtWidgets>

#include "CatalogueWindow.h"
#include "MixerBrowser.h"
#include "MixerRig.h"
#include "TestTracks.h"

using namespace mixerrig;

namespace {

// The window P3 opens, on the browser's folder `folder`.
QPointer<ui::CatalogueWindow> openCatalogue(Rig& rig, const QString& folder) {
    rig.window->browser().browser().showFolder(folder);
    rig.click("P3");
    return rig.window->catalogueWindow();
}

QString text(QWidget* window, const char* name) {
    return window->findChild<QObject*>(name)->property("text").toString();
}

void enterSearch(ui::CatalogueWindow* f3, const QString& search) {
    auto* rech = f3->findChild<QLineEdit*>("Rech");
    rech->clear();
    QTest::keyClicks(rech, search);
    QTest::keyClick(rech, Qt::Key_Return);
}

void doubleClickResult(ui::CatalogueWindow* f3, int row) {
    auto* list2 = f3->findChild<QListView*>("List2");
    const QPoint at = list2->visualRect(list2->model()->index(row, 0)).center();
    QTest::mouseClick(list2->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list2->viewport(), Qt::LeftButton, {}, at);
}

int results(ui::CatalogueWindow* f3) {
    return f3->findChild<QListView*>("List2")->model()->rowCount();
}

}  // namespace

class CatalogueWindowTest : public QObject {
    Q_OBJECT

    // Artist and title are read from the whole path: no hyphen in the folders.
    QTemporaryDir m_root{QDir::tempPath() + QStringLiteral("/varonelcat_XXXXXX")};
    QString m_music;
    QString m_alpha;
    QString m_beta;

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_music = m_root.filePath("Musique");
        m_alpha = m_music + "/Rock/Alpha - Un.wav";
        m_beta = m_music + "/Beta - Deux.wav";
        QVERIFY(QDir().mkpath(m_music + "/Rock"));
        testtracks::write(m_alpha, {20.0, 0.4f});
        testtracks::write(m_beta, {25.0, 0.4f});
    }

    void firstOpeningWalksSearchesAndAdds() {
        Rig rig;
        const QPointer<ui::CatalogueWindow> f3 = openCatalogue(rig, m_music);
        QVERIFY(f3);
        QVERIFY(f3->isVisible() && !f3->isModal());
        QVERIFY(f3->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(f3->height(), 4245 / 15);
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(f3->pos(), QPoint((screen.width() * 15 - 9000) / 2 / 15,
                                   qRound((screen.height() * 15 - 4245) / 2.0) / 15));
        QCOMPARE(f3->lstFoundFiles().entries(), QStringList({m_alpha, m_beta}));
        QCOMPARE(f3->windowTitle(), QStringLiteral(" 2 Fichiers Audio Wav - Mp3"));
        QCOMPARE(text(f3, "lblCount"), QStringLiteral(" 2"));
        QCOMPARE(text(f3, "BtnCatalogue"), QStringLiteral("Sauver Catalogue"));
        QCOMPARE(text(f3, "cmdSearch"), QStringLiteral("&Réinitialiser"));
        QCOMPARE(text(f3, "cmdExit"), QStringLiteral("&Quitter"));
        activate(f3);
        QCOMPARE(QApplication::focusWidget(), f3->findChild<QLineEdit*>("Rech"));

        // One character searches nothing; a folder name in any case finds its files.
        enterSearch(f3, "r");
        QCOMPARE(results(f3), 0);
        enterSearch(f3, "ROCK");
        QCOMPARE(results(f3), 1);
        doubleClickResult(f3, 0);
        QCOMPARE(rig.window->playlist().count(), 1);
        QCOMPARE(rig.window->playlist().row(1), (Row{"Alpha", "Un", "00:20", m_alpha, ""}));
        QVERIFY(rig.mirrorsModel());

        // A file gone since the walk adds no row and says why.
        const QString gone = m_root.filePath("Beta - Deux.wav");
        QVERIFY(QFile::rename(m_beta, gone));
        enterSearch(f3, "deux");
        doubleClickResult(f3, 0);
        QVERIFY(QFile::rename(gone, m_beta));
        QCOMPARE(rig.window->playlist().count(), 1);
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QVERIFY(rig.dialogs.shown[0].text.contains(m_beta));

        f3->findChild<QPushButton*>("BtnCatalogue")->click();
        QCOMPARE(filebytes::read(rig.window->fichierCatalogue()),
                 (m_alpha + "\r\n" + m_beta + "\r\n").toUtf8());
        f3->findChild<QPushButton*>("cmdExit")->click();
        QVERIFY(!rig.window->catalogueWindow());
        QTRY_VERIFY(f3.isNull());
    }

    void catalogueFileReadThenSearchCommand() {
        Rig rig;
        const QString file = rig.window->fichierCatalogue();
        // Too large to be a catalogue: the window opens empty and says so.
        {
            QFile big(file);
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(300LL * 1024 * 1024));
        }
        QPointer<ui::CatalogueWindow> f3 = openCatalogue(rig, m_music);
        QCOMPARE(f3->lstFoundFiles().count(), 0);
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(text(f3, "BtnCatalogue"), QStringLiteral("Nouveau Catalogue"));
        f3->close();
        QTRY_VERIFY(f3.isNull());

        // An empty file is an empty catalogue; the caption stays.
        QVERIFY(filebytes::write(file, ""));
        f3 = openCatalogue(rig, m_music);
        QCOMPARE(f3->lstFoundFiles().count(), 0);
        QCOMPARE(f3->windowTitle(), QStringLiteral("Catalogue Wav Mp3"));
        QCOMPARE(text(f3, "BtnCatalogue"), QStringLiteral("Nouveau Catalogue"));
        f3->close();
        QTRY_VERIFY(f3.isNull());

        // Alt+R walks and appends after what was read; once more, it resets.
        const QString old = QStringLiteral("/ancien/X - Y.mp3");
        QVERIFY(filebytes::write(file, (old + "\r\n").toUtf8()));
        f3 = openCatalogue(rig, m_music);
        activate(f3);
        QTest::keyClick(f3, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(f3->lstFoundFiles().entries(), QStringList({old, m_alpha, m_beta}));
        QCOMPARE(f3->windowTitle(), QStringLiteral(" 2 Fichiers Audio Wav - Mp3"));
        QTest::keyClick(f3, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(f3->lstFoundFiles().count(), 0);
        QCOMPARE(f3->windowTitle(), QStringLiteral("0 Fichiers Audio Wav - Mp3"));
        QCOMPARE(text(f3, "cmdSearch"), QStringLiteral("&Rechercher"));

        // "Nouveau Catalogue" deletes the file and walks the browser's folder.
        f3->findChild<QPushButton*>("BtnCatalogue")->click();
        QVERIFY(!QFile::exists(file));
        QCOMPARE(f3->lstFoundFiles().entries(), QStringList({m_alpha, m_beta}));
        QCOMPARE(text(f3, "BtnCatalogue"), QStringLiteral("Sauver Catalogue"));
        QCOMPARE(rig.dialogs.shown.size(), 1);
    }

    // The exit button, pressed while the first walk runs, ends it and closes.
    void exitEndsAWalk() {
        Rig rig;
        rig.window->browser().browser().showFolder(m_music);
        QString exitCaption;
        QTimer::singleShot(0, rig.window.get(), [&] {
            auto* exit = rig.window->findChild<QPushButton*>("cmdExit");
            exitCaption = exit->text();
            exit->click();
        });
        rig.click("P3");
        const QPointer<ui::CatalogueWindow> f3 = rig.window->catalogueWindow();
        QCOMPARE(exitCaption, QStringLiteral("Annuler"));
        QVERIFY(!f3 || !f3->isVisible());
        QTRY_VERIFY(f3.isNull());
    }
};

QTEST_MAIN(CatalogueWindowTest)
#include "tst_cataloguewindow.moc"
