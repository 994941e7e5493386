// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/noticeline.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "core/chronivelapp.h"
#include "ui/messagebox.h"

namespace chronivel {

namespace {

bool AnyProblem(const Notices& notices)
{
    return std::any_of(notices.All().begin(), notices.All().end(),
                       [](const Notice& n) { return n.kind == Notice::Kind::Problem; });
}

}  // namespace

NoticeLine::NoticeLine(ChronivelApp& app, QWidget& window) : QLabel(&window), app_(app), window_(window)
{
    setObjectName(QStringLiteral("NoticeLine"));
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    setFrameShape(QFrame::Box);
    setMargin(2);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(tr("Notice"));
    setAccessibleDescription(
        tr("What happened while nobody may have been at the keyboard. Click it for the whole text."));
    retry_ = new QToolButton(this);
    retry_->setObjectName(QStringLiteral("NoticeRetry"));
    retry_->setText(tr("Retry"));
    retry_->setFocusPolicy(Qt::NoFocus);
    retry_->hide();
    connect(retry_, &QToolButton::clicked, this, [this] {
        const std::vector<Notice>& all = app_.Told().All();
        const auto newest = std::find_if(all.rbegin(), all.rend(), [](const Notice& n) { return n.retry; });
        if (newest != all.rend()) app_.Retry(newest->topic);
    });
    app_.AddView(*this);
    hide();
}

NoticeLine::~NoticeLine()
{
    app_.RemoveView(*this);
    delete details_;
}

void NoticeLine::NoticesChanged()
{
    // Also for a terminal or a log, where it stays after the window has gone.
    for (const Notice& notice : app_.Told().All())
        if (std::find(logged_.begin(), logged_.end(), notice) == logged_.end()) qWarning("%s", notice.text.c_str());
    logged_ = app_.Told().All();
    Show();
    if (details_) ShowDetails();  // open: with what is there now
}

void NoticeLine::Show()
{
    const Notices& notices = app_.Told();
    if (notices.Empty()) return hide();
    QPalette colours = palette();
    // Amber for what is still wrong, pale blue for news: both readable on the dark face and half transparent.
    colours.setColor(QPalette::Window, AnyProblem(notices) ? QColor(255, 204, 64) : QColor(200, 224, 255));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    QString tip;
    for (auto notice = notices.All().rbegin(); notice != notices.All().rend(); ++notice)
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n\n")) + QString::fromStdString(notice->text);
    setToolTip(tip);
    const bool retry = std::any_of(notices.All().begin(), notices.All().end(), [](const Notice& n) { return n.retry; });
    retry_->setVisible(retry);
    int room = contentsRect().width();
    if (retry) {
        QFont small = font();
        small.setPixelSize(std::max(1, font().pixelSize() * 7 / 8));
        retry_->setFont(small);
        const int width = retry_->fontMetrics().horizontalAdvance(retry_->text()) + 8;
        retry_->setGeometry(this->width() - width - 2, 2, width, height() - 4);
        room -= width + 2;
    }
    const int more = static_cast<int>(notices.All().size()) - 1;
    const Notice& newest = notices.All().back();
    // A warning sign for what is wrong, an information sign for news.
    QString line = (newest.kind == Notice::Kind::Problem ? QStringLiteral("\u26A0 ") : QStringLiteral("\u2139 ")) +
                   QString::fromStdString(newest.headline);
    if (more > 0) line += tr(" (+%1)").arg(more);
    setText(fontMetrics().elidedText(line, Qt::ElideRight, room));
    setAccessibleDescription(tip + u'\n' + tr("Click it for the whole text."));
    show();
    raise();
}

void NoticeLine::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    if (!app_.Told().Empty()) Show();  // elided anew for the width
}

void NoticeLine::mousePressEvent(QMouseEvent* event)
{
    if (details_) CloseDetails();
    else ShowDetails();
    event->accept();
}

void NoticeLine::ShowDetails()
{
    // Later: this may run from a click on one of its own buttons.
    if (details_) details_->deleteLater();
    const Notices& notices = app_.Told();
    if (notices.Empty()) return;
    // A tooltip's kind of window: above the always-on-top window, never
    // activated, and no window manager places or decorates it.
    details_ = new QFrame(&window_, Qt::ToolTip | Qt::FramelessWindowHint);
    details_->setObjectName(QStringLiteral("NoticeDetails"));
    details_->setAttribute(Qt::WA_ShowWithoutActivating);
    details_->setFocusPolicy(Qt::NoFocus);
    details_->setFrameShape(QFrame::Box);
    const QRect screen = (window_.screen() ? window_.screen() : QGuiApplication::primaryScreen())->availableGeometry();
    const int width = std::min(480, screen.width() - 16);
    auto* rows = new QVBoxLayout(details_);
    for (auto notice = notices.All().rbegin(); notice != notices.All().rend(); ++notice) {
        auto* text = new QLabel(FittedText(QString::fromStdString(notice->text), fontMetrics(), width), details_);
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setFocusPolicy(Qt::NoFocus);
        text->setMaximumWidth(width);
        rows->addWidget(text);
        if (notice->retry) {
            auto* retry = new QPushButton(tr("Retry"), details_);
            retry->setObjectName(QStringLiteral("NoticeRetry"));
            retry->setFocusPolicy(Qt::NoFocus);
            const NoticeTopic topic = notice->topic;
            connect(retry, &QPushButton::clicked, this, [this, topic] { app_.Retry(topic); });
            rows->addWidget(retry, 0, Qt::AlignLeft);
        }
    }
    auto* close = new QPushButton(tr("Close"), details_);
    close->setObjectName(QStringLiteral("NoticeClose"));
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QPushButton::clicked, this, &NoticeLine::CloseDetails);
    rows->addWidget(close, 0, Qt::AlignRight);
    details_->adjustSize();
    // Beside the window, where the running time stays in sight; over it
    // only on a screen with no room on either side. A very long text is cut
    // to the screen's height.
    const QRect main = window_.frameGeometry();
    QRect placed(QPoint(main.right() + 4, mapToGlobal(QPoint(0, 0)).y()),
                 details_->sizeHint().boundedTo(screen.size()));
    if (placed.right() > screen.right()) placed.moveRight(main.left() - 4);
    if (placed.left() < screen.left()) placed.moveTopLeft(mapToGlobal(QPoint(0, height())));
    placed.moveLeft(std::clamp(placed.left(), screen.left(), screen.right() - placed.width() + 1));
    placed.moveTop(std::clamp(placed.top(), screen.top(), screen.bottom() - placed.height() + 1));
    details_->setGeometry(placed);
    details_->show();
}

void NoticeLine::CloseDetails()
{
    if (details_) details_->deleteLater();
    details_ = nullptr;
    app_.NoticesRead();
}

}  // namespace chronivel
