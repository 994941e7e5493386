#include "ui/noticeline.h"

#include <QApplication>

#include <algorithm>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/chronivelapp.h"
#include "ui/messagebox.h"

namespace chronivel {

namespace {

bool AnyProblem(const Notices& notices)
{
    for (const Notice& notice : notices.All())
        if (notice.kind == Notice::Kind::Problem) return true;
    return false;
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
    setAccessibleDescription(tr("What happened while nobody may have been at the keyboard. Click it for the whole text."));
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
    Show();
    if (details_) ShowDetails();  // open: with what is there now
}

void NoticeLine::Show()
{
    const Notices& notices = app_.Told();
    if (notices.Empty()) {
        hide();
        return;
    }
    QPalette colours = palette();
    // Amber for what is still wrong, pale blue for news: both readable on the dark face and half transparent.
    colours.setColor(QPalette::Window, AnyProblem(notices) ? QColor(255, 204, 64) : QColor(200, 224, 255));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    QString tip;
    for (auto notice = notices.All().rbegin(); notice != notices.All().rend(); ++notice)
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n\n")) + QString::fromStdString(notice->text);
    setToolTip(tip);
    const int more = static_cast<int>(notices.All().size()) - 1;
    QString line = QStringLiteral("\u26A0 ") + QString::fromStdString(notices.All().back().headline);
    if (more > 0) line += tr(" (+%1)").arg(more);
    setText(fontMetrics().elidedText(line, Qt::ElideRight, contentsRect().width()));
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
    // Below the line, kept on the screen; a very long text is cut to the screen's height.
    QRect placed(mapToGlobal(QPoint(0, height())), details_->sizeHint().boundedTo(screen.size()));
    placed.moveLeft(std::clamp(placed.left(), screen.left(), screen.right() - placed.width()));
    if (placed.bottom() > screen.bottom()) placed.moveBottom(mapToGlobal(QPoint(0, 0)).y() - 1);
    if (placed.top() < screen.top()) placed.moveTop(screen.top());
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
