// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QPointer>

#include "core/appview.h"
#include "core/notices.h"

#include <vector>

class QFrame;
class QToolButton;

namespace chronivel {

class ChronivelApp;

// The one place on the main window where the program tells what happened
// while nobody may be at the keyboard. It covers the date panel while there
// is something to tell, the newest notice first; its tooltip has every word.
// A click shows the whole text in a panel of its own; where trying again
// helps (a save, the protocol) a Retry sits at the line's end. Neither ever takes the keyboard's focus: the
// chronometer's keys act on the chronometer whatever is shown here.
class NoticeLine final : public QLabel, private AppView {
    Q_OBJECT
public:
    NoticeLine(ChronivelApp& app, QWidget& window);
    ~NoticeLine() override;

    // The details panel while it shows; for the tests.
    QFrame* Details() const { return details_; }
    QToolButton* RetryButton() const { return retry_; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void NoticesChanged() override;
    void Show();
    void ShowDetails();
    void CloseDetails();

    ChronivelApp& app_;
    QWidget& window_;
    QToolButton* retry_ = nullptr;
    std::vector<Notice> logged_;  // what went to the log already
    QPointer<QFrame> details_;
};

}  // namespace chronivel
