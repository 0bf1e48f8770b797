#pragma once

#include "encoding/PKXML.h"

#include <QString>

#include <initializer_list>
#include <vector>

// One school data file's values: the file's XML tree and whether its values are
// stored encoded (its top-level "Code" element decodes to "True").
class DataFileReader
{
public:
    // Reads the file's bytes and its "Code" marker below the top element `top`.
    // Answers what the XML reader answered; the tree keeps what was read either way.
    bool load(QByteArrayView bytes, const QString& top);

    // The text of the element at `path` (names matched without regard to case),
    // decoded when the file's values are encoded. A missing element reads as empty.
    QString ReadValue(std::initializer_list<QString> path) const;
    // The same for an element already found (nullptr reads as empty).
    QString ReadValue(const TpkXMLNode* node) const;

    const TpkXMLNode* top() const { return m_top; }
    // The file ended inside an open element (cut short, most likely).
    bool endedInsideElement() const { return m_xml.EndedInsideElement; }
    // The first child of `from` named `name` without regard to case; nullptr when
    // there is none or `from` is nullptr.
    static const TpkXMLNode* find(const TpkXMLNode* from, QStringView name);
    // The children named prefix + 1, prefix + 2, ... prefix + count, found as find()
    // finds each (the first of that name), at the index of their number (index 0 is
    // unused; nullptr where missing). One pass over the children instead of one scan
    // per number.
    static std::vector<const TpkXMLNode*> numbered(const TpkXMLNode* from, QStringView prefix, int count);

    bool ValuesEncoded = false;

private:
    TpkXML m_xml;
    const TpkXMLNode* m_top = nullptr;
};
