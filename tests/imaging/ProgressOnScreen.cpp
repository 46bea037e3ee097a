// The progress window on a real display, driven as the picture commands drive it: 100 steps of
// 60 ms each with no event loop in between. At some steps the screen is read back from the
// window system (what a person sees, not a rendering of the widget) and checked: the window
// is there, centred, and its gauge is filled as far as the loop has got. With a folder named
// on the command line, those screens are saved there too. Exits 1 on a failed check.
#include "imaging/GaugeBar.h"
#include "imaging/TPg.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QThread>
#include <QWindow>
#include <cstdio>

namespace {

constexpr int steps = 100;
constexpr int stepMs = 60;

bool failed = false;

void check(bool ok, int step, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "step %d: %s\n", step, what);
        failed = true;
    }
}

// Whether the gauge shows black (filled) at the fraction of its width, on its top inner row
// of pixels, where the percentage text never reaches.
bool filledAt(const QImage& screen, QRect gauge, double fraction)
{
    const QPoint at(gauge.left() + 1 + int((gauge.width() - 2) * fraction), gauge.top() + 2);
    return qGray(screen.pixel(at)) < 64;
}

bool whiteAt(const QImage& screen, QRect gauge, double fraction)
{
    const QPoint at(gauge.left() + 1 + int((gauge.width() - 2) * fraction), gauge.top() + 2);
    return qGray(screen.pixel(at)) > 192;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (!folder.isEmpty() && !QDir().mkpath(folder))
        return 2;

    // The owner, on screen and idle, as the main window is when a command starts.
    QWidget owner;
    owner.setWindowTitle(QStringLiteral("Owner"));
    owner.resize(640, 480);
    owner.move(0, 0);
    owner.show();
    QElapsedTimer waited;
    waited.start();
    while (!(owner.windowHandle() && owner.windowHandle()->isExposed()) && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);

    imaging::TPg pg(&owner, 0, steps);
    pg.show();
    // From here on no event loop runs, as in the commands' loops.
    for (int step = 1; step <= steps; ++step) {
        QThread::msleep(stepMs);
        pg.Step();
        if (step != 10 && step != 51 && step != 90)
            continue;
        const QImage screen = pg.screen()->grabWindow(0).toImage();
        if (!folder.isEmpty())
            screen.save(QDir(folder).filePath(QStringLiteral("progress-step%1.png").arg(step)));
        const QRect gauge(pg.mapToGlobal(QPoint(0, 0)), pg.size());
        const QPoint centre = pg.screen()->geometry().center();
        check(qAbs(pg.frameGeometry().center().x() - centre.x()) <= 2
                  && qAbs(pg.frameGeometry().center().y() - centre.y()) <= 2,
              step, "the window is not centred on the screen");
        const double done = step / double(steps);
        check(qGray(screen.pixel(gauge.topLeft())) < 64, step, "no gauge border on screen");
        check(filledAt(screen, gauge, done - 0.04), step, "the gauge is not filled so far");
        check(whiteAt(screen, gauge, done + 0.04), step, "the gauge is filled too far");
        std::printf("step %d: %d%%\n", step, pg.bar().gauge().percent());
    }
    return failed ? 1 : 0;
}
