// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "lost_windows.h"

#include <QApplication>
#include <QWidget>

#include <cstdint>
#include <cstring>

namespace trazzo {

namespace {

// The X event looked at, as it comes off the wire (every X event is 32
// bytes; these are the parts read).
constexpr std::uint8_t DestroyNotify = 17;
struct DestroyNotifyEvent {
    std::uint8_t responseType; // the high bit: sent by another program, not by the X server
    std::uint8_t pad;
    std::uint16_t sequence;
    std::uint32_t event;
    std::uint32_t window;
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
    DestroyNotifyEvent destroyed;
    std::memcpy(&destroyed, message, sizeof destroyed);
    // Only the X server can tell that a window is gone; the same words sent
    // by another program are not believed.
    if (destroyed.responseType == DestroyNotify)
        lost(destroyed.window);
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
    // At once, before Qt reads on: the window manager gives the keys to the
    // main window next, and while a dead dialog still counts as open, Qt
    // would hand them on to it, and the main window would stay deaf.
    if (owner == m_mainWindow)
        m_quit();
    else
        owner->close();
}

} // namespace trazzo
