#include "Report.h"

namespace report {

Report::Report()
    : font(QStringLiteral("Arial"), 10)
{ }

Band& Report::setDetailBand(Length width, Length height)
{
    m_detail = std::make_unique<Band>(width, height);
    return *m_detail;
}

Band& Report::setSubDetailBand(Length width, Length height)
{
    m_subDetail = std::make_unique<Band>(width, height);
    return *m_subDetail;
}

SystemDataControl& Report::addPageControl(LengthRect rect, SystemDataControl::Kind kind)
{
    auto control = std::make_unique<SystemDataControl>(rect, kind);
    control->font = font;
    control->fontColor = fontColor;
    m_pageControls.push_back(std::move(control));
    return *m_pageControls.back();
}

} // namespace report
