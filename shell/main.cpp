#include "shell/ProgramEntry.h"
#include "shell/TabulonApplication.h"

int main(int argc, char** argv)
{
    TabulonApplication app(argc, argv);
    return RunProgram(app);
}
