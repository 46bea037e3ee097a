#include "XlsxXml.h"

namespace exchange::xlsx {

XmlPart::XmlPart(ZipPackage& package, const std::string& name)
    : m_package(package)
    , m_name(name)
    , m_device(package.open(name))
    , m_reader(m_device.get())
{ }

void XmlPart::check()
{
    if (m_reader.tokenType() == QXmlStreamReader::DTD)
        throw PackageError("its part '" + m_name
                           + "' declares a document type, which a workbook never does");
    if (!m_reader.hasError())
        return;
    if (!m_package.failure().empty())
        throw PackageError(m_package.failure());
    throw PackageError("its part '" + m_name + "' is not well-formed XML (line "
                       + std::to_string(m_reader.lineNumber())
                       + "): " + m_reader.errorString().toStdString());
}

bool XmlPart::next()
{
    m_reader.readNext();
    check();
    return !m_reader.atEnd();
}

QStringView XmlPart::attribute(QLatin1StringView localName) const
{
    for (const QXmlStreamAttribute& a : m_reader.attributes()) {
        if (a.name() == localName)
            return a.value();
    }
    return {};
}

QString XmlPart::elementText()
{
    QString text = m_reader.readElementText(QXmlStreamReader::IncludeChildElements);
    check();
    return text;
}

void XmlPart::skipElement()
{
    m_reader.skipCurrentElement();
    check();
}

} // namespace exchange::xlsx
