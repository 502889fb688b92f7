#include "fonts.h"
#include "form1.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trazzo"));
    trazzo::installFontSubstitutes();

    // The game speaks Japanese whatever the desktop's language, and so do
    // Qt's own dialogs and buttons (the open dialog, OK, Cancel) when Qt's
    // Japanese translation is installed.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);

    trazzo::Form1 form;
    form.Form_Load();
    return app.exec();
}
