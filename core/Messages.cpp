#include "core/Messages.h"

#include "core/AppState.h"

#include <cstdio>

namespace {

class StderrPresenter final : public MessagePresenter
{
public:
    int present(int /*kind*/, int /*icon*/, const QString& text) override
    {
        QString shown = text;
        shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        std::fprintf(stderr, "%s\n", shown.toLocal8Bit().constData());
        return AnswerClose;
    }
};

StderrPresenter g_stderrPresenter;
MessagePresenter* g_presenter = &g_stderrPresenter;

} // namespace

void setMessagePresenter(MessagePresenter* presenter)
{
    g_presenter = presenter ? presenter : &g_stderrPresenter;
}

MessagePresenter* messagePresenter()
{
    return g_presenter;
}

int ShowMessage(int kind, int icon, const QString& text)
{
    const int answer = g_presenter->present(kind, icon, text);
    appState().DialogResult = answer;
    return answer;
}

int AskNamed(int icon, const QString& text, const NamedAnswers& answers)
{
    int answer = g_presenter->presentNamed(icon, text, answers);
    if (answer != AnswerYes && answer != AnswerNo)
        answer = answers.keeps;
    appState().DialogResult = answer;
    return answer;
}
