// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "quit_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace trazzo {

namespace {

// The one thing a signal handler may reach: it cannot be handed anything.
int quitSocket[2] = {-1, -1};

void askToQuit(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // Never waits: a full socket already holds a quit; no SIGPIPE either.
    [[maybe_unused]] const ssize_t n = ::send(quitSocket[1], &byte, 1, MSG_DONTWAIT | MSG_NOSIGNAL);
    errno = savedErrno;
}

} // namespace

bool catchQuitSignals()
{
    if (quitSocket[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, quitSocket) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = askToQuit;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
        // One the game was started ignoring (nohup, a shell's background)
        // was meant not to end it: it stays ignored.
        struct sigaction before {};
        if (::sigaction(sig, nullptr, &before) == 0 && before.sa_handler == SIG_IGN)
            continue;
        ::sigaction(sig, &action, nullptr);
    }
    return true;
}

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    if (quitSocket[0] < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(quitSocket[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        // All that is there, so a burst of signals asks once.
        char bytes[256];
        while (::read(quitSocket[0], bytes, sizeof bytes) > 0) {
        }
        emit quitAsked();
    });
}

QuitSignals::~QuitSignals() = default;

} // namespace trazzo
