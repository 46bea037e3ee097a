#pragma once

#include "Progress.h"

#include <QDialog>

namespace imaging {

class GaugeBar;

// The progress window: a small modeless window whose only content is the gauge "bar". The
// caller shows it, steps it once per unit of work and destroys it when its loop ends.
class TPg : public QDialog, public Progress
{
    Q_OBJECT
public:
    // Gauge from 0 to 100, at 0.
    explicit TPg(QWidget* owner);
    // As above, then the minimum and after it the maximum are set, each taken as a 16-bit
    // unsigned number (modulo 65536).
    TPg(QWidget* owner, int minimum, int maximum);

    GaugeBar& bar() const { return *m_bar; }

    // Adds one, held at the maximum, and repaints at once.
    void Step();

    void setMin(int value) override;
    void setMax(int value) override;
    void show() override;
    void hide() override;
    void step() override { Step(); }
    void processEvents() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    GaugeBar* m_bar;
};

} // namespace imaging
