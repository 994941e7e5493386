// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick bench/peers measures the program against: the least a Qt
// Widgets program can do to show a running time, one QLabel set from a 10 ms
// timer. Kept bare on purpose; anything added here flatters the comparison.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QString>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel label;
    label.setWindowTitle(QStringLiteral("labelclock"));
    QElapsedTimer elapsed;
    const auto show = [&] {
        const qint64 ms = elapsed.elapsed();
        // hh:mm.ss,mmm as the program's first format shows it
        label.setText(QStringLiteral("%1:%2.%3,%4")
                          .arg(ms / 3'600'000 % 100, 2, 10, QLatin1Char('0'))
                          .arg(ms / 60'000 % 60, 2, 10, QLatin1Char('0'))
                          .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
                          .arg(ms % 1000, 3, 10, QLatin1Char('0')));
    };
    elapsed.start();
    show();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &label, show);
    timer.start(10);
    label.show();
    return app.exec();
}
