// The program's entry: its command-line options, the single-instance guard,
// the splash window, the main window and the message loop.
#pragma once

int RunTavorine(int argc, char *argv[]);

class QApplication;

// Loads Qt's French texts for its own dialogs.
void InstallerTraductionsQt(QApplication &app);

// The box a second start shows before it ends.
void RefuserSecondeInstance();
