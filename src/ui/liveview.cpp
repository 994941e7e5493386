// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/liveview.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QPointer>
#include <QRandomGenerator>

#include <stdexcept>

#include "core/chronivelapp.h"
#include "core/localetexts.h"
#include "core/protocol.h"
#include "core/protocollog.h"
#include "core/runnumbers.h"
#include "core/scheduler.h"

namespace chronivel {

LiveView::LiveView(ChronivelApp& app, THighResTimer& timer, ProtocolLog& protocol, Scheduler& scheduler,
                   const LocaleTexts& locale, QStringList moduleFolders)
    : app_(app), protocol_(protocol), scheduler_(scheduler), locale_(locale), moduleFolders_(std::move(moduleFolders)),
      feed_(app.Clock(), timer)
{
    app_.AddView(*this);
    Follow();
}

LiveView::~LiveView()
{
    app_.RemoveView(*this);
}

QStringList LiveView::ModuleFolders()
{
    const QString here = QCoreApplication::applicationDirPath();
    return {here, QDir(here).filePath(QStringLiteral(CHRONIVEL_LIVE_MODULE_DIR))};
}

std::string LiveView::NewToken()
{
    // 128 bits from the system's source: a link nobody guesses.
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex().toStdString();
}

QStringList LiveView::Links() const
{
    QStringList links;
    if (!server_) return links;
    for (const QString& host : server_->Hosts())
        links << QStringLiteral("http://%1:%2/v/%3").arg(host).arg(served_.port).arg(QString::fromStdString(served_.token));
    return links;
}

void LiveView::Changed()
{
    Follow();
    if (server_)
        for (const std::string& message : feed_.Changes()) server_->Broadcast(QByteArray::fromStdString(message));
}

void LiveView::RunRecorded(const std::vector<std::string>& run)
{
    if (!server_) return;
    daysRuns_.push_back(run);
    server_->Broadcast(QByteArray::fromStdString(LiveFeed::Run(run)));
}

void LiveView::Follow()
{
    const Settings& s = app_.Kept();
    if (s.liveView && !UsableLiveToken(s.liveToken))  // none yet, or spoilt by hand
        return app_.SetLiveView(true, s.livePort, NewToken(), s.liveLocalOnly);
    const Served wanted{s.liveView, s.livePort, s.liveToken, s.liveLocalOnly};
    if (wanted == served_) return;
    served_ = wanted;
    server_.reset();  // a new port, link or reach ends every open view
    problem_.clear();
    app_.ClearNotice(NoticeTopic::LiveView);
    if (wanted.on) Start();
    emit changed();
}

void LiveView::Start()
{
    MakeLiveServer make = nullptr;
    for (const QString& folder : moduleFolders_) {
        QLibrary module(QDir(folder).filePath(QStringLiteral("chronivel-live")));
        if ((make = reinterpret_cast<MakeLiveServer>(module.resolve(MakeLiveServerSymbol)))) break;
        problem_ = module.errorString();
    }
    if (make) {
        server_.reset(make({[this] {
                                // A view left on overnight starts the new day without yesterday's runs.
                                std::erase_if(daysRuns_, [today = locale_.Now().shortDate](const auto& run) {
                                    return run.empty() || !RunNumberOn(run.front(), today);
                                });
                                return QByteArray::fromStdString(feed_.Hello(daysRuns_));
                            },
                            [this](qint64 id) { return QByteArray::fromStdString(feed_.Pong(id)); },
                            [this] { emit changed(); }}));
        problem_ = server_->Listen(static_cast<quint16>(served_.port), served_.localOnly,
                                   QString::fromStdString(served_.token));
    } else {
        problem_ = tr("The live view cannot start: its part chronivel-live is missing (%1).").arg(problem_);
    }
    if (!problem_.isEmpty()) {
        server_.reset();
        // Off, and said so where it does not take a key from a run.
        served_.on = false;
        app_.SetLiveView(false, served_.port, served_.token, served_.localOnly);
        app_.Tell({NoticeTopic::LiveView, Notice::Kind::Problem, "Live view off", problem_.toStdString()});
        return;
    }
    feed_.Changes();
    ReadDaysRuns();
}

void LiveView::ReadDaysRuns()
{
    // A long protocol is read aside; runs recorded meanwhile come after it.
    auto runs = std::make_shared<std::vector<std::vector<std::string>>>();
    const std::string path = app_.ProtocolPath(), day = locale_.Now().shortDate;
    scheduler_.Aside(
        [&protocol = protocol_, runs, path, day] {
            try {
                if (protocol.Exists(path)) *runs = RunsOfDay(ProtocolFileToText(protocol.Read(path)), day);
            } catch (const std::runtime_error&) {
                // The viewers see today's runs from now on; the protocol's own window tells what is wrong with it.
            }
        },
        [self = QPointer<LiveView>(this), runs] {
            if (self) self->daysRuns_.insert(self->daysRuns_.begin(), runs->begin(), runs->end());
        });
}

}  // namespace chronivel
