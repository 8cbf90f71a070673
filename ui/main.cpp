#include "applicationmessagebox.h"
#include "glyph.h"
#include "programname.h"
#include "tform1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The task bar and the window class carry the program file's name.
    QApplication::setApplicationName(taskBarName(QString::fromLocal8Bit(argv[0])));
    // Desktops match the window to its installed entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("perforon"));
    QApplication::setWindowIcon(programIcon());

    ApplicationMessageBox messageBox;
    TForm1 form(messageBox);
    form.show();
    return QApplication::exec();
}
