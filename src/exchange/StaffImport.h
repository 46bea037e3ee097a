#pragma once

namespace data {
class Tdsrc;
}
namespace imaging {
class Progress;
}

namespace exchange {

class SheetTable;

// Writes every record of the sheet into the card database, in sheet order. Columns are found
// by their headings GROUP, NAME, STAFF_ID, CHINESE_NAME, POST and DATE_JOIN, without regard
// to letter case; cells are taken as data::FieldAsString gives them. A group named in GROUP
// that does not exist yet is created with gid = seq; the member is found by the NAME cell's
// value in QAllStaff and overwritten, or appended. An overwritten member gets only the
// columns the sheet has headings for (an empty cell writes empty text, an empty GROUP gid 0)
// and keeps the others, its expiry, remark and photo. A new member gets empty text for the
// missing columns, gid 0 without GROUP, " " as expiry and remark and no photo. cardno is
// left alone. The groups and members are read again once the write lock is held.
//
// The progress runs from 0 to the number of records (as a 16-bit number), lets pending
// events run before each record and steps after it; it is shown, and left shown.
//
// Returns false when a write was refused (also when the database is read-only or locked by
// another program): the pending row is cancelled, "Unable to post the data." is shown with
// the engine's reason and the import ends. Other errors (a Null gid or seq, a closed query,
// another station running a batch on the database: see BatchLock) are thrown. Either way
// every record written before stays stored, unless the engine rolled the whole import back
// itself (a full disk; a server does so after any refused write, and when it goes away).
// QGroup and QAllStaff must be open.
bool importStaff(data::Tdsrc& dsrc, const SheetTable& sheet, imaging::Progress& progress);

} // namespace exchange
