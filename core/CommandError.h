// The one error family that ends a command: its text is shown in the
// application's error box, followed by a full stop.
#pragma once

#include <QString>
#include <stdexcept>

class CommandError : public std::runtime_error
{
public:
    explicit CommandError(const QString &text)
        : std::runtime_error(text.toStdString()), text_(text) {}
    const QString &text() const { return text_; }

private:
    QString text_;
};

// Raised for the square root of a negative number, as the floating-point
// unit would report it.
inline CommandError InvalidFloatingPointOperation()
{
    return CommandError(QStringLiteral("Opération en virgule flottante incorrecte"));
}
