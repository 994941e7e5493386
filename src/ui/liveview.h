// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

#include "core/appview.h"
#include "core/livefeed.h"
#include "ui/liveserver.h"

namespace chronivel {

class ChronivelApp;
class LocaleTexts;
class ProtocolLog;
class Scheduler;

// The live view as the model sees it: one more view, on the network. It
// serves while the setting says so, and sends the viewers what changes.
class LiveView final : public QObject, public AppView {
    Q_OBJECT
public:
    // The server's module is looked for in `moduleFolders`, in order.
    LiveView(ChronivelApp& app, THighResTimer& timer, ProtocolLog& protocol, Scheduler& scheduler,
             const LocaleTexts& locale, QStringList moduleFolders = ModuleFolders());
    ~LiveView() override;

    bool Serving() const { return server_ != nullptr; }
    int Viewers() const { return server_ ? server_->Viewers() : 0; }
    // The page's address on each address of this computer that others reach.
    QStringList Links() const;
    // Why the view is off although it was turned on; empty when it is not.
    const QString& Problem() const { return problem_; }
    QImage QrCode(const QString& text) const { return server_ ? server_->QrCode(text) : QImage(); }
    // Beside the program where it was built or copied, then where the package puts it.
    static QStringList ModuleFolders();
    // A new secret: every open view ends, and the old link stops working.
    static std::string NewToken();

signals:
    // Serving, its links or its viewers changed.
    void changed();

private:
    void Changed() override;
    void RunRecorded(const std::vector<std::string>& run) override;
    // Starts or ends serving as the settings say.
    void Follow();
    void Start();
    void ReadDaysRuns();

    ChronivelApp& app_;
    ProtocolLog& protocol_;
    Scheduler& scheduler_;
    const LocaleTexts& locale_;
    const QStringList moduleFolders_;
    LiveFeed feed_;
    std::unique_ptr<LiveServer> server_;
    // What it serves with: switch, port, token, reach.
    struct Served {
        bool on = false;
        std::int32_t port = 0;
        std::string token;
        bool localOnly = false;
        friend bool operator==(const Served&, const Served&) = default;
    } served_;
    std::vector<std::vector<std::string>> daysRuns_;
    QString problem_;
};

}  // namespace chronivel
