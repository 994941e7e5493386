// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "ui/changeto.h"

class QLabel;

namespace chronivel {

enum TLedKind { lkRed, lkGreen, lkYellow, lkBlue, lkWhite };
enum TLedShape { lsCircle, lsRectangle };

// A small LED that shows on or off, drawn pixel for pixel from fixed 16 × 16
// maps scaled to its width, and optionally a label whose caption follows it. It never switches
// itself: a click only reports the click, the owner decides.
class TLed final : public QWidget {
    Q_OBJECT
public:
    explicit TLed(QWidget* parent = nullptr);

    TLedKind Kind() const { return kind_; }
    void SetKind(TLedKind kind) { if (ChangeTo(kind_, kind)) repaint(); }

    TLedShape Shape() const { return shape_; }
    void SetShape(TLedShape shape) { if (ChangeTo(shape_, shape)) repaint(); }

    bool Value() const { return value_; }
    // Repaints at once, sets the label's caption, then signals changed();
    // setting the current value does none of that.
    void SetValue(bool value);

    // Not owned; a label destroyed meanwhile reads as none.
    QLabel* LabelLinked() const { return label_.data(); }
    void SetLabelLinked(QLabel* label);

    QString LabelOnText() const { return onText_; }
    void SetLabelOnText(const QString& text);
    QString LabelOffText() const { return offText_; }
    void SetLabelOffText(const QString& text);

    // Reports a click, as the mouse does: for assistive technology, which
    // also clicks the LED through its linked label.
    void Click() { if (isEnabled()) emit clicked(this); }

    // How often the LED has painted itself, so a repaint can be seen from outside.
    int PaintCount() const { return paintCount_; }

    QSize sizeHint() const override;

signals:
    void changed(chronivel::TLed* sender);
    void clicked(chronivel::TLed* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void ShowCaption();

    TLedKind kind_ = lkRed;
    TLedShape shape_ = lsCircle;
    bool value_ = false;
    QPointer<QLabel> label_;
    QString onText_;
    QString offText_;
    bool pressed_ = false;
    int paintCount_ = 0;
};

}  // namespace chronivel
