// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

// A button glyph from the program's resources: a bitmap of two pictures side
// by side, the left for the enabled button and the right for the disabled
// one. The colour of the bitmap's lower-left pixel is transparent. The
// icon's one size is that of a picture.
QIcon loadGlyph(const QString &name);

// The program's icon, a punched card, in the sizes the resources hold.
QIcon programIcon();
