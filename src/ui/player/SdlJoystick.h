#pragma once
// Joysticks and game controllers through SDL2, turned into the player's
// joystick reports. Each press of a button raises one report: the stop report
// when the button's deck plays, the start report (from the cue point)
// otherwise, so that one button is a deck's play/stop button, as on a DJ
// controller. A joystick's buttons are numbered from 1 as SDL lists them; a
// game controller's left shoulder is button 1 (deck A), its right shoulder
// button 2 (deck B), its other buttons 3 and up. The first stick (a joystick's
// axes 0 and 1) gives the position. Devices plugged in after start-up are
// taken up too, and one unplugged mid-press leaves nothing held.
//
// Main thread only: SDL's events are polled by a window timer.

#include <QObject>
#include <QTimer>
#include <memory>

#include "core/player/JoystickControl.h"

namespace varonel::ui {

class SdlJoystick final : public QObject {
    Q_OBJECT

public:
    static constexpr int kPollMs = 10;

    explicit SdlJoystick(core::JoystickControl& control, QObject* parent = nullptr);
    ~SdlJoystick() override;
    SdlJoystick(const SdlJoystick&) = delete;
    SdlJoystick& operator=(const SdlJoystick&) = delete;

    // At the end of the load: opens the devices present and, when there is
    // one, tells the control ("Joystique Ok"); from then on the events come.
    void start();
    // Reads SDL's pending events (the timer calls it; tests too).
    void poll();
    int openDevices() const;

private:
    void open(int deviceIndex);
    void close(int instance);
    void positionChanged(int x, int y);

    core::JoystickControl& m_control;
    QTimer m_timer;
    bool m_ready = false;
    struct Devices;  // SDL's handles, kept out of this header
    std::unique_ptr<Devices> m_devices;
    int m_x = 0;
    int m_y = 0;
};

}  // namespace varonel::ui
