// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace trazzo {

// The read-me command. The desktop's opener stands in for the Windows text
// editor; without one, or when it cannot show the file (it ends with a
// failure, say with no viewer set up), the player is told so. The path goes
// to the opener as one argument, never through a shell, so any folder name
// works.
class ReadmeOpener {
public:
    using Finder = std::function<QString(const QString &program)>;
    // Starts the program and returns at once; `done` is called later with
    // whether it ran and ended well.
    using Done = std::function<void(bool ok)>;
    using Starter = std::function<void(const QString &program, const QStringList &arguments, Done done)>;
    using Message = std::function<void(const QString &text)>;

    explicit ReadmeOpener(QWidget *parent);
    // The desktop's own opener, with the message shown as `message` says.
    explicit ReadmeOpener(Message message);
    ReadmeOpener(Finder finder, Starter starter, Message message)
        : m_finder(std::move(finder)), m_starter(std::move(starter)), m_message(std::move(message))
    {
    }

    void open(const QString &appFolder);

private:
    Finder m_finder;
    Starter m_starter;
    Message m_message;
};

} // namespace trazzo
