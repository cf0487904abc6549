// The entry point of the windowed program. The command line is not used.
#include "ui/startup.h"

int main(int argc, char* argv[])
{
    return RunQuarnel(argc, argv);
}
