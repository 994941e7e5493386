// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace chronivel {

class ChronivelApp;
class LiveView;

// The live view's card: on or off, its links and their QR code, how many
// watch, and a new link that ends every open view. What it changes takes
// effect at once and is kept with the other settings.
class LiveCard final : public QDialog {
    Q_OBJECT
public:
    LiveCard(ChronivelApp& app, LiveView& live, QWidget* parent = nullptr);

private:
    void Show();
    void Apply(const std::string& token);

    ChronivelApp& app_;
    LiveView& live_;
    QCheckBox* on_;
    QSpinBox* port_;
    QCheckBox* localOnly_;
    QLabel* links_;
    QLabel* qr_;
    QPushButton* copy_;
    QLabel* viewers_;
    QPushButton* newLink_;
    QLabel* problem_;
};

}  // namespace chronivel
