// The modal message boxes of the main window: one "OK" box and the Oui/Non
// question by message kind, and the error box of a command that failed.
#pragma once

#include <QString>

class QWidget;

enum TMsgDlgType { mtInformation = 0, mtConfirmation = 1, mtError = 2, mtWarning = 3 };

// One "OK" button, the kind's caption and icon; returns once closed.
void AfficherMessage(TMsgDlgType kind, const QString &text, QWidget *parent = nullptr);

// "&Oui" (default) and "&Non" (Escape); true only for "Oui".
bool DemanderConfirmation(TMsgDlgType kind, const QString &text, QWidget *parent = nullptr);

// "&Oui" (default) and "Annuler" (Escape); true only for "Oui".
bool AskToReplace(const QString &text, QWidget *parent = nullptr);

// The box shown for an error that ends a command: the application's title
// as caption, the error icon, one "OK" button, the text and a full stop.
void ShowError(const QString &text, QWidget *parent = nullptr);

// The application's title, caption of the error boxes.
QString ApplicationTitle();
