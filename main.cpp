// Entry point of Tavorine: everything lives in the tavorine_gui library,
// so that tests and benchmarks drive exactly what the user runs.
#include "ui/startup/Startup.h"

int main(int argc, char *argv[])
{
    return RunTavorine(argc, argv);
}
