#pragma once

namespace data {
class Tdsrc;
}

namespace cards {

// When the database could not take its settings table (a read-only file, mostly), tells the
// user why, once per connection: the cards and the check list then print with the default
// settings, and settings chosen cannot be stored.
void tellSettingsProblemOnce(data::Tdsrc& dsrc);

} // namespace cards
