#pragma once

#include "report/Band.h"
#include "report/PageSetup.h"
#include "report/SystemDataControl.h"

#include <QFont>
#include <QString>
#include <memory>
#include <vector>

namespace report {

class DataSource;

// A report design: page setup, the bands printed for every row (a detail band, a sub-detail
// band, or both, each with an optional child band), and controls on the page itself.
class Report
{
public:
    Report();

    PageSetup page;
    // The font of the page controls, and the one designs give their data texts.
    QFont font;
    QColor fontColor = Qt::black;
    QString title;

    // Not owned. Without a data source the report prints as with no rows.
    void setDataSource(DataSource* source) { m_source = source; }
    DataSource* dataSource() const { return m_source; }

    Band& setDetailBand(Length width, Length height);
    Band* detailBand() const { return m_detail.get(); }
    // A sub-detail band whose master is the report: printed once for every row, after the
    // detail band when there is one.
    Band& setSubDetailBand(Length width, Length height);
    Band* subDetailBand() const { return m_subDetail.get(); }

    // A title or page number on the page, in the report font, from the paper's top left.
    SystemDataControl& addPageControl(LengthRect rect, SystemDataControl::Kind kind);
    const std::vector<std::unique_ptr<SystemDataControl>>& pageControls() const
    {
        return m_pageControls;
    }

private:
    DataSource* m_source = nullptr;
    std::unique_ptr<Band> m_detail;
    std::unique_ptr<Band> m_subDetail;
    std::vector<std::unique_ptr<SystemDataControl>> m_pageControls;
};

} // namespace report
