// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The installed face that shows a face the layout names: the face itself
// where it is installed, otherwise the face with its metrics that stands in
// for it (Liberation's faces for the Windows faces), otherwise the face's
// name for Qt's own matching.
QString installedFace(const char *face);
