#include "core/DataFileReader.h"

#include "encoding/ValueCipher.h"

#include <algorithm>

namespace {

// Digits as a count's number is written after an element name (no sign, no leading
// zero); 0 for anything else.
int elementNumber(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 9 || digits.front() == u'0')
        return 0;
    int n = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

} // namespace

bool DataFileReader::load(QByteArrayView bytes, const QString& top)
{
    const bool wellFormed = m_xml.LoadFromBuffer(bytes);
    m_top = find(&m_xml.Root, top);
    // Values are encoded only when the marker decodes to exactly "True".
    const TpkXMLNode* code = find(m_top, u"Code");
    const QString raw = code ? code->Value : QString();
    ValuesEncoded = !raw.isEmpty() && DecodeValue(raw) == QLatin1String("True");
    return wellFormed;
}

const TpkXMLNode* DataFileReader::find(const TpkXMLNode* from, QStringView name)
{
    return from ? from->FindNode(name) : nullptr;
}

std::vector<const TpkXMLNode*> DataFileReader::numbered(const TpkXMLNode* from, QStringView prefix, int count)
{
    std::vector<const TpkXMLNode*> nodes(static_cast<size_t>(std::max(count, 0)) + 1, nullptr);
    for (int i = 0; from && i < from->NodeCount(); ++i) {
        const TpkXMLNode* child = from->GetNode(i);
        const QStringView name(child->Name);
        if (name.size() <= prefix.size() || !SameNameNoCase(name.left(prefix.size()), prefix))
            continue;
        const int number = elementNumber(name.mid(prefix.size()));
        if (number > 0 && number <= count && !nodes[static_cast<size_t>(number)])
            nodes[static_cast<size_t>(number)] = child;
    }
    return nodes;
}

QString DataFileReader::ReadValue(const TpkXMLNode* node) const
{
    if (!node)
        return QString();
    return ValuesEncoded ? DecodeValue(node->Value) : node->Value;
}

QString DataFileReader::ReadValue(std::initializer_list<QString> path) const
{
    const TpkXMLNode* node = &m_xml.Root;
    for (const QString& name : path)
        node = find(node, name);
    return ReadValue(node);
}
