// SPDX-License-Identifier: GPL-3.0-or-later
#include "gallery.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <functional>

#include "ui/buttonglyphs.h"
#include "ui/colorbutton.h"
#include "ui/ovalbutton.h"

namespace chronivel::gallery {

namespace {

// The colour the dial face has around the controls, so the oval's corners show what lies behind.
const QColor kBackdrop(70, 96, 128);
constexpr int kPad = 3;

// A button on a patch of backdrop, as it stands on the window face.
struct Stage {
    QWidget backdrop;
    explicit Stage(QSize button)
    {
        backdrop.setAutoFillBackground(true);
        QPalette palette = backdrop.palette();
        palette.setColor(QPalette::Window, kBackdrop);
        backdrop.setPalette(palette);
        backdrop.resize(button + QSize(2 * kPad, 2 * kPad));
    }
};

void SaveBoth(QWidget& widget, const QDir& folder, const QString& name)
{
    Save(widget, folder, name, 1);
    Save(widget, folder, name + QStringLiteral("_x4"), 4);
}

void Send(QWidget& target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, target.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

// A loudspeaker on a magenta ground (the bottom-left pixel makes magenta transparent).
QImage Speaker(int size, bool sound)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(QColor(255, 0, 255));
    QPainter painter(&image);
    const int u = size / 8;
    painter.fillRect(u, 3 * u, 2 * u, 2 * u, Qt::black);
    const QPoint cone[] = {{3 * u, 3 * u}, {5 * u, u}, {5 * u, 7 * u - 1}, {3 * u, 5 * u - 1}};
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPolygon(cone, 4);
    painter.setPen(QPen(Qt::black, 1));
    if (sound) {
        painter.drawLine(6 * u, 3 * u, 6 * u, 5 * u - 1);
        painter.drawLine(7 * u, 2 * u, 7 * u, 6 * u - 1);
    } else {
        painter.setPen(QPen(Qt::red, 1));
        painter.drawLine(u, u, 7 * u, 7 * u - 1);
    }
    return image;
}

// OK and Cancel pictures side by side: normal, then the greyed disabled one.
QImage TwoImageGlyph(bool tick)
{
    const int s = 15;
    QImage image(2 * s, s, QImage::Format_ARGB32);
    image.fill(QColor(0, 128, 128));
    QPainter painter(&image);
    for (int i = 0; i < 2; ++i) {
        painter.setPen(QPen(i == 0 ? (tick ? QColor(0, 128, 0) : QColor(192, 0, 0)) : QColor(128, 128, 128), 2));
        const int x = i * s;
        if (tick) {
            painter.drawLine(x + 3, 8, x + 6, 11);
            painter.drawLine(x + 6, 11, x + 12, 3);
        } else {
            painter.drawLine(x + 3, 3, x + 11, 11);
            painter.drawLine(x + 11, 3, x + 3, 11);
        }
    }
    return image;
}

// Every state of one oval button set up by `setUp`, as name_state.png.
void OvalStates(const QDir& folder, const QString& name, QSize size, const std::function<void(TOvalButton&)>& setUp)
{
    auto shoot = [&](const QString& state, const std::function<void(TOvalButton&)>& drive) {
        Stage stage(size);
        auto* button = new TOvalButton(&stage.backdrop);
        button->setGeometry(QRect(QPoint(kPad, kPad), size));
        setUp(*button);
        if (drive) drive(*button);
        SaveBoth(stage.backdrop, folder, name + QLatin1Char('_') + state);
    };
    const auto centreOf = [](TOvalButton& b) { return QPoint(b.width() / 2, b.height() / 2); };
    shoot(QStringLiteral("normal"), {});
    shoot(QStringLiteral("hover"), [&](TOvalButton& b) { Send(b, QEvent::MouseMove, centreOf(b), Qt::NoButton, Qt::NoButton); });
    shoot(QStringLiteral("pressed"), [&](TOvalButton& b) {
        Send(b, QEvent::MouseButtonPress, centreOf(b), Qt::LeftButton, Qt::LeftButton);
    });
    shoot(QStringLiteral("disabled"), [](TOvalButton& b) { b.setEnabled(false); });
    shoot(QStringLiteral("flat"), [](TOvalButton& b) { b.SetFlat(true); });
    shoot(QStringLiteral("flat_hover"), [&](TOvalButton& b) {
        b.SetFlat(true);
        Send(b, QEvent::MouseMove, centreOf(b), Qt::NoButton, Qt::NoButton);
    });
}

void OvalButtons(const QDir& folder)
{
    OvalStates(folder, QStringLiteral("oval_menu"), {33, 33}, [](TOvalButton& b) { b.setToolTip(QStringLiteral("Main Menu")); });
    OvalStates(folder, QStringLiteral("oval_minimize"), {25, 25}, [](TOvalButton& b) {
        QFont font = b.font();
        font.setPointSize(10);
        font.setBold(true);
        b.setFont(font);
        b.SetCaption(QStringLiteral("_"));
    });
    OvalStates(folder, QStringLiteral("oval_sound"), {25, 25}, [](TOvalButton& b) {
        b.SetGlyph(Speaker(16, true));
        b.SetNumGlyphs(1);
    });
    // Larger than its oval, as the sound button is at zoom 1: centred and clipped.
    OvalStates(folder, QStringLiteral("oval_sound_large_glyph"), {25, 25}, [](TOvalButton& b) {
        b.SetGlyph(Speaker(31, false));
        b.SetNumGlyphs(1);
    });
    OvalStates(folder, QStringLiteral("oval_ok"), {27, 27}, [](TOvalButton& b) {
        b.SetGlyph(TwoImageGlyph(true));
        b.SetNumGlyphs(2);
    });
    OvalStates(folder, QStringLiteral("oval_cancel"), {27, 27}, [](TOvalButton& b) {
        b.SetGlyph(TwoImageGlyph(false));
        b.SetNumGlyphs(2);
    });
    OvalStates(folder, QStringLiteral("oval_caption_glyph"), {100, 50}, [](TOvalButton& b) {
        b.SetGlyph(TwoImageGlyph(true));
        b.SetNumGlyphs(2);
        b.SetCaption(QStringLiteral("&OK"));
        b.SetColor(QColor(255, 255, 128));
    });
    OvalStates(folder, QStringLiteral("oval_red"), {60, 40}, [](TOvalButton& b) {
        b.SetColor(QColor(220, 40, 40));
        b.SetCaption(QStringLiteral("Stop"));
    });
}

// Every state of one coloured button set up by `setUp`, as name_state.png.
void ColourStates(const QDir& folder, const QString& name, QSize size, const std::function<void(TBitBtnWithColor&)>& setUp)
{
    auto shoot = [&](const QString& state, const std::function<void(TBitBtnWithColor&)>& drive) {
        Stage stage(size);
        auto* button = new TBitBtnWithColor(&stage.backdrop);
        button->setGeometry(QRect(QPoint(kPad, kPad), size));
        setUp(*button);
        if (drive) drive(*button);
        SaveBoth(stage.backdrop, folder, name + QLatin1Char('_') + state);
    };
    shoot(QStringLiteral("normal"), {});
    shoot(QStringLiteral("pressed"), [](TBitBtnWithColor& b) { b.setDown(true); });
    shoot(QStringLiteral("disabled"), [](TBitBtnWithColor& b) { b.setEnabled(false); });
    shoot(QStringLiteral("focused"), [](TBitBtnWithColor& b) {
        b.window()->show();
        b.window()->activateWindow();
        QApplication::processEvents();
        b.setFocus();
        QApplication::processEvents();
    });
    shoot(QStringLiteral("focused_pressed"), [](TBitBtnWithColor& b) {
        b.window()->show();
        b.window()->activateWindow();
        QApplication::processEvents();
        b.setFocus();
        b.setDown(true);
        QApplication::processEvents();
    });
}

void ColourButtons(const QDir& folder)
{
    auto caption = [](const QString& text, int points, const QColor& colour) {
        return [=](TBitBtnWithColor& b) {
            QFont font = b.font();
            font.setPointSize(points);
            b.setFont(font);
            b.setText(text);
            b.SetColor(colour);
        };
    };
    ColourStates(folder, QStringLiteral("colour_start"), {58, 25}, caption(QStringLiteral("START"), 9, QColor(0, 255, 0)));
    ColourStates(folder, QStringLiteral("colour_stop"), {58, 25}, caption(QStringLiteral("STOP"), 9, QColor(255, 0, 0)));
    ColourStates(folder, QStringLiteral("colour_reset"), {58, 25}, caption(QStringLiteral("RESET"), 9, QColor(255, 255, 0)));
    ColourStates(folder, QStringLiteral("colour_lap"), {57, 25}, caption(QStringLiteral("&Lap"), 10, QApplication::palette().color(QPalette::Button)));
    ColourStates(folder, QStringLiteral("colour_pause"), {19, 25}, [](TBitBtnWithColor& b) {
        b.SetColor(QColor(255, 0, 0));
        b.SetGlyph(PauseGlyph());
    });
    ColourStates(folder, QStringLiteral("colour_play"), {19, 25}, [](TBitBtnWithColor& b) {
        b.SetColor(QColor(255, 0, 0));
        b.SetGlyph(PlayGlyph());
    });
    ColourStates(folder, QStringLiteral("colour_glyph_caption"), {90, 30}, [](TBitBtnWithColor& b) {
        b.SetGlyph(PlayGlyph());
        b.setText(QStringLiteral("Play"));
        b.SetColor(QColor(128, 200, 255));
    });
}

}  // namespace

void ButtonGallery(const QDir& folder)
{
    OvalButtons(folder);
    ColourButtons(folder);
}

}  // namespace chronivel::gallery
