// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "readme_opener.h"

#include "texts.h"

#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

namespace trazzo {

namespace {

QString findOnPath(const QString &program) { return QStandardPaths::findExecutable(program); }

// The opener runs on its own; the game does not wait for it. Its process
// object lives until it ends, and is never killed when the game ends first.
void startOpener(const QString &program, const QStringList &arguments, const ReadmeOpener::Done &done)
{
    auto *process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, &QProcess::finished, process, [process, done](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        done(status == QProcess::NormalExit && code == 0);
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, done](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        done(false);
    });
    process->start(program, arguments);
}

} // namespace

ReadmeOpener::ReadmeOpener(QWidget *parent)
    : ReadmeOpener([parent = QPointer<QWidget>(parent)](const QString &text) {
          QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Trazzo"), text, QMessageBox::Ok, parent);
          box.exec();
      })
{
}

ReadmeOpener::ReadmeOpener(Message message)
    : m_finder(findOnPath), m_starter(startOpener), m_message(std::move(message))
{
}

void ReadmeOpener::open(const QString &appFolder)
{
    const QString opener = m_finder(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        m_message(texts::NoTextViewer);
        return;
    }
    // An opener that cannot show the file is as good as none.
    m_starter(opener, {appFolder + texts::ReadmeFile}, [message = m_message](bool ok) {
        if (!ok)
            message(texts::NoTextViewer);
    });
}

} // namespace trazzo
