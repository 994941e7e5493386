// SPDX-License-Identifier: GPL-3.0-or-later
// How long showing the protocol window holds up the user-interface thread
// with a 20 MB protocol: the whole text put into the editor at once, as the
// window once did, against the window as it is, which reads the file on a
// thread and puts the text in piece by piece. Keys pressed meanwhile wait
// for the longest of those stretches, so that is what the counters show
// (worst_block_ms), beside the time until the whole file is in.
// Also the cost of a run recorded with the window open, and of saving an edit.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <memory>

#include "core/protocol.h"
#include "core/settingsstore.h"
#include "platform/protocolfile.h"
#include "tests/core/memorystore.h"
#include "ui/protocolwindow.h"
#include "ui/qtscheduler.h"

namespace {

using namespace chronivel;
using testing::MemoryStore;

constexpr std::size_t kFileSize = 20'000'000;

// A folder with a protocol of many ordinary runs.
class LongProtocol {
public:
    LongProtocol()
    {
        const std::string run = ProtocolBlock({"START 1 = 14:05:09 = Mo. 07.12.26", "LAP 1 = 12,345",
                                               "LAP 2 = 25,000 (+12,655) 12,655",
                                               "STOP: = 30,500 (+18,155)  5,500 \u00D8 10,166"});
        std::string bytes;
        bytes.reserve(kFileSize + run.size());
        while (bytes.size() < kFileSize) bytes += run;
        QFile file(Path());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0)
            std::abort();
    }
    QString Path() const { return dir_.filePath(QStringLiteral("Protocol.txt")); }

private:
    QTemporaryDir dir_;
};

// The longest time the event loop went without a turn while `busy` ran.
class BlockWatch {
public:
    BlockWatch()
    {
        ticker_.setInterval(0);
        QObject::connect(&ticker_, &QTimer::timeout, [this] { Tick(); });
    }
    void Start()
    {
        worst_ = 0;
        clock_.start();
        ticker_.start();
    }
    double StopMs()
    {
        Tick();
        ticker_.stop();
        return static_cast<double>(worst_) / 1e6;
    }

private:
    void Tick()
    {
        worst_ = std::max(worst_, clock_.nsecsElapsed());
        clock_.start();
    }
    QTimer ticker_;
    QElapsedTimer clock_;
    qint64 worst_ = 0;
};

// Each iteration shows the file again in the same editor, as Ctrl+P does
// after the window was hidden: the text shown before goes first.
void ShowAllAtOnce(benchmark::State& state)
{
    const LongProtocol protocol;
    QPlainTextEdit memo;
    memo.show();
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        memo.setPlainText(QString::fromStdString(ProtocolFileToText(ReadProtocol(protocol.Path().toStdString()))));
        memo.moveCursor(QTextCursor::End);
        memo.ensureCursorVisible();
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        worst = std::max(worst, ms);
        state.SetIterationTime(ms / 1e3);
    }
    state.counters["worst_block_ms"] = worst;
}
BENCHMARK(ShowAllAtOnce)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void ShowProtocolWindow(benchmark::State& state)
{
    const LongProtocol protocol;
    MemoryStore store;
    store.exists = false;
    ProtocolFile file;
    QtScheduler scheduler;
    ProtocolWindow window(store, file, scheduler, nullptr, [](const QString&) { std::abort(); });
    window.SetPathSource([&protocol] { return protocol.Path(); });
    QEventLoop loop;
    QObject::connect(&window, &ProtocolWindow::loaded, &loop, &QEventLoop::quit);
    double worst = 0;
    for (auto _ : state) {
        window.hide();
        BlockWatch watch;
        QElapsedTimer clock;
        clock.start();
        watch.Start();
        window.show();
        loop.exec();
        worst = std::max(worst, watch.StopMs());
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
    state.counters["worst_block_ms"] = worst;
}
BENCHMARK(ShowProtocolWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// A run recorded with the window open and the editor's text saved after an
// edit, each on the user-interface thread.
void RecordAndSave(benchmark::State& state)
{
    const LongProtocol protocol;
    MemoryStore store;
    store.exists = false;
    ProtocolFile file;
    QtScheduler scheduler;
    ProtocolWindow window(store, file, scheduler, nullptr, [](const QString&) { std::abort(); });
    window.SetPathSource([&protocol] { return protocol.Path(); });
    QEventLoop loop;
    QObject::connect(&window, &ProtocolWindow::loaded, &loop, &QEventLoop::quit);
    window.show();
    loop.exec();
    auto* memo = window.findChild<QPlainTextEdit*>();
    const std::vector<std::string> run = {"START 2 = 1", "STOP: = 1,0"};
    double recordMs = 0;
    double saveMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        AppendToProtocol(protocol.Path().toStdString(), ProtocolBlock(run));
        window.RunRecorded(run);
        recordMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        memo->textCursor().insertText(QStringLiteral("x"));
        clock.start();
        window.close();  // saves the edit
        saveMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        state.SetIterationTime((recordMs + saveMs) / 1e3);
        window.show();
        loop.exec();
    }
    state.counters["record_ms"] = recordMs;
    state.counters["save_ms"] = saveMs;
}
BENCHMARK(RecordAndSave)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
