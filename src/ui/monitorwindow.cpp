// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/monitorwindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

#include <initializer_list>

#include "core/bigdigitlayout.h"
#include "ui/face.h"
#include "ui/framedigit.h"

namespace chronivel {

namespace {

// Escape as a key or as a typed character (an input method may send only the text).
bool IsEscape(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Escape || event.text() == QStringLiteral("\x1b");
}

void Paint(QWidget* widget, const QColor& background, const QColor& text)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
}

QLabel* Caption(const QString& text, const char* name, Qt::Alignment alignment, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(alignment);
    return label;
}

void Place(QWidget* widget, const BigBox& box)
{
    widget->setGeometry(box.left, box.top, box.width, box.height);
}

// The font's size in pixels, as the window system makes it.
int SetPointSize(QWidget* widget, int points)
{
    QFont font = widget->font();
    font.setPointSize(points);
    widget->setFont(font);
    return QFontInfo(font).pixelSize();
}

// The height of a line of the widget's font: room for its descenders too.
int LineHeight(const QWidget* widget)
{
    return QFontMetrics(widget->font()).height();
}

// A row of big digits as one piece of text, as the main readout is: its
// digits and marks are pictures of the text, not controls of their own.
class RowAccessible final : public QAccessibleWidget {
public:
    explicit RowAccessible(TFrameDigit* row) : QAccessibleWidget(row, QAccessible::StaticText) {}

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text kind) const override
    {
        const auto* row = static_cast<const TFrameDigit*>(widget());
        const auto* window = qobject_cast<const TFormMonitor2*>(row->window());
        if ((kind == QAccessible::Name || kind == QAccessible::Value) && window) return window->RowText(row);
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* RowInterface(const QString&, QObject* object)
{
    auto* row = qobject_cast<TFrameDigit*>(object);
    return row ? new RowAccessible(row) : nullptr;
}

}  // namespace

TFormMonitor2::TFormMonitor2(const QString& dateText, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    QAccessible::installFactory(&RowInterface);  // once: a factory installed already is skipped
    setObjectName(QStringLiteral("FormMonitor2"));
    setWindowTitle(QStringLiteral("Monitor 2"));
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    setFont(font);
    Paint(this, Qt::black, Qt::white);
    // Children inherit the cursor: no pointer anywhere over the big display.
    setCursor(Qt::BlankCursor);

    panel1_ = new QWidget(this);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panelTimer_ = new QWidget(panel1_);
    panelTimer_->setObjectName(QStringLiteral("PanelTimer"));
    for (QWidget* panel : {panel1_, panelTimer_}) Paint(panel, Qt::black, Qt::white);

    panelTitle_ = Caption(dateText, "PanelTitle", Qt::AlignCenter, panelTimer_);
    Paint(panelTitle_, QColor(0, 0, 128), Qt::white);
    panelLab1_ = new QWidget(panelTimer_);
    panelLab1_->setObjectName(QStringLiteral("PanelLab1"));
    label2_ = Caption(QStringLiteral(" Time:"), "Label2", Qt::AlignLeft | Qt::AlignVCenter, panelLab1_);
    frameDigit1_ = new TFrameDigit(TFrameDigit::Row::Time, panelTimer_);
    frameDigit1_->setObjectName(QStringLiteral("FrameDigit1"));
    panelLab2_ = new QWidget(panelTimer_);
    panelLab2_->setObjectName(QStringLiteral("PanelLab2"));
    labelLap_ = Caption(QStringLiteral(" Lap:"), "LabelLap", Qt::AlignLeft | Qt::AlignVCenter, panelLab2_);
    for (QWidget* panel : {panelLab1_, panelLab2_}) Paint(panel, Qt::black, QColor(0, 255, 0));
    frameDigit2_ = new TFrameDigit(TFrameDigit::Row::Lap, panelTimer_);
    frameDigit2_->setObjectName(QStringLiteral("FrameDigit2"));
    panelBottom_ = Caption(QStringLiteral("Orvantis"), "PanelBottom", Qt::AlignCenter, panelTimer_);
    Paint(panelBottom_, QColor(192, 192, 192), Qt::black);
    LayoutMonitor();
}

void TFormMonitor2::ShowTime(std::int64_t value, const ReadoutDigits& shown)
{
    time_ = value;
    frameDigit1_->ShowValue(value, shown);
}

void TFormMonitor2::ShowLap(std::int64_t value, const ReadoutDigits& shown)
{
    lap_ = value;
    frameDigit2_->ShowValue(value, shown);
}

QString TFormMonitor2::RowText(const TFrameDigit* row) const
{
    return QString::fromStdString(TimeText(row == frameDigit2_ ? lap_ : time_, row->Format()));
}

void TFormMonitor2::SetLapCaption(const QString& caption)
{
    labelLap_->setText(caption);
}

void TFormMonitor2::SetFormat(const TimeFormat& format)
{
    frameDigit1_->SetFormat(format);
    frameDigit2_->SetFormat(format);
    LayoutMonitor();
}

void TFormMonitor2::LayoutMonitor()
{
    panel1_->setGeometry(rect());
    panelTimer_->setGeometry(panel1_->rect());
    const MonitorFonts fonts = MonitorFontSizes(width());
    SetPointSize(panelTitle_, fonts.title);
    int panelPixels = 0;
    for (QWidget* panel : std::initializer_list<QWidget*>{panelLab1_, panelLab2_, panelBottom_})
        panelPixels = SetPointSize(panel, fonts.panels);
    const MonitorRows rows = LayoutMonitorRows(width(), height(), LineHeight(panelTitle_), panelPixels);
    Place(panelTitle_, rows.title);
    Place(panelLab1_, rows.lab1);
    label2_->setGeometry(panelLab1_->rect());
    Place(panelLab2_, rows.lab2);
    labelLap_->setGeometry(panelLab2_->rect());
    Place(panelBottom_, rows.bottom);
    // Placing a frame lays it out only when its size changes; the format may have.
    Place(frameDigit1_, rows.frame1);
    frameDigit1_->FrameResize();
    Place(frameDigit2_, rows.frame2);
    frameDigit2_->FrameResize();
}

bool TFormMonitor2::PlaceOnMonitor(int index)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (index < 0 || index >= screens.size()) return false;
    monitor_ = index;
    const bool onTop = index != 0;
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) != onTop) {
        // Changing a window's flags hides it.
        const bool shown = isVisible();
        setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        if (shown) show();
    }
    setScreen(screens[index]);
    setGeometry(screens[index]->geometry());
    // Wayland places no window where it asks: only full screen goes to the monitor chosen.
    if (OnWayland()) setWindowState(Qt::WindowFullScreen);
    LayoutMonitor();
    return true;
}

bool TFormMonitor2::event(QEvent* event)
{
    // Escape is also the main window's key (it closes the calendar) for the
    // whole program; here it is this window's own. The program's other keys
    // (Enter, Space, …) still reach their commands from here.
    if (event->type() == QEvent::ShortcutOverride && IsEscape(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void TFormMonitor2::keyPressEvent(QKeyEvent* event)
{
    if (IsEscape(*event)) {
        close();
        emit escaped();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFormMonitor2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // On the primary monitor it covers the main window: take the keys, so Escape works.
    if (monitor_ == 0) activateWindow();
}

}  // namespace chronivel
