#include "DialogAnswers.h"
#include "TMelbrin.h"
#include "data/Tdsrc.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setApplicationName(QStringLiteral("Melbrin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Melbrin"));
    QApplication::setOrganizationName(QStringLiteral("Tavrik"));

    app::DialogAnswers answers;
    data::setAnswers(&answers);

    data::Tdsrc dsrc;
    app::TMelbrin window(dsrc);
    window.show();
    const int rc = QApplication::exec();
    data::setAnswers(nullptr);
    return rc;
}
