// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace chronivel {

// Makes its owner's window translucent while it is in the background and
// opaque again in front. Translucency is the window's opacity, which Wayland
// does not give a client: there the window stays opaque.
class TTransparentWnd final : public QObject {
    Q_OBJECT
public:
    // The owner is also the parent, so the component goes with its window.
    explicit TTransparentWnd(QWidget* owner);

    // Transparency in percent, kept within 0..100.
    int Percent() const { return percent_; }
    void SetPercent(int percent);

    // When on, a transparency of 0 removes the translucency instead of
    // applying a fully opaque one.
    void SetAutoOpaque(bool autoOpaque) { autoOpaque_ = autoOpaque; }

    // The owner's window made opaque.
    void Opaque() { RemoveLayering(OwnerWindow()); }
    // The owner's window made Percent percent transparent.
    void Transparent() { SetTransparency(OwnerWindow(), percent_); }

    void SetTransparency(QWidget* window, int percent) const;
    static void RemoveLayering(QWidget* window);

    // Whether the window carries a translucency of its own, even a fully
    // opaque one; RemoveLayering clears it.
    static bool IsLayered(const QWidget* window);
    // The opacity for a transparency: (100 - percent) × 255 div 100, of 255.
    static int Alpha(int percent);

private:
    QWidget* OwnerWindow() const { return owner_ ? owner_->window() : nullptr; }

    QPointer<QWidget> owner_;
    int percent_ = 50;
    bool autoOpaque_ = true;
};

}  // namespace chronivel
