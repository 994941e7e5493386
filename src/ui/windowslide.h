// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace chronivel {

// Two windows sliding apart, or back together, a few pixels at a time on the
// event loop's timer: nothing waits inside a handler while they move, so no
// command runs inside another. Where the window system does not let a window
// place itself (Wayland) there is no slide: it ends at once.
class WindowSlide final : public QObject {
    Q_OBJECT
public:
    explicit WindowSlide(QObject* parent = nullptr);

    // Each of `steps` steps, `intervalMs` apart, moves `left` left and `right`
    // right by `step` pixels (the other way for a negative step); `done` comes
    // after the last. A slide under way is finished at once first.
    void Run(QWidget& left, QWidget& right, int step, int steps, int intervalMs, std::function<void()> done);
    bool Running() const { return timer_.isActive(); }

    // Whether windows can move themselves here.
    static bool WindowsMove();

signals:
    void ended();

private:
    void Step();
    void Finish();

    QTimer timer_;
    // Where each window is at each step counts from where it began: a window
    // manager reports moves late, and a window's own idea of its place may
    // still be the one of a step before.
    void Place(int steps);

    QPointer<QWidget> left_;
    QPointer<QWidget> right_;
    QPoint leftStart_;
    QPoint rightStart_;
    int step_ = 0;
    int steps_ = 0;
    int stepsDone_ = 0;
    std::function<void()> whenDone_;
};

}  // namespace chronivel
