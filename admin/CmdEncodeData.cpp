// tabulon-admin encode-data FILE -o OUT: writes an encoded copy of a plain school data
// file, as the school's tools publish them: "Code" holds the encoded "True" and every
// other leaf value, counts included, is encoded.

#include "admin/Command.h"
#include "encoding/PKXML.h"
#include "encoding/TextCodec.h"
#include "encoding/ValueCipher.h"
#include "files/SafeFile.h"

#include <QBuffer>
#include <QFileInfo>

namespace {

const char* const kUsage =
    "Użycie: tabulon-admin encode-data PLIK -o WYNIK\n"
    "\n"
    "Zapisuje do WYNIKU zakodowaną kopię jawnego pliku danych szkoły (nauczyciele.kbs,\n"
    "przedmioty.kps lub uczniowie.kls): element „Code” otrzymuje zakodowane „True”,\n"
    "a każda inna wartość, także liczby, jest zakodowana. Program odczyta kopię tak\n"
    "samo jak oryginał (sprawdzisz to poleceniem check-data).\n"
    "\n"
    "Kod wyjścia: 0 zapisano, 1 nie można zapisać wyniku, 2 złe użycie lub zły plik.\n";

const QString kCode = QStringLiteral("Code");

bool isDataTop(const QString& name)
{
    for (const char* top : {"Belfry", "Przedmioty", "Szkola"}) {
        if (SameNameNoCase(name, QString::fromLatin1(top)))
            return true;
    }
    return false;
}

bool hasElementChildren(const TpkXMLNode& node)
{
    for (int i = 0; i < node.NodeCount(); ++i) {
        if (node.GetNode(i)->Kind == nkElement)
            return true;
    }
    return false;
}

// Collects the leaf elements below `node` whose values are to be encoded.
void collectLeaves(TpkXMLNode& node, bool topLevel, QList<TpkXMLNode*>& leaves)
{
    for (int i = 0; i < node.NodeCount(); ++i) {
        TpkXMLNode* child = node.GetNode(i);
        if (child->Kind != nkElement || (topLevel && SameNameNoCase(child->Name, kCode)))
            continue;
        if (hasElementChildren(*child))
            collectLeaves(*child, false, leaves);
        else
            leaves.append(child);
    }
}

int runEncodeData(const QStringList& args)
{
    QString input;
    QString output;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            adminOut(QString::fromUtf8(kUsage));
            return 0;
        }
        if (a == QLatin1String("-o") && i + 1 < args.size() && output.isEmpty()) {
            output = args[++i];
        } else if (!a.startsWith(QLatin1Char('-')) && input.isEmpty()) {
            input = a;
        } else {
            adminError(QStringLiteral("encode-data: niepoprawny argument „%1”; "
                                      "„tabulon-admin encode-data --help” opisuje polecenie")
                           .arg(a));
            return 2;
        }
    }
    if (input.isEmpty() || output.isEmpty()) {
        adminError(QStringLiteral("encode-data: podaj PLIK i -o WYNIK; "
                                  "„tabulon-admin encode-data --help” opisuje polecenie"));
        return 2;
    }
    if (!QFileInfo(input).isFile()) {
        adminError(QStringLiteral("encode-data: brak pliku „%1”").arg(input));
        return 2;
    }

    TpkXML xml;
    if (!xml.LoadFromFile(input))
        adminError(QStringLiteral("ostrzeżenie: „%1” nie jest poprawnym dokumentem XML; "
                                  "kodowane jest to, co program z niego odczytuje")
                       .arg(input));
    TpkXMLNode* top = nullptr;
    for (int i = 0; i < xml.Root.NodeCount() && !top; ++i) {
        if (xml.Root.GetNode(i)->Kind == nkElement)
            top = xml.Root.GetNode(i);
    }
    if (!top || !isDataTop(top->Name)) {
        adminError(QStringLiteral("encode-data: „%1” nie jest plikiem danych szkoły "
                                  "(brak elementu Belfry, Przedmioty ani Szkola)")
                       .arg(input));
        return 2;
    }
    TpkXMLNode* code = top->FindNode(kCode, false);
    if (code && !code->Value.isEmpty() && DecodeValue(code->Value) == QLatin1String("True")) {
        adminError(QStringLiteral("encode-data: „%1” jest już zakodowany").arg(input));
        return 2;
    }

    QList<TpkXMLNode*> leaves;
    collectLeaves(*top, true, leaves);
    // Every value is checked before anything is written.
    for (const TpkXMLNode* leaf : std::as_const(leaves)) {
        QString offending;
        if (!TextCodec::canEncode(leaf->Value, TextCodec::CodePage::Windows1250, &offending)) {
            adminError(QStringLiteral("encode-data: wartość „%1” elementu %2 zawiera znak „%3”, "
                                      "którego nie ma w stronie kodowej Windows-1250")
                           .arg(leaf->Value, leaf->Name, offending));
            return 2;
        }
    }
    for (TpkXMLNode* leaf : std::as_const(leaves))
        leaf->Value = EncodeValue(leaf->Value);
    top->FindNode(kCode, true)->Value = EncodeValue(QStringLiteral("True"));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    xml.SaveToStream(buffer);
    if (const FileResult written = SafeFile::Write(output, buffer.data()); !written) {
        adminError(
            QStringLiteral("encode-data: nie można zapisać „%1”: %2").arg(output, FileFailureText(written)));
        return 1;
    }
    return 0;
}

const AdminCommandRegistration
    registration({"encode-data", "zapisuje zakodowaną kopię jawnego pliku danych szkoły", runEncodeData});

} // namespace
