// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <cstdint>
#include <optional>

class QInputEvent;

namespace chronivel {

class InputEventTimes;

// When the user pressed the key or mouse button being handled now, as the
// window system stamped the press: a command then counts from the press, not
// from when a busy program got round to it. Watches every event of the
// application; without the times of the window system's clock (SetTimes),
// or where a stamp cannot be believed, there is no moment and the command
// counts from when it is carried out.
class InputMoments final : public QObject {
public:
    explicit InputMoments(QObject* parent = nullptr);
    ~InputMoments() override;

    void SetTimes(InputEventTimes* times) { times_ = times; }

    // The counter reading of the press being handled: a shortcut's key, a
    // button's mouse press. None between a release and the next press.
    std::optional<std::int64_t> PressAt() { return press_ ? CounterAt(*press_) : std::nullopt; }
    std::optional<std::int64_t> CounterAt(const QInputEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<std::int64_t> CounterAt(std::uint64_t timestamp);

    InputEventTimes* times_ = nullptr;
    std::optional<std::uint64_t> press_;
};

}  // namespace chronivel
