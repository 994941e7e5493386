// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace chronivel {

class ChronivelApp;
class MainMenus;
class SerialPorts;

// The "Hardware" menu, a view of the model's light barriers: its marks, the
// ports the system has now, and the clicks on them handed to the model.
class BarrierPort final : public QObject {
    Q_OBJECT
public:
    BarrierPort(ChronivelApp& app, MainMenus& menus, const SerialPorts& ports, QObject* parent = nullptr);

    // Port choice: a device path (COMn on Windows), or empty for none.
    void ChoosePort(const QString& device);

    // A port the user has just chosen would not open: the system's reason.
    std::function<void(const QString&)> reportChoiceFailed;

private:
    void Choose(const QString& device, int number);
    void ListPorts();

    ChronivelApp& app_;
    MainMenus& menus_;
    const SerialPorts& ports_;
};

}  // namespace chronivel
