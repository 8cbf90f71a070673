#include "programname.h"

#include <QFileInfo>

QString taskBarName(const QString &programFile)
{
    const QString file = QFileInfo(programFile).fileName();
    const QString name = file.left(file.indexOf(QLatin1Char('.')));
    return name.left(1) + name.mid(1).toLower();
}
