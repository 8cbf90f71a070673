#include "applicationmessagebox.h"
#include "programname.h"
#include "tform1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The task bar and the window class carry the program file's name.
    QApplication::setApplicationName(taskBarName(QString::fromLocal8Bit(argv[0])));

    ApplicationMessageBox messageBox;
    TForm1 form(messageBox);
    form.show();
    return QApplication::exec();
}
