#include "ComponentBlob.h"

#include "FontLabel.h"
#include "cards/LabelStream.h"
#include "data/Query.h"

namespace cards {

void SaveComponentToBlob(data::Query& query, const QString& column, const FontLabel& label)
{
    try {
        query.setBlob(column, LabelStream::write(label.properties()));
    } catch (const std::exception&) {
        // The column keeps what it held.
    }
}

void LoadComponentFromBlob(const data::Query& query, const QString& column, FontLabel& label)
{
    LabelProperties properties = label.properties();
    LabelStream::read(query.blob(column), properties);
    label.setProperties(properties);
}

} // namespace cards
