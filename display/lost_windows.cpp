// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lost_windows.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <cstring>

namespace trazzo {

namespace {

// The two X events looked at, as they come off the wire (every X event and
// error is 32 bytes; these are the parts read).
constexpr std::uint8_t DestroyNotify = 17;
struct DestroyNotifyEvent {
    std::uint8_t responseType;
    std::uint8_t pad;
    std::uint16_t sequence;
    std::uint32_t event;
    std::uint32_t window;
};
constexpr std::uint8_t Error = 0;
struct ErrorEvent {
    std::uint8_t responseType;
    std::uint8_t errorCode;
    std::uint16_t sequence;
    std::uint32_t resourceId;
};

} // namespace

LostWindows::LostWindows(QWidget *mainWindow, std::function<void()> quit)
    : m_mainWindow(mainWindow), m_quit(std::move(quit))
{
}

bool LostWindows::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    std::uint8_t type = 0;
    std::memcpy(&type, message, sizeof type);
    type &= 0x7f; // the high bit marks an event another client sent
    if (type == Error) {
        ErrorEvent error;
        std::memcpy(&error, message, sizeof error);
        return m_lost.count(error.resourceId) > 0;
    }
    if (type == DestroyNotify) {
        DestroyNotifyEvent destroyed;
        std::memcpy(&destroyed, message, sizeof destroyed);
        lost(destroyed.window);
    }
    return false;
}

void LostWindows::lost(unsigned window)
{
    // A window the game destroys itself has left its widget by now; one
    // whose widget still holds it was destroyed by someone else.
    QWidget *owner = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->internalWinId() == window)
            owner = w;
    if (!owner)
        return;
    m_lost.insert(window);
    // Not from inside Qt's event handling: closing runs the game's own code.
    QTimer::singleShot(0, owner, [this, owner = QPointer<QWidget>(owner)] {
        if (!owner)
            return;
        if (owner == m_mainWindow) {
            m_quit();
            return;
        }
        owner->close();
    });
}

} // namespace trazzo
