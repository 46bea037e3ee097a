#include "Taboutbox.h"

#include "data/WidgetUtils.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace app {
namespace {

// The maker's small mark: an 80 by 28 picture of its name.
QPixmap makerMark()
{
    QPixmap pixmap(80, 28);
    pixmap.fill(QColor(0, 0, 128));
    QPainter p(&pixmap);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(15);
    p.setFont(f);
    p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("TAVRIK"));
    return pixmap;
}

} // namespace

Taboutbox::Taboutbox(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutbox"));
    setWindowTitle(QStringLiteral("About Melbrin"));
    setFixedSize(327, 275);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* upper = new QFrame(this);
    upper->setObjectName(QStringLiteral("Panel1"));
    auto* upperLayout = new QVBoxLayout(upper);
    auto* heading = new QHBoxLayout;
    auto* icon = new QLabel(upper);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    icon->setFixedSize(32, 32);
    auto* names = new QVBoxLayout;
    auto* product = new QLabel(QStringLiteral("Melbrin"), upper);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    product->setFont(bold);
    product->setStyleSheet(QStringLiteral("color: navy"));
    auto* version = new QLabel(QStringLiteral("Version 1.00"), upper);
    version->setObjectName(QStringLiteral("Version"));
    QFont versionFont = version->font();
    versionFont.setPixelSize(15);
    version->setFont(versionFont);
    names->addWidget(product);
    names->addWidget(version);
    auto* mark = new QLabel(upper);
    mark->setObjectName(QStringLiteral("MakerMark"));
    mark->setPixmap(makerMark());
    mark->setFixedSize(80, 28);
    heading->addWidget(icon, 0, Qt::AlignTop);
    heading->addLayout(names);
    heading->addStretch();
    heading->addWidget(mark, 0, Qt::AlignTop);
    upperLayout->addLayout(heading);

    auto* text = new QPlainTextEdit(upper);
    text->setObjectName(QStringLiteral("Memo1"));
    text->setReadOnly(true);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setStyleSheet(QStringLiteral("background: palette(window)"));
    text->setPlainText(
        tr("This program is designed exclusively for use with Tavrik card reader products.\n\n"
           "Tavrik readers are proximity card readers with relay control. Running together "
           "with this software, they become an attendance-recording system with access "
           "control.\n\n"
           "Further information is on our website, %1.\n\n"
           "The card database: without a password of its own, a file is kept only from casual "
           "reading (opening it in another program or a text editor), not from anyone who has "
           "this program. An office sets its own password with File > Database Password...; "
           "then only people who know it, or whose computer remembers it, open the file and "
           "its backups.")
            .arg(webAddress()));
    upperLayout->addWidget(text);
    layout->addWidget(upper, 1);

    auto* lower = new QFrame(this);
    lower->setObjectName(QStringLiteral("Panel2"));
    lower->setFixedHeight(34);
    auto* lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    auto* close = new QPushButton(tr("Cl&ose"), lower);
    close->setObjectName(QStringLiteral("bClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    lowerLayout->addStretch();
    lowerLayout->addWidget(close);
    lowerLayout->addStretch();
    layout->addWidget(lower);
}

void Taboutbox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    data::centreOnScreen(this);
}

} // namespace app
