// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>
#include <vector>

#include "core/monitorchoice.h"

class QScreen;

namespace chronivel {

// The system's monitors as the model numbers them: Qt's order of screens
// (the primary first), each at its size in device pixels.
std::vector<MonitorSize> ScreenSizes();

// Calls `changed` whenever a monitor comes, goes, becomes the primary one or
// changes its size, so that the model can follow a projector plugged in or
// pulled out while the program runs.
class MonitorWatch final : public QObject {
    Q_OBJECT
public:
    MonitorWatch(std::function<void()> changed, QObject* parent);

private:
    void Watch(QScreen* screen);

    std::function<void()> changed_;
};

}  // namespace chronivel
