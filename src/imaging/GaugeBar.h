#pragma once

#include "Gauge.h"

#include <QWidget>

namespace imaging {

// The progress window's gauge: a bordered bar, white where not yet filled and black where
// filled from the left, with the percentage centred on it, black over white and white over
// black.
class GaugeBar : public QWidget
{
    Q_OBJECT
public:
    explicit GaugeBar(QWidget* parent = nullptr);

    const Gauge& gauge() const { return m_gauge; }
    // Range refusals are thrown as the gauge throws them.
    void setMin(int value);
    void setMax(int value);
    // Repaints only when the percentage shown changes.
    void setPosition(int value);
    // Advances by one and repaints at once, so the bar moves while the caller's loop runs.
    void step();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void changed(int percentBefore);

    Gauge m_gauge;
};

} // namespace imaging
