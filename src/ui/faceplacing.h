// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

#include "core/windowlayout.h"

namespace chronivel {

// The face was designed at 96 dots per inch; sizes in points keep that
// relation to the window's pixels on every screen.
inline QFont FaceFont(const QString& family, int points, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(points * 96 / 72);
    font.setBold(bold);
    return font;
}

inline void PlaceAt(QWidget* widget, const Box& box)
{
    widget->setGeometry(box.left, box.top, box.width, box.height);
}

}  // namespace chronivel
