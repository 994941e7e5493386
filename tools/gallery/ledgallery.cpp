// SPDX-License-Identifier: GPL-3.0-or-later
#include "gallery.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>

#include "ui/led.h"

namespace chronivel::gallery {
namespace {

// Lighter than the grey rim, so the rim stays visible against it.
const QColor kMidGrey(160, 160, 160);

void PaintGrey(QWidget& widget)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, kMidGrey);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

// Zoom 1 as on screen, zoom 8 to count pixels.
void SaveBoth(QWidget& widget, const QDir& folder, const QString& name)
{
    Save(widget, folder, name, 1);
    Save(widget, folder, name + QStringLiteral("-x8"), 8);
}

}  // namespace

void LedGallery(const QDir& folder)
{
    const struct {
        TLedKind kind;
        const char* name;
    } kinds[] = {{lkRed, "red"}, {lkGreen, "green"}, {lkYellow, "yellow"}, {lkBlue, "blue"}, {lkWhite, "white"}};
    const struct {
        TLedShape shape;
        const char* name;
    } shapes[] = {{lsCircle, "circle"}, {lsRectangle, "rectangle"}};

    QWidget background;
    PaintGrey(background);
    TLed led(&background);
    for (const auto& kind : kinds) {
        led.SetKind(kind.kind);
        for (const auto& shape : shapes) {
            led.SetShape(shape.shape);
            for (const bool lit : {false, true}) {
                led.SetValue(lit);
                SaveBoth(led, folder,
                         QStringLiteral("led-%1-%2-%3").arg(kind.name, shape.name, lit ? "lit" : "dark"));
            }
        }
    }

    // The light barriers' STOP lock: a short red rectangle without its lower rim.
    TLed lock(&background);
    lock.SetShape(lsRectangle);
    lock.resize(16, 12);
    for (const bool lit : {false, true}) {
        lock.SetValue(lit);
        SaveBoth(lock, folder, QStringLiteral("led-lock-%1").arg(lit ? "lit" : "dark"));
    }

    // The mode switch with the label it names.
    QWidget mode;
    PaintGrey(mode);
    auto* layout = new QHBoxLayout(&mode);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* countDown = new TLed(&mode);
    auto* labelSC = new QLabel(&mode);
    layout->addWidget(countDown);
    layout->addWidget(labelSC);
    countDown->SetKind(lkGreen);
    countDown->SetLabelLinked(labelSC);
    countDown->SetLabelOnText(QStringLiteral("CountDown"));
    countDown->SetLabelOffText(QStringLiteral("Chronivel"));
    countDown->SetValue(true);
    mode.adjustSize();
    SaveBoth(mode, folder, QStringLiteral("led-countdown-label"));
}

}  // namespace chronivel::gallery
