#include "OutputLists.h"

#include <QSignalBlocker>

#include "OutputSettings.h"

namespace varonel::ui {

OutputLists::OutputLists(QWidget* host, OutputListLook first, OutputListLook second,
                         core::Dialogs& dialogs, BadFile policy, QObject* parent)
    : QObject(parent), m_dialogs(dialogs), m_policy(policy) {
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
}

void OutputLists::fill(const QStringList& firstEntries, const QStringList& secondEntries) {
    const QStringList* entries[] = {&firstEntries, &secondEntries};
    for (int i = 0; i < 2; ++i) {
        const QSignalBlocker blocker(m_lists[size_t(i)]);
        m_lists[size_t(i)]->clear();
        m_lists[size_t(i)]->addItems(*entries[i]);
        m_lists[size_t(i)]->setCurrentIndex(0);
    }
}

void OutputLists::LSOutputPlayer(const QString& cmd, const QString& fichierIni) {
    if (cmd == QLatin1String("Load")) {
        const core::OutputSelection selection = core::chooseOutputs(
            core::readOutputSettings(fichierIni), m_lists[0]->count(), m_lists[1]->count());
        if (selection.showMessage) {
            badFile(fichierIni);
            return;
        }
        select(selection.first, selection.second);
    } else if (cmd == QLatin1String("Save")) {
        const core::OutputChoice choice{int16_t(m_lists[0]->currentIndex()),
                                        int16_t(m_lists[1]->currentIndex())};
        if (!core::writeOutputSettings(fichierIni, choice) && m_policy == BadFile::TellAndDelete) {
            badFile(fichierIni);
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

}  // namespace varonel::ui
