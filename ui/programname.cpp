// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "programname.h"

#include <QFileInfo>

QString taskBarName(const QString &programFile)
{
    const QString file = QFileInfo(programFile).fileName();
    const QString name = file.left(file.indexOf(QLatin1Char('.')));
    return name.left(1) + name.mid(1).toLower();
}
