#include "TPg.h"

#include "GaugeBar.h"
#include "data/WidgetUtils.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWindow>

namespace imaging {
namespace {

// How long show() waits for the window system to put the window on screen.
constexpr int showWaitMs = 1000;

} // namespace

TPg::TPg(QWidget* owner)
    : QDialog(owner)
    , m_bar(new GaugeBar(this))
{
    setObjectName(QStringLiteral("pg"));
    setWindowTitle(QStringLiteral("Progress"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(312, 26);
    m_bar->setGeometry(0, 0, 312, 26);
}

TPg::TPg(QWidget* owner, int minimum, int maximum)
    : TPg(owner)
{
    m_bar->setMin(minimum & 0xFFFF);
    m_bar->setMax(maximum & 0xFFFF);
}

void TPg::Step()
{
    // A window the window system had not shown yet when show() gave up may be shown by now.
    if (isVisible() && !onScreen())
        passWindowEvents();
    m_bar->step();
}

void TPg::setMin(int value)
{
    m_bar->setMin(value);
}

void TPg::setMax(int value)
{
    m_bar->setMax(value);
}

void TPg::show()
{
    QDialog::show();
    // Until the window system has mapped and exposed the window, painting it shows nothing;
    // the caller's loop that follows runs no events that would bring the expose in.
    QElapsedTimer waited;
    waited.start();
    passWindowEvents();
    while (!onScreen() && waited.elapsed() < showWaitMs) {
        QThread::msleep(1);
        passWindowEvents();
    }
    repaint();
}

void TPg::hide()
{
    QDialog::hide();
}

void TPg::processEvents()
{
    QCoreApplication::processEvents();
}

bool TPg::onScreen() const
{
    const QWindow* window = windowHandle();
    return window && window->isExposed();
}

void TPg::passWindowEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents
                                    | QEventLoop::ExcludeSocketNotifiers);
}

void TPg::showEvent(QShowEvent* event)
{
    data::centreOnScreen(this);
    QDialog::showEvent(event);
}

void TPg::closeEvent(QCloseEvent* event)
{
    // The window's close button (or the window manager's close command): the caller's loop
    // still runs and owns the window.
    event->ignore();
}

} // namespace imaging
