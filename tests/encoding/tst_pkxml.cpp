#include "encoding/PKXML.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool load(TpkXML& doc, const char* text)
{
    return doc.LoadFromBuffer(QByteArrayView(text, qstrlen(text)));
}

QByteArray utf16le(const QString& text)
{
    QByteArray out("\xFF\xFE", 2);
    for (QChar c : text) {
        out.append(static_cast<char>(c.unicode() & 0xFF));
        out.append(static_cast<char>(c.unicode() >> 8));
    }
    return out;
}

QByteArray saved(const TpkXML& doc)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    doc.SaveToStream(buffer);
    return buffer.data();
}

} // namespace

class TestPKXML : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesIgnoreLetterCase()
    {
        TpkXML doc;
        // Windows-1250 bytes of "żółw" and "ŻÓŁW".
        QVERIFY(load(doc, "<Szkola><Klasa1>1a</KLASA1><\xBF\xF3\xB3w>x</\xAF\xD3\xA3W></szkola>"));
        TpkXMLNode* school = doc.FindNode(QStringLiteral("SZKOLA"), false);
        QVERIFY(school);
        QCOMPARE(school->Name, QStringLiteral("Szkola")); // case as read
        QCOMPARE(school->FindNode(QStringLiteral("klasa1"), false)->Value, QStringLiteral("1a"));
        QCOMPARE(school->FindNode(QStringLiteral("ŻóŁW"), false)->Value, QStringLiteral("x"));

        // Without create nothing is added; with create the name is kept as given.
        QCOMPARE(school->FindNode(QStringLiteral("Klasa2"), false), nullptr);
        QCOMPARE(school->NodeCount(), 2);
        TpkXMLNode* created = school->FindNode(QStringLiteral("Klasa2"), true);
        QCOMPARE(school->NodeCount(), 3);
        QCOMPARE(school->GetNode(2), created);
        QCOMPARE(created->Name, QStringLiteral("Klasa2"));
        QCOMPARE(created->Kind, nkElement);
        QCOMPARE(school->FindNode(QStringLiteral("KLASA2"), true), created);
        QCOMPARE(school->GetNode(-1), nullptr);
        QCOMPARE(school->GetNode(3), nullptr);

        // The first of several siblings with the same name counts.
        QVERIFY(load(doc, "<a><b>1</b><B>2</B></a>"));
        QCOMPARE(doc.FindNode(QStringLiteral("a"), false)->FindNode(QStringLiteral("b"), false)->Value,
                 QStringLiteral("1"));
    }

    void textIsTrimmedAndUnescaped()
    {
        TpkXML doc;
        QVERIFY(load(doc, "<a>  Tom &amp; Jerry\t\r\n</a>"));
        TpkXMLNode* a = doc.FindNode(QStringLiteral("a"), false);
        QCOMPARE(a->Value, QStringLiteral("Tom & Jerry"));
        QCOMPARE(doc.GetXMLText(), QStringLiteral("<a>Tom &amp; Jerry</a>\r\n"));

        // Entity names match in any case; nothing else is an entity; one level only.
        QVERIFY(load(doc, "<a>&AMP; &Lt;&gT; &QUOT; &apos; &#65; &amp;lt;</a>"));
        QCOMPARE(doc.FindNode(QStringLiteral("a"), false)->Value,
                 QStringLiteral("& <> \" &apos; &#65; &lt;"));
    }

    void escapeHelpers()
    {
        QCOMPARE(XMLEscape(QStringLiteral("a&b<c>d\"e'f")), QStringLiteral("a&amp;b&lt;c&gt;d&quot;e'f"));
        QCOMPARE(XMLUnescape(XMLEscape(QStringLiteral("&lt; & \" <>"))), QStringLiteral("&lt; & \" <>"));
        QCOMPARE(ReplaceAllNoCase(QStringLiteral("aaa"), QStringLiteral("aa"), QStringLiteral("X")),
                 QStringLiteral("Xa"));
        QCOMPARE(ReplaceAllNoCase(QStringLiteral("xAbyaBz"), QStringLiteral("ab"), QStringLiteral("-")),
                 QStringLiteral("x-y-z"));
        QCOMPARE(ReplaceAllNoCase(QStringLiteral("abc"), QString(), QStringLiteral("X")),
                 QStringLiteral("abc"));
        QCOMPARE(ReplaceAllNoCase(QStringLiteral("ĄĘ ąę"), QStringLiteral("ąę"), QStringLiteral("!")),
                 QStringLiteral("! !"));
    }

    void attributes()
    {
        TpkXML doc;
        QVERIFY(!load(doc, "<a x='1'/>"));
        QVERIFY(!load(doc, "<a x=\"1/>"));     // value never closed
        QVERIFY(!load(doc, "<a x 1=\"2\"/>")); // name without "="
        QVERIFY(!load(doc, "<a x=1/>"));       // unquoted

        QVERIFY(load(doc, "<a  x = \"1 &lt; 2\" y=\" sp \"/>"));
        TpkXMLNode* a = doc.FindNode(QStringLiteral("a"), false);
        QCOMPARE(a->Attrs.Count(), 2);
        QCOMPARE(a->Attrs.Get(0)->Name, QStringLiteral("x"));
        QCOMPARE(a->Attrs.Get(0)->Value, QStringLiteral("1 < 2"));
        QCOMPARE(a->Attrs.Get(1)->Value, QStringLiteral(" sp ")); // values are not trimmed
        QCOMPARE(a->Attrs.Get(2), nullptr);
        QCOMPARE(a->Attrs.Get(-1), nullptr);
        QCOMPARE(doc.GetXMLText(), QStringLiteral("<a x=\"1 &lt; 2\" y=\" sp \"/>\r\n"));
    }

    void mixedContentAndWhatStays()
    {
        TpkXML doc;
        // Text after a child's end tag is refused; what was built stays.
        QVERIFY(!load(doc, "<a><b>1</b>tail<c/></a>"));
        TpkXMLNode* a = doc.FindNode(QStringLiteral("a"), false);
        QVERIFY(a);
        QCOMPARE(a->NodeCount(), 1);
        QCOMPARE(a->GetNode(0)->Value, QStringLiteral("1"));

        // Text before the first child is the parent's value.
        QVERIFY(load(doc, "<a> head <b>1</b></a>"));
        QCOMPARE(doc.FindNode(QStringLiteral("a"), false)->Value, QStringLiteral("head"));

        // Text after a self-closed tag belongs to that tag.
        QVERIFY(load(doc, "<a><b/> after <c>2</c></a>"));
        a = doc.FindNode(QStringLiteral("a"), false);
        QCOMPARE(a->FindNode(QStringLiteral("b"), false)->Value, QStringLiteral("after"));
        QCOMPARE(a->FindNode(QStringLiteral("c"), false)->Value, QStringLiteral("2"));

        // A mismatched end tag fails, keeping the nodes read so far.
        QVERIFY(!load(doc, "<a><b>1</c></a>"));
        QCOMPARE(doc.FindNode(QStringLiteral("a"), false)->FindNode(QStringLiteral("b"), false)->Value,
                 QStringLiteral("1"));
        QVERIFY(!load(doc, "<a>1</a"));

        // Input that ends inside an open element is accepted as read.
        QVERIFY(load(doc, "<a><b>1</b><c>2"));
        a = doc.FindNode(QStringLiteral("a"), false);
        QCOMPARE(a->NodeCount(), 2);
        QCOMPARE(a->GetNode(1)->Value, QStringLiteral("2"));

        // A second load replaces the first tree.
        QVERIFY(load(doc, "<z/>"));
        QCOMPARE(doc.Root.NodeCount(), 1);
        QCOMPARE(doc.Root.GetNode(0)->Name, QStringLiteral("z"));
    }

    void falseAnswers()
    {
        TpkXML doc;
        QVERIFY(!load(doc, ""));
        QVERIFY(!load(doc, "<"));
        QVERIFY(!load(doc, " \r\n\t "));
        QVERIFY(!load(doc, "x<a/>"));
        QVERIFY(!load(doc, "<a/ >"));            // "/" not followed by ">"
        QVERIFY(!load(doc, "<>"));               // empty name
        QVERIFY(!load(doc, "< a/>"));            // empty name before the blank
        QVERIFY(!load(doc, "<a><!-x"));          // fewer than 7 characters after "<!"
        QVERIFY(!load(doc, "\xEF\xBB\xBF<a/>")); // UTF-8 byte-order mark is not "<"
        QCOMPARE(doc.Root.NodeCount(), 0);
        QVERIFY(load(doc, "<a><b>"));

        QBuffer empty;
        empty.open(QIODevice::ReadOnly);
        QVERIFY(!doc.LoadFromStream(empty));
        QVERIFY(!doc.LoadFromFile(QStringLiteral("/nonexistent/tabulon/x.xml")));
        QCOMPARE(doc.Root.NodeCount(), 0);
    }

    void deepNestingIsRefused()
    {
        const auto nested = [](int levels) {
            return QByteArray("<a>").repeated(levels) + QByteArray("</a>").repeated(levels);
        };
        TpkXML doc;
        QVERIFY(doc.LoadFromBuffer(nested(256)));
        QVERIFY(!doc.LoadFromBuffer(nested(257)));
        QVERIFY(!doc.LoadFromBuffer(QByteArray("<a>").repeated(100000)));

        // What a refused load kept is written so that it loads again, and it is
        // destroyed without exhausting the stack.
        QVERIFY(doc.LoadFromBuffer(saved(doc)));
        int depth = 0;
        for (TpkXMLNode* n = &doc.Root; n->NodeCount() > 0; n = n->GetNode(0))
            ++depth;
        QCOMPARE(depth, 256);
    }

    void declarationCommentsAndCData()
    {
        TpkXML doc;
        QVERIFY(load(doc, "<?xml version=\"1.0\"  encoding=\"Windows-1250\"?>\r\n"
                          "<Szkola>\r\n"
                          "  <!--   uwaga   -->\r\n"
                          "  <Kod><![CDATA[ <surowe> &amp; ]]></Kod>\r\n"
                          "  <![cdata[x]]>\r\n"
                          "  <Nast>1</Nast>\r\n"
                          "</Szkola>\r\n"));
        QCOMPARE(doc.Root.NodeCount(), 2);
        TpkXMLNode* decl = doc.Root.GetNode(0);
        QCOMPARE(decl->Kind, nkInstruction);
        QCOMPARE(decl->Name, QStringLiteral("xml"));
        QCOMPARE(decl->Attrs.Count(), 2);
        QCOMPARE(decl->Attrs.Get(1)->Name, QStringLiteral("encoding"));
        QCOMPARE(decl->Attrs.Get(1)->Value, QStringLiteral("Windows-1250"));

        TpkXMLNode* school = doc.FindNode(QStringLiteral("Szkola"), false);
        QCOMPARE(school->NodeCount(), 3); // comment, Kod, Nast; the CDATA sections are no nodes
        QCOMPARE(school->GetNode(0)->Kind, nkComment);
        QCOMPARE(school->GetNode(0)->Value, QStringLiteral("uwaga"));
        QCOMPARE(school->FindNode(QStringLiteral("Kod"), false)->CData, QStringLiteral(" <surowe> &amp; "));
        QCOMPARE(school->CData, QStringLiteral("x"));
        QCOMPARE(school->FindNode(QStringLiteral("Nast"), false)->Value, QStringLiteral("1"));

        QCOMPARE(doc.GetXMLText(), QStringLiteral("<?xml version=\"1.0\" encoding=\"Windows-1250\"?>\r\n"
                                                  "<Szkola>\r\n"
                                                  "\t<![CDATA[x]]>\r\n"
                                                  "\t<!-- uwaga -->\r\n"
                                                  "\t<Kod>\r\n"
                                                  "\t\t<![CDATA[ <surowe> &amp; ]]>\r\n"
                                                  "</Kod>\r\n"
                                                  "\t<Nast>1</Nast>\r\n"
                                                  "</Szkola>\r\n"));

        // A "<!" construct that is not CDATA is a comment; without "-->" its text is empty.
        QVERIFY(load(doc, "<a><!DOCTYPE x></a>"));
        QCOMPARE(doc.FindNode(QStringLiteral("a"), false)->GetNode(0)->Kind, nkComment);
        QCOMPARE(doc.FindNode(QStringLiteral("a"), false)->GetNode(0)->Value, QString());
    }

    void writerLayout()
    {
        // Built the way the report writer builds its documents.
        TpkXML doc;
        TpkXMLNode* school = doc.FindNode(QStringLiteral("Szkola"), true);
        school->Value = QStringLiteral("nagłówek");
        school->FindNode(QStringLiteral("Wiersz0"), true)->Value = QStringLiteral("a \"b\" <c> & d'e");
        school->FindNode(QStringLiteral("Pusty"), true);
        TpkXMLNode* pupil = school->FindNode(QStringLiteral("Uczen1"), true);
        pupil->FindNode(QStringLiteral("Imie"), true)->Value = QStringLiteral("Łucja");
        TpkXMLNode* inner = pupil->FindNode(QStringLiteral("Oceny"), true);
        inner->Attrs.Add(TpkXMLAttr(QStringLiteral("n"), QStringLiteral("2")));
        inner->FindNode(QStringLiteral("Ocena"), true);

        const QString expected = QStringLiteral("<Szkola>nagłówek\r\n"
                                                "\t<Wiersz0>a &quot;b&quot; &lt;c&gt; &amp; d'e</Wiersz0>\r\n"
                                                "\t<Pusty/>\r\n"
                                                "\t<Uczen1>\r\n"
                                                "\t\t<Imie>Łucja</Imie>\r\n"
                                                "\t\t<Oceny n=\"2\">\r\n"
                                                "\t\t\t<Ocena/>\r\n"
                                                "\t\t</Oceny>\r\n"
                                                "\t</Uczen1>\r\n"
                                                "</Szkola>\r\n");
        QCOMPARE(doc.GetXMLText(), expected);
        // Windows-1250 bytes, one per character.
        const QByteArray bytes = saved(doc);
        QCOMPARE(bytes.size(), expected.size());
        QVERIFY(bytes.startsWith(QByteArray("<Szkola>nag\xB3\xF3wek\r\n")));
        QVERIFY(bytes.contains(QByteArray("<Imie>\xA3ucja</Imie>")));

        // The saved bytes load back into the same tree.
        TpkXML again;
        QVERIFY(again.LoadFromBuffer(bytes));
        QCOMPARE(again.GetXMLText(), expected);

        // A different indentation unit is used once per level.
        doc.IndentUnit = QStringLiteral("  ");
        QVERIFY(doc.GetXMLText().contains(QStringLiteral("\r\n      <Ocena/>\r\n")));
    }

    void emptyTreeWritesNothing()
    {
        TpkXML doc;
        doc.Unicode = true;
        QCOMPARE(doc.GetXMLText(), QString());
        QCOMPARE(saved(doc), QByteArray());
    }

    void unicodeInputAndOutput()
    {
        // UTF-16LE with a byte-order mark; the odd trailing byte is ignored. Characters
        // outside Windows-1250 are kept.
        const QString text = QStringLiteral("<Belfry><Nzw> Żółć Ωμέγα </Nzw></Belfry>");
        QByteArray bytes = utf16le(text);
        bytes.append('\x01');
        TpkXML doc;
        QVERIFY(doc.LoadFromBuffer(bytes));
        QVERIFY(doc.Unicode);
        QCOMPARE(doc.FindNode(QStringLiteral("BELFRY"), false)->FindNode(QStringLiteral("nzw"), false)->Value,
                 QStringLiteral("Żółć Ωμέγα"));

        const QByteArray out = saved(doc);
        const QString expected = QStringLiteral("<Belfry>\r\n\t<Nzw>Żółć Ωμέγα</Nzw>\r\n</Belfry>\r\n");
        QCOMPARE(out, utf16le(expected));
        QCOMPARE(out.size(), 2 + 2 * expected.size());

        // Only the mark: no content.
        QVERIFY(!doc.LoadFromBuffer(QByteArray("\xFF\xFE", 2)));
        // 8-bit input switches back to Windows-1250.
        QVERIFY(doc.LoadFromBuffer(QByteArray("<a>\xA5\x8C\x8F</a>")));
        QVERIFY(!doc.Unicode);
        QCOMPARE(doc.FindNode(QStringLiteral("a"), false)->Value, QStringLiteral("ĄŚŹ"));
    }

    void loadFromFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.xml"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<p><q>1</q></p>");
        f.close();
        TpkXML doc;
        QVERIFY(doc.LoadFromFile(path));
        QCOMPARE(doc.FindNode(QStringLiteral("p"), false)->FindNode(QStringLiteral("q"), false)->Value,
                 QStringLiteral("1"));
        QVERIFY(!doc.LoadFromFile(dir.path())); // a folder is no file
    }
};

QTEST_GUILESS_MAIN(TestPKXML)
#include "tst_pkxml.moc"
