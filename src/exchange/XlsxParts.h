#pragma once

#include "BiffCells.h"

#include <map>
#include <string>
#include <vector>

namespace exchange {
class ZipPackage;
}

namespace exchange::xlsx {

struct Relationship
{
    std::string type; // the last segment of the type's address: "worksheet", "styles"
    std::string target; // the part it points to, resolved to a name in the package
};

// The relationships of a part (by their ids); none when the package has no relationships part
// for it.
std::map<std::string, Relationship> readRelationships(ZipPackage& package,
                                                      const std::string& sourcePart);
// The first relationship of a type, or nullptr.
const Relationship* findRelationship(const std::map<std::string, Relationship>& relationships,
                                     const std::string& type);

// A target of a relationship of sourcePart as a part name in the package: relative to the
// source's folder unless it starts with '/', with "." and ".." steps and %-escapes resolved.
std::string resolveTarget(const std::string& sourcePart, const std::string& target);

struct WorkbookSheet
{
    std::string name; // UTF-8
    std::string relationshipId;
};

struct Workbook
{
    bool date1904 = false;
    std::vector<WorkbookSheet> sheets;
};

Workbook readWorkbook(ZipPackage& package, const std::string& part);

// The texts of the shared strings table, runs of rich text joined, phonetic guides left out.
std::vector<std::string> readSharedStrings(ZipPackage& package, const std::string& part);

// How each cell format (by its index, a cell's s attribute) shows a number.
std::vector<biff::Shown> readCellFormats(ZipPackage& package, const std::string& part);

} // namespace exchange::xlsx
