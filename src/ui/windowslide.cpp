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
    step_ = step;
    stepsLeft_ = WindowsMove() ? steps : 0;
    done_ = std::move(done);
    if (stepsLeft_ == 0) {
        Finish();
        return;
    }
    timer_.start(intervalMs);
}

void WindowSlide::Step()
{
    if (left_) left_->move(left_->x() - step_, left_->y());
    if (right_) right_->move(right_->x() + step_, right_->y());
    if (right_) right_->repaint();  // each step shows, even when the loop is busy
    if (--stepsLeft_ <= 0) Finish();
}

void WindowSlide::Finish()
{
    // A slide cut short still ends where it would have.
    if (left_) left_->move(left_->x() - step_ * stepsLeft_, left_->y());
    if (right_) right_->move(right_->x() + step_ * stepsLeft_, right_->y());
    stepsLeft_ = 0;
    timer_.stop();
    const std::function<void()> done = std::move(done_);
    done_ = nullptr;
    if (done) done();
    emit ended();
}

}  // namespace chronivel
