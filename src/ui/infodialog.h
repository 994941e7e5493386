// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace chronivel {

// The program's name, version, build date and a word about it (F3).
class InfoDialog : public QDialog {
    Q_OBJECT

public:
    explicit InfoDialog(QWidget* parent = nullptr);

    // "Chronivel", whatever the executable is called: the application name,
    // which follows the file name, is for the settings and protocol files.
    static QString ProductName();
    // "0.1.0".
    static QString Version();
    // "Version 0.1.0, built 2026-12-07".
    static QString VersionText();
};

}  // namespace chronivel
