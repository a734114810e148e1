#include "ui/shared/OutputLists.h"

#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>

#include "core/shared/OutputSettings.h"

namespace varonel::ui {

namespace {

// The text of a list's entry while its output has lost the device.
QString lostEntry(const QString& entry) {
    return entry + QStringLiteral(" (perdue)");
}

}  // namespace

OutputLists::OutputLists(QWidget* host, OutputListLook first, OutputListLook second,
                         core::Dialogs& dialogs, BadFile policy, QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_policy(policy), m_watch(new QTimer(this)) {
    const OutputListLook looks[] = {first, second};
    for (int i = 0; i < 2; ++i) {
        auto* list = new QComboBox(host);
        list->setObjectName(QLatin1String(looks[i].name));
        list->setToolTip(QString::fromUtf8(looks[i].toolTip));
        // Space and Enter belong to the transport's keys, not to the list.
        list->setFocusPolicy(Qt::NoFocus);
        connect(list, &QComboBox::currentIndexChanged, this, [this, i](int entry) {
            if (entry >= 0) {
                emit entryChosen(i, entry);
            }
        });
        m_lists[size_t(i)] = list;
    }
    m_watch->setInterval(kWatchPeriodMs);
    connect(m_watch, &QTimer::timeout, this, &OutputLists::checkRoutes);
}

void OutputLists::fill(const QStringList& firstEntries, const QStringList& secondEntries) {
    m_entries = {firstEntries, secondEntries};
    for (size_t i = 0; i < 2; ++i) {
        const QSignalBlocker blocker(m_lists[i]);
        m_lists[i]->clear();
        m_lists[i]->addItems(m_entries[i]);
        m_lists[i]->setCurrentIndex(0);
        showRoute(int(i));
    }
}

void OutputLists::LSOutputPlayer(const QString& cmd, const QString& fichierIni) {
    if (cmd == QLatin1String("Load")) {
        const core::OutputSelection selection =
            core::chooseOutputs(core::readOutputSettings(fichierIni), m_entries[0], m_entries[1]);
        if (selection.showMessage) {
            badFile(fichierIni);
            return;
        }
        select(selection.first, selection.second);
    } else if (cmd == QLatin1String("Save")) {
        const int first = m_lists[0]->currentIndex();
        const int second = m_lists[1]->currentIndex();
        QString error;
        // A file that cannot be written stays as it was: the operator is told,
        // and the choice he made is not lost with it.
        if (!core::writeOutputSettings(fichierIni, {int16_t(first), int16_t(second)},
                                       m_entries[0].value(first), m_entries[1].value(second),
                                       &error)) {
            m_dialogs.message({QStringLiteral("Les sorties choisies n'ont pas pu être "
                                              "enregistrées dans %1 :\r\n%2")
                                   .arg(fichierIni, error),
                               QStringLiteral("Alerte"), core::MessageIcon::Exclamation,
                               core::MessageButtons::Ok});
        }
    }
}

void OutputLists::select(int first, int second) {
    const int entries[] = {first, second};
    for (int i = 0; i < 2; ++i) {
        {
            const QSignalBlocker blocker(m_lists[size_t(i)]);
            m_lists[size_t(i)]->setCurrentIndex(entries[i]);
        }
        showRoute(i);
        emit entryChosen(i, m_lists[size_t(i)]->currentIndex());
    }
}

void OutputLists::badFile(const QString& fichierIni) {
    if (m_policy == BadFile::TellAndDelete) {
        m_dialogs.message({QString::fromUtf16(core::kMauvaisChoixMessage),
                           QString::fromUtf16(core::kMauvaisChoixTitle),
                           core::MessageIcon::Exclamation, core::MessageButtons::Ok});
        core::removeOutputSettings(fichierIni);
    }
    select(0, 0);
}

// --- The outputs' state ---

void OutputLists::watch(int which, const audio::AudioOutput* output) {
    m_outputs[size_t(which)] = output;
    m_watch->start();
    checkRoutes();
}

QString OutputLists::lostMark(audio::OutputRoute route) {
    switch (route) {
        case audio::OutputRoute::Fallback:
            return QStringLiteral("Sortie perdue\nson sur la sortie par défaut");
        case audio::OutputRoute::Waiting:
            return QStringLiteral("Sortie perdue\nen attente de son retour");
        case audio::OutputRoute::Chosen:
            break;
    }
    return {};
}

void OutputLists::checkRoutes() {
    for (size_t i = 0; i < 2; ++i) {
        if (m_outputs[i] == nullptr) {
            continue;
        }
        const audio::OutputRoute route = m_outputs[i]->route();
        if (route != m_routes[i]) {
            m_routes[i] = route;
            showRoute(int(i));
            emit routeChanged(int(i), route);
        }
    }
}

// The chosen entry reads "(perdue)" and the list takes the style sheet's
// "perdue" look while its output is away from the chosen device.
void OutputLists::showRoute(int which) {
    QComboBox* list = m_lists[size_t(which)];
    const bool lost = m_routes[size_t(which)] != audio::OutputRoute::Chosen;
    const QStringList& entries = m_entries[size_t(which)];
    for (int entry = 0; entry < list->count() && entry < entries.size(); ++entry) {
        const bool marked = lost && entry == list->currentIndex();
        list->setItemText(entry, marked ? lostEntry(entries[entry]) : entries[entry]);
    }
    if (list->property("perdue").toBool() != lost) {
        list->setProperty("perdue", lost);
        list->style()->unpolish(list);
        list->style()->polish(list);
    }
}

}  // namespace varonel::ui
