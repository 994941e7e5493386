// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QTimer>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace chronivel {

class ChronivelApp;

// The alarm clock's dialog: a box that arms it and the time of day it rings.
// Closing it (Escape, Enter, the close box) sets what it shows; a time the
// model refuses keeps it open with the words next to the fields, and Cancel
// closes it keeping the alarm as it was.
class TFormBud final : public QDialog {
    Q_OBJECT

public:
    // The fields show the model's alarm time as it is now: made after the settings are loaded.
    explicit TFormBud(ChronivelApp& app, QWidget* parent = nullptr);

    // Escape and the close box come here.
    void reject() override { Apply(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Apply();
    void Cancel();
    void ShowAlarmTime();
    // The line under the fields: when the alarm shown would ring.
    void ShowDue();
    // Words for an empty field, which the model never sees; "" when all are filled.
    QString EmptyField() const;

    ChronivelApp& app_;
    QCheckBox* alarmOn_;
    QSpinBox* hoursField_;
    QSpinBox* minutesField_;
    QSpinBox* secondsField_;
    QLabel* problem_;
    QLabel* due_;
    QPushButton* cancel_;
    QTimer clock_;  // today becomes tomorrow as the time passes
};

}  // namespace chronivel
