// Measures the program against a bare Qt window of the same size holding one
// label: start-up to the first painted frame and resident memory (each in a
// fresh process), then the punch and clear steps with their repaint, and the
// steps on a pasted text of 1 MiB. Run it on the offscreen platform:
//
//     QT_QPA_PLATFORM=offscreen build/bench/bench_perforon

#include "messagebox.h"
#include "tform1.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int StartRuns = 7;
constexpr int StepRuns = 50;
constexpr int LargeRuns = 3;

class SilentBox : public MessageBox
{
public:
    void show(const QString &, const QString &) override { }
};

// Resident memory in KiB. Linux only: the one place that reads /proc.
long residentKiB()
{
#ifdef Q_OS_LINUX
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (statm.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = statm.readAll().split(' ');
        if (fields.size() > 1)
            return fields.at(1).toLong() * 4;
    }
#endif
    return 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The first frame is done when the paint that started it has run to its
// end: the next turn of the event loop.
class FirstPaint : public QObject
{
    Q_OBJECT

public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool seen = false;
};

// One start in this process: the time from creating the application to the
// end of the window's first paint, and the memory then. Prints "ms kib".
int measureStart(int argc, char **argv, bool bare)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    SilentBox box;
    std::unique_ptr<QWidget> window;
    if (bare) {
        window = std::make_unique<QWidget>();
        window->resize(1369, 712);
        new QLabel(QStringLiteral("Perforon"), window.get());
    } else {
        window = std::make_unique<TForm1>(box);
    }

    FirstPaint firstPaint;
    app.installEventFilter(&firstPaint);
    window->show();
    QApplication::exec();
    std::printf("%.3f %ld\n", double(clock.nsecsElapsed()) / 1e6, residentKiB());
    return 0;
}

struct StartFigures
{
    double ms;
    double kib;
};

StartFigures startFigures(const QString &program, const char *which)
{
    std::vector<double> ms, kib;
    for (int run = 0; run < StartRuns; ++run) {
        QProcess child;
        child.start(program, {QStringLiteral("--start"), QString::fromLatin1(which)});
        child.waitForFinished(60000);
        const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
        if (fields.size() == 2) {
            ms.push_back(fields.at(0).toDouble());
            kib.push_back(fields.at(1).toDouble());
        }
    }
    return {median(ms), median(kib)};
}

double timeMs(const std::function<void()> &step)
{
    QElapsedTimer clock;
    clock.start();
    step();
    QApplication::processEvents(); // the repaint the step scheduled
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--start") == 0)
        return measureStart(argc, argv, qstrcmp(argv[2], "bare") == 0);

    QApplication app(argc, argv);
    const QString program = QApplication::applicationFilePath();
    const StartFigures bare = startFigures(program, "bare");
    const StartFigures perforon = startFigures(program, "perforon");
    std::printf("Start-up to first frame (median of %d): Perforon %.1f ms, bare window %.1f ms, ratio %.2f\n",
                StartRuns, perforon.ms, bare.ms, perforon.ms / bare.ms);
    std::printf("Resident memory after it: Perforon %.1f MiB, bare window %.1f MiB, difference %.1f MiB\n",
                perforon.kib / 1024, bare.kib / 1024, (perforon.kib - bare.kib) / 1024);

    SilentBox box;
    TForm1 form(box);
    form.show();
    QApplication::processEvents();
    const QString line =
        QStringLiteral("THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ")
            .left(80);
    std::vector<double> punch, clear;
    for (int run = 0; run < StepRuns; ++run) {
        form.InputMemo->setPlainText(line);
        QApplication::processEvents();
        punch.push_back(timeMs([&form] { form.ReadyBtnClick(); }));
        clear.push_back(timeMs([&form] { form.RetryBtnClick(); }));
    }
    std::printf("Punch 80 columns and repaint (median of %d): %.3f ms\n", StepRuns, median(punch));
    std::printf("Clear the card and repaint (median of %d): %.3f ms\n", StepRuns, median(clear));

    QString large;
    large.reserve(1 << 20);
    while (large.size() < (1 << 20))
        large += QStringLiteral("HOLZ 42 a ");
    std::vector<double> paste, test, count, punchLarge;
    for (int run = 0; run < LargeRuns; ++run) {
        form.RetryBtnClick();
        QApplication::processEvents();
        QApplication::clipboard()->setText(large);
        paste.push_back(timeMs([&form] { form.InputMemo->paste(); }));
        test.push_back(timeMs([&form] { form.TestBtnClick(); }));
        count.push_back(timeMs([&form] { form.CounterBtnClick(); }));
        punchLarge.push_back(timeMs([&form] { form.ReadyBtnClick(); }));
    }
    std::printf("1 MiB pasted (median of %d): paste %.1f ms, test %.1f ms, count %.1f ms, punch %.1f ms\n",
                LargeRuns, median(paste), median(test), median(count), median(punchLarge));
    return 0;
}

#include "bench_perforon.moc"
