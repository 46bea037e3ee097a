#pragma once

#include "Progress.h"

#include <QDialog>

namespace imaging {

class GaugeBar;

// The progress window: a small modeless window whose only content is the gauge "bar". The
// caller shows it, steps it once per unit of work and destroys it when its loop ends. The
// caller's loop lets no window messages run, so show() waits until the window is on screen
// and Step paints at once. The user cannot dismiss it: Esc and the close button do nothing;
// only the caller hides or destroys it.
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

    // Adds one, held at the maximum, and paints the gauge on screen before returning.
    void Step();

    void setMin(int value) override;
    void setMax(int value) override;
    // Shows the window centred on the screen and returns once the window system shows it
    // (or after a second, when it does not). User input that arrives meanwhile waits for the
    // caller's event loop.
    void show() override;
    void hide() override;
    void step() override { Step(); }
    void processEvents() override;

public slots:
    // Esc lands here: nothing happens.
    void reject() override { }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool onScreen() const;
    // Lets the window system's pending events through, user input excepted.
    static void passWindowEvents();

    GaugeBar* m_bar;
};

} // namespace imaging
