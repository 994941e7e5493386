// SPDX-License-Identifier: GPL-3.0-or-later
#include "gallery.h"

#include <QLabel>
#include <QPainter>

#include <cstdio>

#include "core/sevensegment.h"
#include "ui/digit.h"
#include "ui/readoutglyphs.h"

namespace chronivel::gallery {

namespace {

void SavePicture(const QPixmap& picture, const QDir& folder, const QString& name, int zoom = 1)
{
    QLabel label;
    label.setPixmap(picture);
    label.setAttribute(Qt::WA_TranslucentBackground);
    label.resize(picture.size());
    Save(label, folder, name, zoom);
}

// "12:34.56,789" laid out as the main window's readout lays it out at zoom
// `zoom` (hours shown, three decimal places), every glyph drawn at its size.
QPixmap Readout(int zoom)
{
    struct Place {
        int left;
        int digit;  // -1: separator
        int separator;
    };
    const Place places[] = {{4, 1, 0},   {22, 2, 0},  {41, -1, ColonGlyph}, {49, 3, 0},
                            {67, 4, 0},  {86, -1, PointGlyph},              {94, 5, 0},
                            {112, 6, 0}, {131, -1, CommaGlyph},             {139, 7, 0},
                            {157, 8, 0}, {175, 9, 0}};
    QPixmap strip(197 * zoom, 33 * zoom);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    for (const Place& place : places) {
        const QPoint at(place.left * zoom, 4 * zoom);
        if (place.digit >= 0) {
            painter.drawPixmap(at, DigitGlyph(place.digit, DigitGlyphSize * zoom));
        } else {
            painter.drawPixmap(at, SeparatorGlyph(place.separator, SeparatorGlyphSize * zoom));
        }
    }
    return strip;
}

}  // namespace

void DigitGallery(const QDir& folder)
{
    // The second monitor's digit, at its default size and colours.
    for (int value = 0; value <= 9; ++value) {
        TDigit digit;
        digit.SetValue(value);
        Save(digit, folder, QStringLiteral("digit-%1-x4").arg(value), 4);
    }
    {
        TDigit digit;
        digit.SetValueBinary(255);
        Save(digit, folder, QStringLiteral("digit-255-x4"), 4);
    }
    {
        TDigit digit;
        digit.SetSeparation(0);
        digit.SetValue(8);
        Save(digit, folder, QStringLiteral("digit-8-separation0-x4"), 4);
    }
    {
        TDigit digit;
        digit.SetColorOn(QColor(255, 40, 40));
        digit.SetColorOff(QColor(60, 0, 0));
        digit.SetValueBinary(DigitPatterns[4] | segment::Point);
        Save(digit, folder, QStringLiteral("digit-4-point-red-unlit-shown-x4"), 4);
    }
    {
        TDigit digit;
        digit.resize(48, 96);
        digit.SetThickness(5);
        digit.SetSeparation(2);
        digit.SetValue(2);
        Save(digit, folder, QStringLiteral("digit-2-48x96-thickness5-x2"), 2);
    }
    {
        TDigit digit;
        digit.resize(80, 125);
        digit.SetColorOn(QColor(0, 255, 0));
        digit.SetColor(QColor(0, 0, 64));
        digit.SetThickness(8);
        digit.SetSeparation(3);
        digit.SetValueBinary(DigitPatterns[8] | segment::Point);
        Save(digit, folder, QStringLiteral("digit-8-point-80x125-on-navy"));
    }

    // The main window's readout and sound button glyphs.
    SavePicture(Readout(1), folder, QStringLiteral("readout-zoom1"));
    SavePicture(Readout(1), folder, QStringLiteral("readout-zoom1-x4"), 4);
    SavePicture(Readout(1), folder, QStringLiteral("readout-zoom1-stretched-x5"), 5);
    SavePicture(Readout(2), folder, QStringLiteral("readout-zoom2"));
    SavePicture(Readout(5), folder, QStringLiteral("readout-zoom5"));

    for (const bool on : {true, false}) {
        const QString name = on ? QStringLiteral("speaker-on") : QStringLiteral("speaker-off");
        SavePicture(SpeakerGlyph(on), folder, name);
        SavePicture(SpeakerGlyph(on), folder, name + QStringLiteral("-x4"), 4);
        SavePicture(SpeakerGlyph(on, SpeakerGlyphSize * 5), folder, name + QStringLiteral("-zoom5"));
    }
}

}  // namespace chronivel::gallery
