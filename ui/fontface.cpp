// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fontface.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

struct StandIn
{
    const char *face;
    const char *standIn;
};

// Liberation Sans keeps the metrics of Arial, close to MS Sans Serif and
// with the same 13-pixel text height at 11 pixels.
constexpr StandIn StandIns[] = {
    {"MS Sans Serif", "Liberation Sans"},
    {"Courier New", "Liberation Mono"},
    {"Times New Roman", "Liberation Serif"},
};

} // namespace

QString installedFace(const char *face)
{
    // Naming the stand-in directly spares Qt a search through every
    // fallback font each time a missing face is first loaded in a size.
    QString name = QString::fromLatin1(face);
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(name, Qt::CaseInsensitive))
        return name;
    for (const StandIn &entry : StandIns) {
        if (qstrcmp(entry.face, face) == 0
            && installed.contains(QLatin1String(entry.standIn), Qt::CaseInsensitive))
            return QString::fromLatin1(entry.standIn);
    }
    return name;
}
