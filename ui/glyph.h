#pragma once

#include <QIcon>
#include <QString>

// A button glyph from the program's resources: a bitmap of two pictures side
// by side, the left for the enabled button and the right for the disabled
// one. The colour of the bitmap's lower-left pixel is transparent.
QIcon loadGlyph(const QString &name);

// The size of one picture of the glyph bitmap.
QSize glyphSize(const QString &name);

// The program's icon, a punched card, in the sizes the resources hold.
QIcon programIcon();
