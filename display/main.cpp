#include <QApplication>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMessageBox::information(nullptr, QStringLiteral("Trazzo"),
                             QStringLiteral("The game window is not built yet; the engine is."));
    return 0;
}
