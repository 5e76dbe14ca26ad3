// How the program's windows describe themselves to screen readers beyond
// what Qt does: the factories of our own accessible interfaces, installed
// once for the whole program.
#pragma once

class QWidget;

// Installs every factory; later calls do nothing. The windows call it first
// thing, before a reader can ask for any of their widgets.
void InstallAccessibility();

// Drops what Qt told readers of a widget while it was still being built,
// before its own class was known, so that the next query gets our
// interface.
void DescribeAnew(QWidget *widget);
