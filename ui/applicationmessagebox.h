#pragma once

#include "messagebox.h"

// The program's message box: owned by the application rather than by a
// window, it disables every window of the program while it is up, and hands
// activation and focus back to where they were when it is dismissed.
class ApplicationMessageBox : public MessageBox
{
public:
    void show(const QString &title, const QString &body) override;
};
