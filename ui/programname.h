// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The name the task bar shows for the program: the program file's name cut
// at its first dot, every letter after the first in lower case and the first
// as it is ("PERFORON.EXE" gives "Perforon", "perforon" gives "perforon").
QString taskBarName(const QString &programFile);
