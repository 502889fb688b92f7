// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "file_open_dialog.h"

#include "texts.h"
#include "window_placement.h"

#include <QFileDialog>
#include <QFileSystemModel>

namespace trazzo {

QString pictureFilter()
{
    const QChar nul(u'\0');
    QString f;
    for (const QString &part :
         {texts::BmpFilter, QStringLiteral("*.bmp"), texts::AllFilesFilter, QStringLiteral("*.*")})
        f += part + nul;
    return f + nul;
}

QStringList nameFiltersOf(const QString &filter)
{
    QStringList parts = filter.split(QChar(u'\0'));
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &name = parts[i];
        const QString &pattern = parts[i + 1];
        // Qt reads the pattern from the brackets at the end of the name.
        const QString bracketed = QLatin1Char('(') + pattern + QLatin1Char(')');
        filters << (name.endsWith(bracketed) ? name : name + QLatin1Char(' ') + bracketed);
    }
    return filters;
}

QString FileOpen_Dialog(QWidget *owner, const QString &filter)
{
    QFileDialog dialog(owner, texts::OpenFileTitle);
    // Qt's own dialog on every desktop, so the choices read and work the
    // same everywhere.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = nameFiltersOf(filter);
    dialog.setNameFilters(filters);
    // The dialog reads "*.*" as "a name with a point in it"; the choice
    // that says all files must list names without one too.
    if (auto *files = dialog.findChild<QFileSystemModel *>()) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, files, [files](const QString &chosen) {
            if (chosen.endsWith(QStringLiteral("(*.*)")))
                files->setNameFilters({QStringLiteral("*")});
        });
    }
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    // Its natural size at a large scale is more than the screen: the Open
    // and Cancel buttons would be out of reach.
    dialog.resize(dialog.sizeHint());
    fitOnScreen(&dialog, owner);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}

} // namespace trazzo
