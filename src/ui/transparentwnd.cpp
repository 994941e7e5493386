// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/transparentwnd.h"

#include <algorithm>

#include "ui/face.h"

namespace chronivel {
namespace {

// Kept on the window itself, as a style bit would be, so any component sees it.
constexpr char kLayeredProperty[] = "chronivelLayered";

void SetOpacity(QWidget& window, qreal opacity)
{
    // Wayland gives a client no opacity of its window; Qt would only complain there.
    if (!OnWayland()) window.setWindowOpacity(opacity);
}

}  // namespace

TTransparentWnd::TTransparentWnd(QWidget* owner)
    : QObject(owner)
    , owner_(owner)
{
}

void TTransparentWnd::SetPercent(int percent)
{
    percent_ = std::clamp(percent, 0, 100);
}

void TTransparentWnd::SetTransparency(QWidget* window, int percent) const
{
    if (!window) return;
    percent = std::clamp(percent, 0, 100);
    if (autoOpaque_ && percent == 0) {
        RemoveLayering(window);
        return;
    }
    window->setProperty(kLayeredProperty, true);
    SetOpacity(*window, Alpha(percent) / 255.0);
}

void TTransparentWnd::RemoveLayering(QWidget* window)
{
    if (!window) return;
    window->setProperty(kLayeredProperty, false);
    SetOpacity(*window, 1.0);
}

bool TTransparentWnd::IsLayered(const QWidget* window)
{
    return window && window->property(kLayeredProperty).toBool();
}

int TTransparentWnd::Alpha(int percent)
{
    return (100 - std::clamp(percent, 0, 100)) * 255 / 100;
}

}  // namespace chronivel
