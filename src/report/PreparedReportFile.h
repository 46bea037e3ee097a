#pragma once

#include "report/Page.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace report {

// The prepared report file: laid-out pages as data, so that a report can be shown and printed
// again exactly as it was laid out, without the database it came from.
//
// Little-endian throughout. "MELBRINRPT", u16 format version, then the pictures (u32 count;
// each u32 width, u32 height, u32 QImage format, u32 length and that many bytes of PNG), then
// the pages (u32 count; each i32 number, i64 width and height in micrometres, u32 item count
// and the items, each a u8 kind and its fields). Pictures used by several items, such as a
// card background, are stored once and referred to by their index. Nothing may follow.
// Version 2 adds the clipped text (kind 6: a text's fields and then its clip rectangle) and
// filled shapes (kind 7: u8 fill rule, u32 element count, each element a u8 type and its
// point as two IEEE doubles in micrometres, then the colour); a file without either is
// written as version 1, so that it still opens in a program that knows only that.
namespace preparedreport {

inline constexpr char magic[] = "MELBRINRPT";
inline constexpr quint16 formatVersion = 2;
inline constexpr quint16 shapesVersion = 2;

// Limits a file must keep to be read, so that no file can make the reader allocate without
// bound; the reader also checks every count against the bytes left.
inline constexpr qint64 maxFileBytes = 1'000'000'000;
inline constexpr quint32 maxPages = 100'000;
inline constexpr quint32 maxItemsPerPage = 100'000;
inline constexpr quint32 maxImages = 100'000;
inline constexpr qint64 maxImagePixels = 50'000'000;
inline constexpr qint64 maxTotalImagePixels = 250'000'000;
inline constexpr quint32 maxTextLength = 65'536;
inline constexpr quint32 maxFontLength = 1'024;
inline constexpr quint32 maxPathElements = 1'000'000;
// Every measure lies within 10 m of the paper's corner; a page is at most 10 m a side.
inline constexpr qint64 maxMeasure = 10'000'000;

} // namespace preparedreport

// The file's bytes for the pages. Throws data::Error when a picture cannot be encoded.
QByteArray encodePreparedReport(const std::vector<Page>& pages);

// The pages a file's bytes hold. Throws data::Error with a message for the user when the
// bytes are not a prepared report, come from a newer format, or are damaged or cut short.
std::vector<Page> decodePreparedReport(const QByteArray& bytes);

// Writes the pages to path, replacing an earlier file only when every byte was written; an
// open database file or its journal is refused. Throws data::Error with the reason.
void savePreparedReport(const QString& path, const std::vector<Page>& pages);

// Reads the pages saved at path. Throws data::Error with the reason.
std::vector<Page> loadPreparedReport(const QString& path);

} // namespace report
