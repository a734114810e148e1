#include "ui/varonel/MainStyle.h"

#include <QPalette>

namespace varonel::ui {

namespace {

const char* const kStyleSheet = R"(
QWidget#Centre { background: #15181c; }
#Centre QFrame#Picture1 {
    border: 1px solid #2e353e; border-left: 6px solid #343c46; border-radius: 6px;
}
#Centre QFrame#Picture1[onAir="true"] { border-left: 6px solid #e0463a; }
#Centre QFrame#Picture2 { border: 1px solid #2a3038; border-radius: 6px; }
#Centre QLabel { color: #c9d1da; }
#Centre QLabel#LblSortie, #Centre QLabel#LblPointSortie,
#Centre QLabel#LblTempsTitre, #Centre QLabel#Label2 {
    color: #8b96a3; font-size: 8pt; font-weight: 600;
}
#Centre QLabel#LblArtiste { font-size: 19pt; font-weight: 600; color: #8b96a3; }
#Centre QLabel#LblArtiste[onAir="true"] { color: #f4f6f8; }
#Centre QLabel#LblPo, #Centre QLabel#LblReste {
    font-size: 22pt; font-weight: 600; font-family: "DejaVu Sans Mono", monospace;
    color: #dfe5eb;
}
#Centre QLabel#LblReste[onAir="true"] { color: #ffb547; }
#Centre QLabel#LblTime {
    font-size: 17pt; font-family: "DejaVu Sans Mono", monospace; color: #8fb4d8;
}
#Centre QLabel#LblPS, #Centre QLabel#LblPourCent {
    font-size: 10pt; font-weight: 600; color: #e7ecf1; background: #14171b;
    border: 1px solid #343c46; border-radius: 4px;
}
#Centre QLabel#LblTemps { font-size: 13pt; font-weight: 600; color: #8fb4d8; }
#Centre QCheckBox { color: #c9d1da; font-weight: 600; }
#Centre QPushButton { border: none; background: transparent; border-radius: 6px; }
#Centre QPushButton:hover { background: #2f3742; }
#Centre QPushButton:pressed { background: #3b4552; }
#Centre QPushButton:disabled { background: transparent; }
#Centre QPushButton#CheckDuree {
    color: #c9d1da; font-weight: 600; background: #252b33; border: 1px solid #3a434e;
}
#Centre QPushButton#P3:hover { background: #2f3742; }
#Centre QPushButton#CheckDuree:checked { color: #15181c; background: #8fb4d8; border-color: #8fb4d8; }
#Centre QToolButton#P1 { border: none; background: transparent; border-radius: 6px; }
#Centre QToolButton#P1:hover { background: #2f3742; }
#Centre QTreeView, #Centre QTreeWidget {
    font-size: 9pt; background: #1b1f24; alternate-background-color: #20252b; color: #d6dbe1;
    border: 1px solid #2d333b; selection-background-color: #2f5d8a; selection-color: #ffffff;
}
#Centre QTreeView::item { padding: 1px 0px; }
#Centre QHeaderView { background: #252b33; }
#Centre QHeaderView::section {
    background: #252b33; color: #9aa5b1; border: none; border-right: 1px solid #1b1f24;
    padding: 3px 3px;
}
QStatusBar#BarreEtat { background: #1b1f24; border-top: 1px solid #2d333b; }
QStatusBar#BarreEtat::item { border: none; }
QLabel#LblEtat { font-size: 10pt; padding: 2px 8px; color: #c9d1da; }
QLabel#LblEtat[kind="warning"] { color: #ffb547; font-weight: 600; }
QMenuBar { background: #1b1f24; color: #d6dbe1; }
QMenuBar::item { padding: 4px 12px; background: transparent; }
QMenuBar::item:selected { background: #2f5d8a; }
#Centre QComboBox { color: #e2e7ec; background: #252b33; border: 1px solid #3a434e;
            border-radius: 4px; padding: 2px 6px; }
#Centre QComboBox:disabled { color: #6c7580; background: #1e2329; }
#Centre QComboBox QAbstractItemView { background: #252b33; color: #e2e7ec;
                              selection-background-color: #2f5d8a; }
#Centre QFrame#Picture1 QLabel[shade="light"], #Centre QFrame#Picture2 QLabel[shade="light"] {
    color: #15181c;
}
#Centre QFrame#Picture1 QLabel[shade="dark"], #Centre QFrame#Picture2 QLabel[shade="dark"] {
    color: #f4f6f8;
}
#Centre QFrame#Picture1 QLabel#LblReste[onAir="true"][shade="light"] { color: #a4161a; }
#Centre QFrame#Picture1 QLabel#LblReste[onAir="true"][shade="dark"] { color: #ffb547; }
#Centre QFrame#Picture1 QLabel#LblArtiste[onAir="false"][shade="light"] { color: #3a424c; }
#Centre QFrame#Picture1 QLabel#LblSortiePerdue {
    color: #ffffff; background: #b3261e; border-radius: 4px; font-size: 9pt; font-weight: 700;
    padding: 1px 6px;
}
#Centre QComboBox[perdue="true"] { color: #ffb4ab; border: 2px solid #e0463a; }
#Centre QLabel#Label2[perdue="true"], #Centre QLabel#LblSortie[perdue="true"] { color: #ff8a80; }
)";

// Scoped under #F3 so that it never reaches the message boxes shown over it.
const char* const kCatalogueStyleSheet = R"(
QWidget#F3 { background: #1a1d22; }
#F3 QLabel { color: #8b96a3; font-weight: 600; }
#F3 QListView {
    font-size: 9pt; background: #1b1f24; color: #d6dbe1; border: 1px solid #2d333b;
    selection-background-color: #2f5d8a; selection-color: #ffffff;
}
#F3 QListView::item { padding: 1px 2px; }
#F3 QLineEdit {
    font-size: 10pt; color: #f4f6f8; background: #252b33; border: 1px solid #4a5664;
    border-radius: 4px; padding: 2px 6px; selection-background-color: #2f5d8a;
}
#F3 QLineEdit:focus { border-color: #8fb4d8; }
#F3 QPushButton {
    color: #d6dbe1; font-weight: 600; background: #29303a; border: 1px solid #3a434e;
    border-radius: 4px; padding: 3px 8px;
}
#F3 QPushButton:hover { background: #313a46; }
#F3 QPushButton:pressed { background: #3b4552; }
#F3 QPushButton:disabled { color: #6c7580; background: #1e2329; }
)";

QPalette darkPalette() {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x1a, 0x1d, 0x22));
    palette.setColor(QPalette::WindowText, QColor(0xd6, 0xdb, 0xe1));
    palette.setColor(QPalette::Base, QColor(0x1b, 0x1f, 0x24));
    palette.setColor(QPalette::AlternateBase, QColor(0x20, 0x25, 0x2b));
    palette.setColor(QPalette::Text, QColor(0xd6, 0xdb, 0xe1));
    palette.setColor(QPalette::Button, QColor(0x29, 0x2f, 0x37));
    palette.setColor(QPalette::ButtonText, QColor(0xd6, 0xdb, 0xe1));
    palette.setColor(QPalette::Highlight, QColor(0x3d, 0x8b, 0xd4));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(0x25, 0x2b, 0x33));
    palette.setColor(QPalette::ToolTipText, QColor(0xe2, 0xe7, 0xec));
    return palette;
}

}  // namespace

void applyMainStyle(QWidget* window) {
    window->setPalette(darkPalette());
    window->setStyleSheet(QString::fromUtf8(kStyleSheet));
}

void applyCatalogueStyle(QWidget* window) {
    window->setPalette(darkPalette());
    window->setAttribute(Qt::WA_StyledBackground);
    window->setStyleSheet(QString::fromUtf8(kCatalogueStyleSheet));
}

}  // namespace varonel::ui
