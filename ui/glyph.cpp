// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "glyph.h"

#include <QImage>
#include <QImageReader>
#include <QPixmap>

namespace {

// Reads one of the program's own images in the format it is stored in: left
// to guess, Qt would load every image plugin to ask whether it knows the file.
QImage readImage(const QString &path, const char *format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QImage glyphImage(const QString &name)
{
    return readImage(QStringLiteral(":/glyphs/%1.bmp").arg(name), "bmp");
}

} // namespace

QIcon loadGlyph(const QString &name)
{
    const QImage bitmap = glyphImage(name);
    if (bitmap.isNull())
        return {};
    const QRgb transparent = bitmap.pixel(0, bitmap.height() - 1);
    QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == transparent)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    const int width = image.width() / 2;
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image.copy(0, 0, width, image.height())), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(image.copy(width, 0, width, image.height())), QIcon::Disabled);
    return icon;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addPixmap(
            QPixmap::fromImage(readImage(QStringLiteral(":/icons/perforon-%1.png").arg(size), "png")));
    return icon;
}
