#include "ui/player/SdlJoystick.h"

#include <SDL.h>

#include <map>

namespace varonel::ui {

namespace {

// Joystick and game controller events fill this range of SDL's event types.
constexpr Uint32 kLastJoystickEvent = SDL_FINGERDOWN - 1;

// The number a game controller's button reports.
int controllerButtonNumber(int button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
            return 1;
        case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
            return 2;
        default:
            return button + 3;
    }
}

}  // namespace

// The open devices by SDL instance id: a game controller as a controller, any
// other device as a plain joystick.
struct SdlJoystick::Devices {
    std::map<int, SDL_Joystick*> joysticks;
    std::map<int, SDL_GameController*> controllers;
};

SdlJoystick::SdlJoystick(core::JoystickControl& control, QObject* parent)
    : QObject(parent), m_control(control), m_devices(std::make_unique<Devices>()) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Joysticks are read even while another program has the focus: the decks
    // are driven from the controller, not from the window.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    m_ready = SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &SdlJoystick::poll);
}

SdlJoystick::~SdlJoystick() {
    for (const auto& [instance, controller] : m_devices->controllers) {
        SDL_GameControllerClose(controller);
    }
    for (const auto& [instance, joystick] : m_devices->joysticks) {
        SDL_JoystickClose(joystick);
    }
    if (m_ready) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    }
}

int SdlJoystick::openDevices() const {
    return int(m_devices->joysticks.size() + m_devices->controllers.size());
}

void SdlJoystick::start() {
    if (!m_ready) {
        return;
    }
    SDL_JoystickUpdate();
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        open(i);
    }
    // The devices just opened also arrive as "added" events: drop them.
    SDL_FlushEvents(SDL_JOYDEVICEADDED, SDL_JOYDEVICEADDED);
    SDL_FlushEvents(SDL_CONTROLLERDEVICEADDED, SDL_CONTROLLERDEVICEADDED);
    if (openDevices() > 0) {
        m_control.joystickPresent();
    }
    m_timer.start();
}

void SdlJoystick::open(int deviceIndex) {
    const int instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (instance < 0 || m_devices->joysticks.count(instance) ||
        m_devices->controllers.count(instance)) {
        return;
    }
    if (SDL_IsGameController(deviceIndex)) {
        if (SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex)) {
            m_devices->controllers[instance] = controller;
        }
    } else if (SDL_Joystick* joystick = SDL_JoystickOpen(deviceIndex)) {
        m_devices->joysticks[instance] = joystick;
    }
}

void SdlJoystick::close(int instance) {
    if (auto it = m_devices->controllers.find(instance); it != m_devices->controllers.end()) {
        SDL_GameControllerClose(it->second);
        m_devices->controllers.erase(it);
    }
    if (auto it = m_devices->joysticks.find(instance); it != m_devices->joysticks.end()) {
        SDL_JoystickClose(it->second);
        m_devices->joysticks.erase(it);
    }
}

void SdlJoystick::poll() {
    SDL_Event events[32];
    SDL_PumpEvents();
    for (;;) {
        const int count =
            SDL_PeepEvents(events, 32, SDL_GETEVENT, SDL_JOYAXISMOTION, kLastJoystickEvent);
        if (count <= 0) {
            // Nobody else reads SDL's queue (the sound devices' events): it
            // must not grow for ever.
            SDL_FlushEvents(SDL_FIRSTEVENT, SDL_JOYAXISMOTION - 1);
            SDL_FlushEvents(kLastJoystickEvent + 1, SDL_LASTEVENT);
            return;
        }
        for (int i = 0; i < count; ++i) {
            const SDL_Event& event = events[i];
            switch (event.type) {
                case SDL_JOYDEVICEADDED:
                    open(event.jdevice.which);
                    if (openDevices() > 0) {
                        m_control.joystickPresent();
                    }
                    break;
                case SDL_JOYDEVICEREMOVED:
                    close(event.jdevice.which);
                    break;
                case SDL_JOYBUTTONDOWN:
                    // A game controller's buttons come as its own events below.
                    if (m_devices->joysticks.count(event.jbutton.which)) {
                        m_control.buttonPressed(event.jbutton.button + 1);
                    }
                    break;
                case SDL_CONTROLLERBUTTONDOWN:
                    m_control.buttonPressed(controllerButtonNumber(event.cbutton.button));
                    break;
                case SDL_JOYAXISMOTION:
                    if (m_devices->joysticks.count(event.jaxis.which) && event.jaxis.axis < 2) {
                        positionChanged(event.jaxis.axis == 0 ? event.jaxis.value : m_x,
                                        event.jaxis.axis == 1 ? event.jaxis.value : m_y);
                    }
                    break;
                case SDL_CONTROLLERAXISMOTION:
                    if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX ||
                        event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
                        const bool isX = event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX;
                        positionChanged(isX ? event.caxis.value : m_x,
                                        isX ? m_y : event.caxis.value);
                    }
                    break;
                default:
                    break;
            }
        }
    }
}

void SdlJoystick::positionChanged(int x, int y) {
    m_x = x;
    m_y = y;
    m_control.positionReport(x, y);
}

}  // namespace varonel::ui
