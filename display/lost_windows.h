// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>

class QWidget;

namespace trazzo {

// Another program on the X display can destroy one of the game's windows
// outright (xdotool windowclose, a tool gone wrong); the window manager only
// ever asks. Qt does not notice: the game would run on with no window to
// play in, save from or close, or wait for ever on a dialog nobody can see.
// Installed as the application's native event filter, this takes such a
// loss for what the player would have done: the main window gone ends the
// game through `quit` (which saves), a secondary window gone is closed as if
// its close button were pressed (it is made afresh when it next shows).
// X11 only; elsewhere it sees nothing.
class LostWindows : public QAbstractNativeEventFilter {
public:
    LostWindows(QWidget *mainWindow, std::function<void()> quit);
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void lost(unsigned window);

    QWidget *m_mainWindow;
    std::function<void()> m_quit;
};

} // namespace trazzo
