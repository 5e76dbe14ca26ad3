// The modal message boxes of the main window: one "OK" box and the Oui/Non
// question by message kind, and the error box of a command that failed.
#include "ui/common/MessageBoxes.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString Caption(TMsgDlgType kind)
{
    switch (kind) {
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirmation");
    case mtError: return QStringLiteral("Erreur");
    case mtWarning: return QStringLiteral("Avertissement");
    }
    return QString();
}

QMessageBox::Icon Icon(TMsgDlgType kind)
{
    switch (kind) {
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    case mtError: return QMessageBox::Critical;
    case mtWarning: return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

void ShowOkBox(QMessageBox::Icon icon, const QString &caption, const QString &text, QWidget *parent)
{
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

bool AskYes(QMessageBox::Icon icon, const QString &caption, const QString &text,
            const QString &noText, QWidget *parent)
{
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(noText, QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace

void AfficherMessage(TMsgDlgType kind, const QString &text, QWidget *parent)
{
    ShowOkBox(Icon(kind), Caption(kind), text, parent);
}

bool DemanderConfirmation(TMsgDlgType kind, const QString &text, QWidget *parent)
{
    return AskYes(Icon(kind), Caption(kind), text, QStringLiteral("&Non"), parent);
}

bool AskToReplace(const QString &text, QWidget *parent)
{
    return AskYes(Icon(mtConfirmation), Caption(mtConfirmation), text, QStringLiteral("Annuler"), parent);
}

void ShowError(const QString &text, QWidget *parent)
{
    ShowOkBox(QMessageBox::Critical, ApplicationTitle(), text + QLatin1Char('.'), parent);
}

QString ApplicationTitle()
{
    return QStringLiteral("Tavorin");
}
