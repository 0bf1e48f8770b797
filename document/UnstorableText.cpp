#include "document/UnstorableText.h"

#include "core/Messages.h"
#include "document/ReportPreview.h"
#include "encoding/PKXML.h"
#include "encoding/TextCodec.h"

namespace {

// The message dialog has room for three short lines: the lists are cut short.
constexpr int kShownCharacters = 4;
constexpr int kShownPlaces = 2;
constexpr int kPlaceContext = 8; // characters shown on either side

// A character as the user can read it: itself, or its code when it has no picture
// of its own (control characters, combining marks, unpaired surrogates).
QString shown(const QString& character)
{
    const char32_t c = character.size() == 2 ? QChar::surrogateToUcs4(character.at(0), character.at(1))
                                             : char32_t(character.at(0).unicode());
    const bool visible = QChar::isPrint(c) && !QChar::isMark(c) && !QChar::isSpace(c) &&
                         !(character.size() == 1 && character.at(0).isSurrogate());
    if (visible)
        return character;
    return QStringLiteral("U+") + QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// The text around position `at`, on one line, with an ellipsis where it was cut.
QString placeAround(const QString& text, qsizetype at)
{
    qsizetype from = qMax<qsizetype>(0, at - kPlaceContext);
    qsizetype to = qMin<qsizetype>(text.size(), at + kPlaceContext + 1);
    // A character written as a pair of code units is kept whole at either end.
    if (from > 0 && text.at(from).isLowSurrogate())
        --from;
    if (to < text.size() && text.at(to - 1).isHighSurrogate())
        ++to;
    QString place = text.mid(from, to - from).simplified();
    if (from > 0)
        place.prepend(QChar(0x2026));
    if (to < text.size())
        place.append(QChar(0x2026));
    return place;
}

void scan(const QString& text, UnstorableText& found)
{
    bool placed = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        const bool pair = unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const QString character = text.mid(i, pair ? 2 : 1);
        const char32_t code = pair ? QChar::surrogateToUcs4(unit, text.at(i + 1)) : char32_t(unit.unicode());
        const bool storable = !unit.isSurrogate() && AllowedInXml(code) &&
                              TextCodec::canEncode(character, TextCodec::CodePage::Windows1250);
        if (!storable) {
            const QString name = shown(character);
            if (!found.Characters.contains(name))
                found.Characters << name;
            if (!placed) {
                const QString place = placeAround(text, i);
                if (!found.Places.contains(place))
                    found.Places << place;
                placed = true;
            }
        }
        if (pair)
            ++i;
    }
}

void scanNode(const TpkXMLNode& node, UnstorableText& found)
{
    scan(node.Value, found);
    scan(node.CData, found);
    for (int a = 0; a < node.Attrs.Count(); ++a)
        scan(node.Attrs.Get(a)->Value, found);
    for (int n = 0; n < node.NodeCount(); ++n)
        scanNode(*node.GetNode(n), found);
}

QString quotedList(const QStringList& items, int shownCount)
{
    QStringList quoted;
    for (const QString& item : items.mid(0, shownCount))
        quoted << QChar(0x201E) + item + QChar(0x201D);
    QString list = quoted.join(QStringLiteral(", "));
    if (items.size() > shownCount)
        list += QStringLiteral(" …");
    return list;
}

} // namespace

UnstorableText FindUnstorable(const QStringList& texts)
{
    UnstorableText found;
    for (const QString& text : texts)
        scan(text, found);
    return found;
}

UnstorableText FindUnstorable(const TpkXML& doc)
{
    UnstorableText found;
    scanNode(doc.Root, found);
    return found;
}

QString UnstorableQuestion(const UnstorableText& found)
{
    QStringList characters;
    for (const QString& character : found.Characters.mid(0, kShownCharacters))
        characters << character;
    QString list = characters.join(QLatin1Char(' '));
    if (found.Characters.size() > kShownCharacters)
        list += QStringLiteral(" …");
    return QStringLiteral("Sprawozdanie nie przyjmie znaków: ") + list + QStringLiteral("\rSą w: ") +
           quotedList(found.Places, kShownPlaces) +
           QStringLiteral(".\rTak: zapisz je jako „?”. Nie: wróć do edycji.");
}

bool ConfirmUnstorable(const TpkXML& doc)
{
    const UnstorableText found = FindUnstorable(doc);
    if (found.isEmpty())
        return true;
    return ShowMessage(KindQuestion, IconQuestion, UnstorableQuestion(found)) == AnswerYes;
}
