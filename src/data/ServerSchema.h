#pragma once

namespace data {

class Connection;

// Creates the card tables on an empty server database: the groups with the "DEFAULT" group,
// the members, one row per printable field, one row of layout settings and the settings
// table, in one transaction. Every table is keyed by an identity column "seq"; members and
// groups carry a row version; text sorts without letter case. Refuses a database that
// already has card tables.
void createServerTables(Connection& connection);

} // namespace data
