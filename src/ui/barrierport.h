#pragma once

#include <QObject>
#include <QString>

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
    void ChooseAlgorithm(int algorithm);
    void ChooseArrangement(int arrangement);

    // Marks and enabling after the model changed.
    void ShowMarks();

private:
    void ListPorts();

    ChronivelApp& app_;
    MainMenus& menus_;
    const SerialPorts& ports_;
};

}  // namespace chronivel
