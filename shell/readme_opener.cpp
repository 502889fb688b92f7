#include "readme_opener.h"

#include "texts.h"

#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

namespace trazzo {

ReadmeOpener::ReadmeOpener(QWidget *parent)
    : m_finder([](const QString &program) { return QStandardPaths::findExecutable(program); }),
      m_starter([](const QString &program, const QStringList &arguments) {
          return QProcess::startDetached(program, arguments);
      }),
      m_message([parent](const QString &text) {
          QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Trazzo"), text, QMessageBox::Ok, parent);
          box.exec();
      })
{
}

void ReadmeOpener::open(const QString &appFolder)
{
    const QString opener = m_finder(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        m_message(texts::NoTextViewer);
        return;
    }
    // Like the old editor start, whether it worked is not looked at.
    m_starter(opener, {appFolder + texts::ReadmeFile});
}

} // namespace trazzo
