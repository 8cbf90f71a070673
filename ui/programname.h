#pragma once

#include <QString>

// The name the task bar shows for the program: the program file's name cut
// at its first dot, its first letter in upper case and the rest in lower
// case ("PERFORON.EXE" and "perforon" both give "Perforon").
QString taskBarName(const QString &programFile);
