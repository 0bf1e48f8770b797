#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class QIODevice;

// The program's own small XML tree. It reads the narrow dialect of the school's data
// files and writes the fixed, indented layout of the report documents. It is not a
// conforming XML processor: one text value per element, no entities beyond the four
// it writes, elements found by name without regard to letter case.

enum NodeKind : std::uint8_t
{
    nkElement = 0,
    nkInstruction = 1,
    nkComment = 2,
};

// Raw bytes of an input, as the loader holds them.
using TpkXMLBuf = QByteArray;

class TpkXMLAttr
{
public:
    TpkXMLAttr() = default;
    TpkXMLAttr(QString name, QString value) : Name(std::move(name)), Value(std::move(value)) {}

    QString Name;
    QString Value; // unescaped
};

class TpkXMLAttrs
{
public:
    void Add(TpkXMLAttr attr) { m_items.push_back(std::move(attr)); }
    void Clear() { m_items.clear(); }
    int Count() const { return static_cast<int>(m_items.size()); }
    // The attribute at a 0-based index, or nullptr when out of range.
    TpkXMLAttr* Get(int index);
    const TpkXMLAttr* Get(int index) const;

private:
    std::vector<TpkXMLAttr> m_items;
};

class TpkXMLNode
{
public:
    TpkXMLNode() = default;
    explicit TpkXMLNode(QString name) : Name(std::move(name)) {}
    TpkXMLNode(const TpkXMLNode&) = delete;
    TpkXMLNode& operator=(const TpkXMLNode&) = delete;

    // The first child whose name equals `name` without regard to letter case (Polish
    // letters included). When none does and `create` is set, a new element child
    // named `name` is appended and returned; otherwise nullptr.
    TpkXMLNode* FindNode(const QString& name, bool create);
    // The same lookup without creation, for readers of a tree.
    const TpkXMLNode* FindNode(QStringView name) const;

    TpkXMLNode* AddNode(std::unique_ptr<TpkXMLNode> node);
    void ClearNodes() { m_nodes.clear(); }
    int NodeCount() const { return static_cast<int>(m_nodes.size()); }
    // The child at a 0-based index, or nullptr when out of range.
    TpkXMLNode* GetNode(int index) const;

    TpkXMLAttrs Attrs;
    QString Name;  // element name or instruction target, case as read or assigned
    QString Value; // the element's text, unescaped; a comment's text
    QString CData; // text of a CDATA section directly inside the element
    NodeKind Kind = nkElement;

private:
    std::vector<std::unique_ptr<TpkXMLNode>> m_nodes;
};

class TpkXML
{
public:
    TpkXML() = default;
    TpkXML(const TpkXML&) = delete;
    TpkXML& operator=(const TpkXML&) = delete;

    // Each load first empties the tree and answers whether the input was read whole
    // and well formed in the accepted dialect. Nodes read before a fault stay in the
    // tree. Nothing is thrown for bad input.
    bool LoadFromFile(const QString& fileName);
    bool LoadFromStream(QIODevice& stream);
    bool LoadFromBuffer(QByteArrayView bytes);

    // The serialised tree: TAB indentation, CR LF line ends. Empty for an empty tree.
    QString GetXMLText() const;
    // Writes GetXMLText() at the stream's position: as UTF-16LE after FF FE when
    // Unicode is set, else as Windows-1250. An empty text writes nothing. Answers
    // whether every byte was written.
    bool SaveToStream(QIODevice& stream) const;

    TpkXMLNode* FindNode(const QString& name, bool create) { return Root.FindNode(name, create); }

    TpkXMLNode Root;      // invisible container of the top-level nodes
    bool Unicode = false; // the last load found a UTF-16LE byte-order mark
    // The last load reached the end of its input inside an open element: the load
    // still answers true (the tree holds what was read), but the input was most
    // likely cut short.
    bool EndedInsideElement = false;
    QString IndentUnit = QStringLiteral("\t");
};

// Entity helpers of the tree. Escaping covers & < > and the double quote (not the
// apostrophe); unescaping knows only those four entities, in any letter case.
QString XMLEscape(const QString& text);
QString XMLUnescape(const QString& text);
// Replaces every non-overlapping occurrence of `pattern`, matched without regard to
// case, scanning left to right. An empty pattern leaves the text unchanged.
QString ReplaceAllNoCase(const QString& text, const QString& pattern, const QString& replacement);
// True when the two names are equal once both are upper-cased.
bool SameNameNoCase(QStringView a, QStringView b);
