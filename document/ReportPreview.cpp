#include "document/ReportPreview.h"

#include "encoding/TextCodec.h"
#include "files/SafeFile.h"

QString PreviewEscape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('&'))
            out += QLatin1String("&amp;");
        else if (c == QLatin1Char('<'))
            out += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            out += QLatin1String("&gt;");
        else
            out += c;
    }
    return out;
}

bool AllowedInXml(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

QString XmlCharacters(const QString& text)
{
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar unit = out.at(i);
        if (unit.isHighSurrogate() && i + 1 < out.size() && out.at(i + 1).isLowSurrogate()) {
            ++i; // a pair: a character beyond the first plane, which XML holds
            continue;
        }
        if (unit.isSurrogate() || !AllowedInXml(unit.unicode()))
            out[i] = QLatin1Char('?');
    }
    return out;
}

void PreviewBegin(QStringList& page)
{
    page.clear();
    page << QStringLiteral("<html><head>")
         << QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\">")
         << QStringLiteral("<title>Podgląd zawartości</title>") << QStringLiteral("</head>")
         << QStringLiteral("<STYLE TYPE=\"text/css\">") << QStringLiteral("<!--") << QStringLiteral("BODY { ")
         << QStringLiteral("scrollbar-face-color: #2F2F47;")
         << QStringLiteral("scrollbar-highlight-color: #FFFFFF;")
         << QStringLiteral("scrollbar-3dlight-color: #FFFFFF;")
         << QStringLiteral("scrollbar-darkshadow-color: #FFFFFF;")
         << QStringLiteral("scrollbar-shadow-color: #FFFFFF;")
         << QStringLiteral("scrollbar-arrow-color: #FFFFFF;")
         << QStringLiteral("scrollbar-track-color: #FFFFFF; }  ")
         << QStringLiteral(".N {font-family: arial,tahoma,verdana;  font-size: 11pt; font-weight: normal; "
                           "text-decoration: none;color: #000000; }")
         << QStringLiteral(
                ".M {font-family: arial,verdana, tahoma, arial;  font-size: 8pt; font-weight: normal; "
                "text-decoration: none;color: #000000; }")
         << QStringLiteral(
                ".U {font-family: arial,verdana, tahoma, arial;  font-size: 11pt; font-weight: normal; "
                "text-decoration: underline; color: #000000; }")
         << QStringLiteral("-->") << QStringLiteral("</STYLE>")
         << QStringLiteral("<body bgcolor=\"#FFFFFF\" topmargin=\"0\" leftmargin=\"20\" rightmargin=\"20\">");
}

void PreviewTitle(QStringList& page, const QString& title)
{
    page << QStringLiteral("<p align=\"center\" class=\"N\"><br><b>") + title + QStringLiteral("</b></p>");
}

void PreviewOpenText(QStringList& page)
{
    page << QStringLiteral("<p align=\"left\" class=\"N\">");
}

void PreviewLabelValue(QStringList& page, const QString& label, const QString& value)
{
    page << QStringLiteral("<b>") + label + QStringLiteral("</b> ") + value + QStringLiteral("<br>");
}

void PreviewHeading(QStringList& page, const QString& label)
{
    page << QStringLiteral("<b>") + label + QStringLiteral("</b><br>");
}

void PreviewLine(QStringList& page, const QString& text)
{
    page << text + QStringLiteral("<br>");
}

void PreviewBlankLine(QStringList& page)
{
    page << QStringLiteral("&nbsp;<br>");
}

void PreviewCloseText(QStringList& page)
{
    page << QStringLiteral("</p>");
}

void PreviewEnd(QStringList& page)
{
    page << QStringLiteral("</body>") << QStringLiteral("</html>");
}

bool SavePreviewPage(const QStringList& page, const QString& path, QString* error)
{
    QByteArray bytes;
    for (const QString& line : page)
        bytes += TextCodec::toCp1250(XmlCharacters(line)) + "\r\n";
    if (const FileResult written = SafeFile::Write(path, bytes); !written) {
        if (error)
            *error = FileFailureText(written);
        return false;
    }
    return true;
}
