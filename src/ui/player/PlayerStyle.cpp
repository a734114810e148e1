#include "ui/player/PlayerStyle.h"

namespace varonel::ui {

namespace {

const char* const kStyleSheet = R"(
QWidget#Centre { background: #202329; }
#Centre QFrame#PlatineA0, #Centre QFrame#PlatineA1,
#Centre QFrame#Picture10, #Centre QFrame#Picture11 {
    border: 1px solid #14161a;
}
#Centre QLabel { color: #d6dbe1; }
#Centre QLabel#LblArtiste0, #Centre QLabel#LblArtiste1 {
    color: #101418; font-size: 12pt; font-weight: 700;
}
#Centre QLabel#Temp0, #Centre QLabel#Temp1 {
    color: #0b0f14; font-family: "Courier New", "DejaVu Sans Mono", monospace;
    font-size: 24pt; font-weight: 700;
}
#Centre QLabel#Label20, #Centre QLabel#Label21 {
    color: #0b0f14; font-family: "Courier New", "DejaVu Sans Mono", monospace; font-size: 10pt;
}
#Centre QLabel#MemoPitch0, #Centre QLabel#MemoPitch1,
#Centre QLabel#LblPlatine0, #Centre QLabel#LblPlatine1 {
    color: #f2f4f6; font-weight: 700;
}
#Centre QLabel#CueInfo0, #Centre QLabel#CueInfo1 {
    color: #ffd166; font-family: "DejaVu Sans Mono", monospace; font-weight: 700;
}
#Centre QToolBar { background: transparent; border: none; spacing: 2px; }
#Centre QToolButton {
    color: #f2f4f6; background: #2b3038; border: 1px solid #4a525c; border-radius: 3px;
    padding: 1px 5px; font-weight: 600;
}
#Centre QToolButton:pressed { background: #3d8bd4; }
#Centre QTreeView, #Centre QTreeWidget {
    background: #1b1f24; alternate-background-color: #20252b; color: #d6dbe1;
    selection-background-color: #2f5d8a; selection-color: #ffffff; border: 1px solid #2d333b;
}
#Centre QHeaderView { background: #252b33; }
#Centre QHeaderView::section {
    background: #252b33; color: #9aa5b1; border: none; padding: 3px;
}
#Centre QComboBox {
    color: #e2e7ec; background: #252b33; border: 1px solid #3a434e; border-radius: 3px;
    padding: 1px 6px;
}
#Centre QComboBox:disabled { color: #6c7580; background: #1e2329; }
#Centre QComboBox[perdue="true"] { color: #ffb4ab; border: 2px solid #e0463a; }
#Centre QLabel#SortiePerdue0, #Centre QLabel#SortiePerdue1 {
    color: #ffffff; background: #b3261e; border-radius: 3px; font-size: 8pt; font-weight: 700;
    padding: 0px 3px;
}
#Centre QComboBox QAbstractItemView { background: #252b33; color: #e2e7ec; }
)";

}  // namespace

void applyPlayerStyle(QWidget* window) {
    window->setStyleSheet(QString::fromUtf8(kStyleSheet));
}

}  // namespace varonel::ui
