#include "ui/varonel/MprisAdaptors.h"

#include "core/shared/DesktopIdentity.h"
#include "ui/varonel/MprisService.h"

namespace varonel::ui {

MprisApplicationAdaptor::MprisApplicationAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

QString MprisApplicationAdaptor::identity() const {
    return QStringLiteral("Varonel");
}

QString MprisApplicationAdaptor::desktopEntry() const {
    return QLatin1String(core::kVaronelAppId);
}

void MprisApplicationAdaptor::Raise() {
    m_service->raise();
}

void MprisApplicationAdaptor::Quit() {
    m_service->quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

QString MprisPlayerAdaptor::playbackStatus() const {
    return m_service->playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const {
    return m_service->metadata();
}

qlonglong MprisPlayerAdaptor::position() const {
    return qlonglong(m_service->nowPlaying().positionMs()) * 1000;
}

bool MprisPlayerAdaptor::canGoNext() const {
    return m_service->nowPlaying().playing();
}

void MprisPlayerAdaptor::Play() {
    m_service->later([this] { m_service->nowPlaying().play(); });
}

// A broadcast has no pause: the desktop's pause key stops it, as the stop
// button does.
void MprisPlayerAdaptor::Pause() {
    m_service->later([this] { m_service->nowPlaying().stop(); });
}

void MprisPlayerAdaptor::PlayPause() {
    m_service->later([this] { m_service->nowPlaying().playPause(); });
}

void MprisPlayerAdaptor::Stop() {
    m_service->later([this] { m_service->nowPlaying().stop(); });
}

void MprisPlayerAdaptor::Next() {
    m_service->later([this] { m_service->nowPlaying().next(); });
}

}  // namespace varonel::ui
