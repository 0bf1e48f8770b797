#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One value of an IMAP response: NIL, an atom or number, a string (quoted or a
// literal), or a parenthesised list.
struct ImapValue
{
    enum class Kind
    {
        Nil,
        Atom,
        String,
        List
    };
    Kind kind = Kind::Nil;
    QByteArray text; // atom or string
    QList<ImapValue> items;

    bool isList() const { return kind == Kind::List; }
    // The string or atom in upper case; empty for NIL and lists.
    QByteArray upper() const;
};

// One "* n FETCH (...)" response.
struct ImapFetch
{
    qint64 uid = -1;
    qint64 size = -1; // RFC822.SIZE
    bool hasStructure = false;
    ImapValue structure; // BODYSTRUCTURE
    bool hasBody = false;
    QByteArray body; // BODY[]
};

// The server's answer to one command, read from every line the server sent while
// libcurl ran it (libcurl hands each line to its header callback, a literal's lines
// included). Literals are counted byte by byte, so text inside a mail is never taken
// for a response; the answer is complete only when the command's tagged completion
// ends it. Anything else is refused as a whole.
class ImapResponse
{
public:
    // False, with the reason, when the stream is malformed, ends inside a literal or
    // without a tagged completion, or the completion is not OK.
    bool parse(const QByteArray& stream, QString* error);

    QList<ImapFetch> fetches;
    QList<qint64> searchUids;
    qint64 uidValidity = -1;
    qint64 exists = -1;
    bool readOnly = false; // the completion said [READ-ONLY]

    static constexpr int kMaxNesting = 64;
};
