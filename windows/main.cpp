#include "core/CommandLine.h"
#include "windows/ProgramEntry.h"
#include "windows/TabulonApplication.h"

int main(int argc, char** argv)
{
    // --help and --version need no display, so they are answered before the
    // application connects to one.
    if (const std::optional<int> answered = AnswerInfoOption(argc, argv, stdout))
        return *answered;
    TabulonApplication app(argc, argv);
    return RunProgram(app);
}
