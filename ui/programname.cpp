#include "programname.h"

#include <QFileInfo>

QString taskBarName(const QString &programFile)
{
    const QString file = QFileInfo(programFile).fileName();
    const QString name = file.left(file.indexOf(QLatin1Char('.'))).toLower();
    return name.left(1).toUpper() + name.mid(1);
}
