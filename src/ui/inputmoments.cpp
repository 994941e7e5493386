// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/inputmoments.h"

#include <QCoreApplication>
#include <QInputEvent>

#include "core/inputtime.h"

namespace chronivel {

InputMoments::InputMoments(QObject* parent) : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

InputMoments::~InputMoments()
{
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

std::optional<std::int64_t> InputMoments::CounterAt(const QInputEvent& event)
{
    return CounterAt(event.timestamp());
}

std::optional<std::int64_t> InputMoments::CounterAt(std::uint64_t timestamp)
{
    return times_ ? times_->CounterAt(timestamp) : std::nullopt;
}

bool InputMoments::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    // A key that is a shortcut comes as ShortcutOverride only, just before its
    // action is triggered; any other key as KeyPress.
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: press_ = static_cast<QInputEvent*>(event)->timestamp(); break;
    // A menu's entry is chosen on release: that is no press to count from.
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease: press_.reset(); break;
    default: break;
    }
    return false;
}

}  // namespace chronivel
