#pragma once

class QString;

// Shows a modal box with a title, a body and one OK button, and returns
// when the operator has dismissed it.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    virtual void show(const QString &title, const QString &body) = 0;
};
