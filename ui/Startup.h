// The program's entry: the single-instance guard, the splash window, the
// main window and the message loop.
#pragma once

int RunTavorine(int argc, char *argv[]);

// The box a second start shows before it ends.
void RefuserSecondeInstance();
