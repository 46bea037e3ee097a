#include "XlsxParts.h"

#include "XlsxText.h"
#include "XlsxXml.h"
#include "ZipPackage.h"

namespace exchange::xlsx {
namespace {

std::string utf8(QStringView text)
{
    return text.toString().toStdString();
}

bool isTrue(QStringView value)
{
    return value == u"1" || value.trimmed().compare(u"true", Qt::CaseInsensitive) == 0;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The number an attribute holds, or fallback.
unsigned number(QStringView value, unsigned fallback)
{
    bool ok = false;
    const unsigned n = value.trimmed().toUInt(&ok);
    return ok ? n : fallback;
}

// What a built-in number format shows. Beyond the formats every Excel knows, the ids 27 to 58
// are the dates and times of East Asian versions of Excel.
biff::Shown builtinShown(unsigned id)
{
    if ((id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 58))
        return biff::Shown::Date;
    if (id >= 32 && id <= 35)
        return biff::Shown::Time;
    return biff::builtinFormatShown(id);
}

} // namespace

std::string resolveTarget(const std::string& sourcePart, const std::string& target)
{
    std::string decoded;
    for (std::size_t i = 0; i < target.size(); ++i) {
        if (target[i] == '%' && i + 2 < target.size() && hexDigit(target[i + 1]) >= 0
            && hexDigit(target[i + 2]) >= 0) {
            decoded += char(hexDigit(target[i + 1]) * 16 + hexDigit(target[i + 2]));
            i += 2;
        } else {
            decoded += target[i] == '\\' ? '/' : target[i];
        }
    }
    std::string path;
    if (decoded.empty() || decoded[0] != '/') {
        const std::size_t slash = sourcePart.rfind('/');
        path = slash == std::string::npos ? std::string() : sourcePart.substr(0, slash + 1);
    }
    path += decoded;
    std::vector<std::string> steps;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string step = path.substr(start, end - start);
        if (step == "..") {
            if (!steps.empty())
                steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        start = end + 1;
    }
    std::string name;
    for (const std::string& step : steps)
        name += (name.empty() ? "" : "/") + step;
    return name;
}

std::map<std::string, Relationship> readRelationships(ZipPackage& package,
                                                      const std::string& sourcePart)
{
    const std::size_t slash = sourcePart.rfind('/');
    const std::string folder
        = slash == std::string::npos ? std::string() : sourcePart.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? sourcePart : sourcePart.substr(slash + 1);
    const std::string part = folder + "_rels/" + file + ".rels";
    std::map<std::string, Relationship> relationships;
    if (!package.contains(part))
        return relationships;
    XmlPart xml(package, part);
    while (xml.next()) {
        if (!xml.isStart(QLatin1StringView("Relationship"))
            || xml.attribute(QLatin1StringView("TargetMode")) == u"External")
            continue;
        const std::string type = utf8(xml.attribute(QLatin1StringView("Type")));
        Relationship r;
        r.type = type.substr(type.rfind('/') + 1);
        r.target = resolveTarget(sourcePart, utf8(xml.attribute(QLatin1StringView("Target"))));
        relationships.emplace(utf8(xml.attribute(QLatin1StringView("Id"))), std::move(r));
    }
    return relationships;
}

const Relationship* findRelationship(const std::map<std::string, Relationship>& relationships,
                                     const std::string& type)
{
    for (const auto& [id, r] : relationships) {
        if (r.type == type)
            return &r;
    }
    return nullptr;
}

Workbook readWorkbook(ZipPackage& package, const std::string& part)
{
    Workbook book;
    XmlPart xml(package, part);
    while (xml.next()) {
        if (xml.isStart(QLatin1StringView("workbookPr"))) {
            book.date1904 = isTrue(xml.attribute(QLatin1StringView("date1904")));
        } else if (xml.isStart(QLatin1StringView("sheet"))) {
            WorkbookSheet sheet;
            sheet.name = utf8(xml.attribute(QLatin1StringView("name")));
            sheet.relationshipId = utf8(xml.attribute(QLatin1StringView("id")));
            book.sheets.push_back(std::move(sheet));
        } else if (xml.isStart(QLatin1StringView("definedNames"))) {
            xml.skipElement();
        }
    }
    return book;
}

std::vector<std::string> readSharedStrings(ZipPackage& package, const std::string& part)
{
    std::vector<std::string> strings;
    XmlPart xml(package, part);
    QString text;
    bool inItem = false;
    while (xml.next()) {
        if (xml.isStart(QLatin1StringView("si"))) {
            inItem = true;
            text.clear();
        } else if (inItem && xml.isStart(QLatin1StringView("t"))) {
            text += xml.elementText();
        } else if (inItem
                   && (xml.isStart(QLatin1StringView("rPh"))
                       || xml.isStart(QLatin1StringView("phoneticPr"))
                       || xml.isStart(QLatin1StringView("rPr")))) {
            xml.skipElement();
        } else if (xml.isEnd(QLatin1StringView("si"))) {
            inItem = false;
            strings.push_back(unescapedText(text));
        }
    }
    return strings;
}

std::vector<biff::Shown> readCellFormats(ZipPackage& package, const std::string& part)
{
    std::map<unsigned, std::string> codes;
    std::vector<unsigned> formatIds;
    XmlPart xml(package, part);
    bool inCellFormats = false;
    while (xml.next()) {
        if (xml.isStart(QLatin1StringView("numFmt"))) {
            codes[number(xml.attribute(QLatin1StringView("numFmtId")), 0)]
                = utf8(xml.attribute(QLatin1StringView("formatCode")));
        } else if (xml.isStart(QLatin1StringView("cellXfs"))) {
            inCellFormats = true;
        } else if (xml.isEnd(QLatin1StringView("cellXfs"))) {
            inCellFormats = false;
        } else if (inCellFormats && xml.isStart(QLatin1StringView("xf"))) {
            formatIds.push_back(number(xml.attribute(QLatin1StringView("numFmtId")), 0));
            xml.skipElement();
        }
    }
    std::vector<biff::Shown> shown;
    shown.reserve(formatIds.size());
    for (const unsigned id : formatIds) {
        const auto custom = codes.find(id);
        const biff::Shown byCode
            = custom == codes.end() ? biff::Shown::Number : biff::formatCodeShown(custom->second);
        shown.push_back(custom != codes.end() && (byCode != biff::Shown::Number || id >= 164)
                            ? byCode
                            : builtinShown(id));
    }
    return shown;
}

} // namespace exchange::xlsx
