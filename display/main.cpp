#include "fonts.h"
#include "form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trazzo"));
    trazzo::installFontSubstitutes();

    trazzo::Form1 form;
    form.Form_Load();
    return app.exec();
}
