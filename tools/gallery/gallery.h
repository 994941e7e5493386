// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QString>

class QWidget;

// Draws every control in each of its states to PNG files, so anyone can look at them.
namespace chronivel::gallery {

// The widget as it shows on screen, to folder/name.png, scaled up `zoom`
// times without smoothing so single pixels stay visible.
void Save(QWidget& widget, const QDir& folder, const QString& name, int zoom = 1);

void DigitGallery(const QDir& folder);
void LedGallery(const QDir& folder);
void ButtonGallery(const QDir& folder);
void FaceGallery(const QDir& folder);

}  // namespace chronivel::gallery
