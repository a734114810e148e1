#include "ui/varonel/SoundOptionsMenu.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "core/automix/TrackPreparation.h"
#include "core/shared/StatusLine.h"

namespace varonel::ui {

namespace {

// The entry of a target: its loudness text ("off" or "-16") is its data.
QString entryText(const QString& loudness) {
    return loudness == QLatin1String("off") ? QStringLiteral("Désactivée")
                                            : loudness + QStringLiteral(" LUFS");
}

}  // namespace

SoundOptionsMenu::SoundOptionsMenu(QMenuBar* bar, core::TrackPreparation& preparation,
                                   core::StatusLine& statusLine, QObject* parent)
    : QObject(parent), m_preparation(preparation), m_statusLine(statusLine) {
    QMenu* menu = bar->addMenu(QStringLiteral("Options"));
    menu->setObjectName(QStringLiteral("mnuOptions"));
    m_skip = menu->addAction(QStringLiteral("Sauter les silences"));
    m_skip->setObjectName(QStringLiteral("mnuSauterSilences"));
    m_skip->setCheckable(true);
    connect(m_skip, &QAction::triggered, this, &SoundOptionsMenu::chosen);

    QMenu* loudness = menu->addMenu(QStringLiteral("Normalisation du volume"));
    loudness->setObjectName(QStringLiteral("mnuNormalisation"));
    m_loudness = new QActionGroup(this);
    QStringList texts{QStringLiteral("off")};
    for (const int target : core::SoundOptions::targets()) {
        texts.append(QString::number(target));
    }
    for (const QString& text : texts) {
        QAction* action = loudness->addAction(entryText(text));
        action->setObjectName(QStringLiteral("mnuNormalisation") + text);
        action->setData(text);
        action->setCheckable(true);
        m_loudness->addAction(action);
    }
    connect(m_loudness, &QActionGroup::triggered, this, &SoundOptionsMenu::chosen);
    show(m_preparation.options());
}

void SoundOptionsMenu::load(const QString& optionsFile) {
    m_file = optionsFile;
    const core::SoundOptions options = core::readSoundOptions(optionsFile);
    m_preparation.setOptions(options);
    show(options);
}

void SoundOptionsMenu::show(const core::SoundOptions& options) {
    m_skip->setChecked(options.skipSilences);
    for (QAction* action : m_loudness->actions()) {
        action->setChecked(action->data().toString() == options.loudnessText());
    }
}

void SoundOptionsMenu::chosen() {
    core::SoundOptions options = m_preparation.options();
    options.skipSilences = m_skip->isChecked();
    if (const QAction* target = m_loudness->checkedAction()) {
        options.setLoudnessText(target->data().toString());
    }
    m_preparation.setOptions(options);
    QString error;
    if (!m_file.isEmpty() && !core::writeSoundOptions(m_file, options, &error)) {
        m_statusLine.post(error, core::StatusLine::Kind::Warning);
    }
}

}  // namespace varonel::ui
