// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace trazzo {

// A logout, kill or Ctrl+C (SIGHUP, SIGTERM, SIGINT) reaches the game as
// `quitAsked` on the main thread, the next time it handles events.
//
// catchQuitSignals() installs the handler; call it as soon as the game can
// handle events, so a signal during the rest of start-up waits for the game
// instead of killing it unsaved. The handler only writes one byte to a
// socket that never blocks (when the socket is full, a quit is waiting
// already) and keeps errno. Returns false when no socket could be made; the
// signals then keep their default. A signal ignored at start stays ignored.
bool catchQuitSignals();

class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

signals:
    // Once for all the signals that came since the last time.
    void quitAsked();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace trazzo
