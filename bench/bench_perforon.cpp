// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the program against a bare Qt window of the same size holding one
// label: start-up to the first painted frame and resident memory, each in a
// fresh process, the two started in turn so that both meet the same load on
// the machine. Then the punch and clear steps with their repaint, resident
// memory over 10 000 whole operator cycles, and the steps on a pasted text
// of 1 MiB. Run it on the offscreen platform:
//
//     QT_QPA_PLATFORM=offscreen build/bench/bench_perforon

#include "glyph.h"
#include "recordingmessagebox.h"
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
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int StartPairs = 21;
constexpr int StepRuns = 50;
constexpr int WarmCycles = 100;
constexpr int Cycles = 10000;
constexpr int LargeRuns = 3;

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

// The value at fraction q of the sorted values: 0 the least, 0.5 the median.
double quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[std::size_t(std::lround(q * double(values.size() - 1)))];
}

double median(const std::vector<double> &values)
{
    return quantile(values, 0.5);
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
    RecordingMessageBox box;
    std::unique_ptr<QWidget> window;
    if (bare) {
        window = std::make_unique<QWidget>();
        window->resize(1369, 712);
        new QLabel(QStringLiteral("Perforon"), window.get());
    } else {
        QApplication::setWindowIcon(programIcon()); // as the program starts
        window = std::make_unique<TForm1>(box);
    }

    FirstPaint firstPaint;
    app.installEventFilter(&firstPaint);
    window->show();
    QApplication::exec();
    std::printf("%.3f %ld\n", double(clock.nsecsElapsed()) / 1e6, residentKiB());
    return 0;
}

struct Start
{
    double ms = 0;
    double kib = 0;
};

Start start(const QString &program, const char *which)
{
    QProcess child;
    child.start(program, {QStringLiteral("--start"), QString::fromLatin1(which)});
    child.waitForFinished(60000);
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 2)
        return {};
    return {fields.at(0).toDouble(), fields.at(1).toDouble()};
}

// Starts the bare window and Perforon in turn, each pair in the other order
// than the last, and prints the medians and the spread of the ratios.
void compareStarts(const QString &program)
{
    std::vector<double> bareMs, ownMs, ratios, bareKib, ownKib;
    for (int pair = 0; pair < StartPairs; ++pair) {
        Start bare, own;
        if (pair % 2 == 0) {
            bare = start(program, "bare");
            own = start(program, "perforon");
        } else {
            own = start(program, "perforon");
            bare = start(program, "bare");
        }
        if (bare.ms <= 0 || own.ms <= 0)
            continue;
        bareMs.push_back(bare.ms);
        ownMs.push_back(own.ms);
        ratios.push_back(own.ms / bare.ms);
        bareKib.push_back(bare.kib);
        ownKib.push_back(own.kib);
    }
    std::printf(
        "Start-up to first frame (median of %zu interleaved pairs): Perforon %.1f ms, bare window %.1f ms\n",
        ratios.size(), median(ownMs), median(bareMs));
    std::printf("  ratio of the pairs: median %.2f, quartiles %.2f to %.2f, range %.2f to %.2f\n",
                median(ratios), quantile(ratios, 0.25), quantile(ratios, 0.75), quantile(ratios, 0),
                quantile(ratios, 1));
    std::printf("Resident memory after it: Perforon %.1f MiB, bare window %.1f MiB, difference %.1f MiB\n",
                median(ownKib) / 1024, median(bareKib) / 1024, (median(ownKib) - median(bareKib)) / 1024);
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
    compareStarts(QApplication::applicationFilePath());

    RecordingMessageBox box;
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

    // Whole cycles as an operator runs them, with one or two rejections
    // while punching: three or four boxes, each answered at once.
    long warmKib = 0;
    int wrongCycles = 0;
    for (int cycle = 1; cycle <= Cycles; ++cycle) {
        const bool twoRejections = cycle % 2 == 0;
        form.InputMemo->setPlainText(twoRejections ? QStringLiteral("HOLZ a 42 b")
                                                   : QStringLiteral("HOLZ a 42"));
        form.TestBtnClick();
        form.CounterBtnClick();
        form.ReadyBtnClick();
        QApplication::processEvents();
        form.RetryBtnClick();
        QApplication::processEvents();
        if (box.takeBoxes().size() != (twoRejections ? 4 : 3))
            ++wrongCycles;
        if (cycle == WarmCycles)
            warmKib = residentKiB();
    }
    const long cycledKib = residentKiB();
    std::printf(
        "Resident memory after %d and %d whole cycles: %.2f MiB and %.2f MiB, difference %.2f MiB%s\n",
        WarmCycles, Cycles, double(warmKib) / 1024, double(cycledKib) / 1024,
        double(cycledKib - warmKib) / 1024, wrongCycles ? " (some cycles showed the wrong boxes)" : "");

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
