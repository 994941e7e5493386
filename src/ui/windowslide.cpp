// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windowslide.h"

#include <QGuiApplication>

namespace chronivel {

WindowSlide::WindowSlide(QObject* parent) : QObject(parent)
{
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &WindowSlide::Step);
}

bool WindowSlide::WindowsMove()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void WindowSlide::Run(QWidget& left, QWidget& right, int step, int steps, int intervalMs, std::function<void()> done)
{
    if (Running()) Finish();
    left_ = &left;
    right_ = &right;
    leftStart_ = left.pos();
    rightStart_ = right.pos();
    step_ = step;
    steps_ = WindowsMove() ? steps : 0;
    stepsDone_ = 0;
    whenDone_ = std::move(done);
    if (steps_ == 0) {
        Finish();
        return;
    }
    timer_.start(intervalMs);
}

void WindowSlide::Place(int steps)
{
    const QPoint offset(step_ * steps, 0);
    if (left_) left_->move(leftStart_ - offset);
    if (right_) right_->move(rightStart_ + offset);
}

void WindowSlide::Step()
{
    Place(++stepsDone_);
    if (right_) right_->repaint();  // each step shows, even when the loop is busy
    if (stepsDone_ >= steps_) Finish();
}

void WindowSlide::Finish()
{
    Place(steps_);  // a slide cut short still ends where it would have
    timer_.stop();
    const std::function<void()> done = std::move(whenDone_);
    whenDone_ = nullptr;
    if (done) done();
    emit ended();
}

}  // namespace chronivel
