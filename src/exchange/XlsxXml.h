#pragma once

#include "ZipPackage.h"

#include <QXmlStreamReader>
#include <string>

namespace exchange::xlsx {

// One XML part of a workbook package read token by token. Everything that is not plain,
// well-formed XML is refused with a PackageError naming the part: a document type
// declaration before anything in it could be expanded, a syntax error, or a part that the
// package stopped inflating (a zip bomb), whose reason the package gives.
class XmlPart
{
public:
    XmlPart(ZipPackage& package, const std::string& name);

    // The next token; false at the end of the document.
    bool next();
    bool isStart(QLatin1StringView localName) const
    {
        return m_reader.isStartElement() && m_reader.name() == localName;
    }
    bool isEnd(QLatin1StringView localName) const
    {
        return m_reader.isEndElement() && m_reader.name() == localName;
    }
    // An attribute of the current element by its local name; empty when it has none.
    QStringView attribute(QLatin1StringView localName) const;
    // The text of the current element, which it ends.
    QString elementText();
    // Leaves the current element and everything in it.
    void skipElement();
    const std::string& name() const { return m_name; }
    QXmlStreamReader& reader() { return m_reader; }

private:
    void check();

    ZipPackage& m_package;
    std::string m_name;
    std::unique_ptr<QIODevice> m_device;
    QXmlStreamReader m_reader;
};

} // namespace exchange::xlsx
