#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace trazzo {

// The read-me command. The desktop's opener stands in for the Windows text
// editor; without one, the player is told so. The path goes to the opener
// as one argument, never through a shell, so any folder name works.
class ReadmeOpener {
public:
    using Finder = std::function<QString(const QString &program)>;
    using Starter = std::function<bool(const QString &program, const QStringList &arguments)>;
    using Message = std::function<void(const QString &text)>;

    explicit ReadmeOpener(QWidget *parent);
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
