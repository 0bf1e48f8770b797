#pragma once

#include <QString>

// Progress of long work that runs on the interface thread: downloads, file copies,
// sending mail. Code of the core reports through a ProgressScope; in the program a
// small window shows it with "Anuluj", in tests and command-line tools nothing is
// shown unless a test installs a presenter of its own.

class ProgressPresenter
{
public:
    virtual ~ProgressPresenter() = default;
    // A piece of work with the given title starts ("Pobieranie danych szkoły").
    virtual void begin(const QString& title) = 0;
    // What is under way: `item` (a file name, say), `done` of `total` bytes (`total`
    // 0 when unknown). Returns false once the user has asked to cancel.
    virtual bool report(const QString& item, qint64 done, qint64 total) = 0;
    // The work has ended, whatever its outcome.
    virtual void end() = 0;
};

// Installs the presenter for every later piece of work; nullptr restores the
// default, which shows nothing and never cancels.
void setProgressPresenter(ProgressPresenter* presenter);
ProgressPresenter* progressPresenter();

// One piece of work, from construction to destruction. Once cancelled it stays
// cancelled, and later reports are not passed on.
class ProgressScope
{
public:
    explicit ProgressScope(const QString& title);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    // False when the user has cancelled (now or earlier).
    bool report(const QString& item, qint64 done, qint64 total);
    bool cancelled() const { return m_cancelled; }

private:
    ProgressPresenter* m_presenter;
    bool m_cancelled = false;
};
