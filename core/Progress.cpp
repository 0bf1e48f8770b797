#include "core/Progress.h"

namespace {

class SilentPresenter final : public ProgressPresenter
{
public:
    void begin(const QString&) override {}
    bool report(const QString&, qint64, qint64) override { return true; }
    void end() override {}
};

SilentPresenter g_silent;
ProgressPresenter* g_presenter = &g_silent;

} // namespace

void setProgressPresenter(ProgressPresenter* presenter)
{
    g_presenter = presenter ? presenter : &g_silent;
}

ProgressPresenter* progressPresenter()
{
    return g_presenter;
}

ProgressScope::ProgressScope(const QString& title) : m_presenter(g_presenter)
{
    m_presenter->begin(title);
}

ProgressScope::~ProgressScope()
{
    m_presenter->end();
}

bool ProgressScope::report(const QString& item, qint64 done, qint64 total)
{
    if (!m_cancelled && !m_presenter->report(item, done, total))
        m_cancelled = true;
    return !m_cancelled;
}
