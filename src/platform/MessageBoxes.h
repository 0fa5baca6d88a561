#pragma once

#include <QString>

namespace platform {

// Message boxes reach the program's logic through this seam; the screens install the real boxes and
// tests answer them in advance.
class MessageBoxes
{
public:
    enum class Icon { Information, Warning, Critical };

    virtual ~MessageBoxes() = default;
    // Shows a modal box with an OK button and returns when it has been closed.
    virtual void show(const QString &title, const QString &text, Icon icon = Icon::Information) = 0;
    // The same for a box after which the program ends: while it is up nothing else of the program runs
    // (no clock, no record, no change of screen), as the student goes to fetch the teacher.
    virtual void showFatal(const QString &title, const QString &text, Icon icon = Icon::Critical)
    {
        show(title, text, icon);
    }
    // Asks a yes-or-no question; true for yes.
    virtual bool ask(const QString &title, const QString &text) = 0;
};

} // namespace platform
