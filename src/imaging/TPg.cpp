#include "TPg.h"

#include "GaugeBar.h"
#include "data/WidgetUtils.h"

#include <QCoreApplication>
#include <QScreen>

namespace imaging {

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
}

void TPg::hide()
{
    QDialog::hide();
}

void TPg::processEvents()
{
    QCoreApplication::processEvents();
}

void TPg::showEvent(QShowEvent* event)
{
    data::centreOnScreen(this);
    QDialog::showEvent(event);
}

} // namespace imaging
