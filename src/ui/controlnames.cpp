// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controlnames.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QWidget>

#include <optional>

#include "core/keyguide.h"

namespace chronivel {

namespace {

struct ControlText {
    const char* object;
    const char* name;         // empty: the control's caption names it
    const char* description;  // empty: the control's hint describes it; %1: the keys of `keys`
    std::optional<Command> keys = {};
};

constexpr ControlText kControls[] = {
    {"Image1", QT_TRANSLATE_NOOP("ControlNames", "Clock face"),
     QT_TRANSLATE_NOOP("ControlNames", "Drag it with the mouse to move the window")},
    {"lbl_Tickmor", "", QT_TRANSLATE_NOOP("ControlNames", "The time of the chronometer. Laps and the stop are announced.")},
    {"PanelDate", "", QT_TRANSLATE_NOOP("ControlNames", "Today's date. Click it for the calendar.")},
    {"sbBud", QT_TRANSLATE_NOOP("ControlNames", "Alarm clock"),
     QT_TRANSLATE_NOOP("ControlNames", "Sets the alarm clock (%1)"), Command::AlarmClock},
    {"cmd_StartStop", "", QT_TRANSLATE_NOOP("ControlNames", "Starts, stops and resets the run (%1)"),
     Command::StartStopReset},
    {"bPause", QT_TRANSLATE_NOOP("ControlNames", "Pause or continue"), ""},
    {"cmd_LAP", QT_TRANSLATE_NOOP("ControlNames", "Lap"), QT_TRANSLATE_NOOP("ControlNames", "Takes a lap time (%1)"),
     Command::Lap},
    {"LabelBest1", "", QT_TRANSLATE_NOOP("ControlNames", "The best time follows")},
    {"LabelBest2", "", QT_TRANSLATE_NOOP("ControlNames", "The best time follows")},
    {"lbl_Leader", "", QT_TRANSLATE_NOOP("ControlNames", "The best time. Double click it to clear it.")},
    {"cmb_Zwischenzeit", QT_TRANSLATE_NOOP("ControlNames", "Lap list"),
     QT_TRANSLATE_NOOP("ControlNames", "The start, the laps and the stop of the run")},
    {"LabelSC", "", QT_TRANSLATE_NOOP("ControlNames", "The mode. Click it to switch between counting up and down.")},
    {"Led_CountDown", QT_TRANSLATE_NOOP("ControlNames", "Countdown mode"), ""},
    {"Ledlock", QT_TRANSLATE_NOOP("ControlNames", "Stop lock"),
     QT_TRANSLATE_NOOP("ControlNames", "Lit while the stop light barrier is locked (%1)"), Command::Lock},
    {"sbSound", QT_TRANSLATE_NOOP("ControlNames", "Sound"),
     QT_TRANSLATE_NOOP("ControlNames", "Switches the sounds on or off (%1)"), Command::Sound},
    {"MMenu", QT_TRANSLATE_NOOP("ControlNames", "Main menu"),
     QT_TRANSLATE_NOOP("ControlNames", "Opens the menu of all commands")},
    {"smMinimize", QT_TRANSLATE_NOOP("ControlNames", "Minimize"),
     QT_TRANSLATE_NOOP("ControlNames", "Minimizes the window")},
    {"MonthCalendar1", QT_TRANSLATE_NOOP("ControlNames", "Calendar"),
     QT_TRANSLATE_NOOP("ControlNames", "%1 closes the calendar"), Command::CloseCalendar},
};

// A drop-down list given a name of its own keeps it: Qt's would be the line
// shown, which belongs in the value.
class NamedListAccessible final : public QAccessibleWidget {
public:
    explicit NamedListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? List()->currentText() : QAccessibleWidget::text(kind);
    }
    // Its lines, as Qt gives them: the drop-down's view.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(List()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == List()->view() ? 0 : -1;
    }
    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction()) List()->showPopup();
    }

private:
    QComboBox* List() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* NamedListInterface(const QString&, QObject* object)
{
    auto* list = qobject_cast<QComboBox*>(object);
    return list && !list->isEditable() && !list->accessibleName().isEmpty() ? new NamedListAccessible(list) : nullptr;
}

QString Translated(const char* text)
{
    return QCoreApplication::translate("ControlNames", text);
}

}  // namespace

void NameControls(QWidget& window)
{
    QAccessible::installFactory(&NamedListInterface);  // once: a factory installed already is skipped
    for (const ControlText& control : kControls) {
        auto* widget = window.findChild<QWidget*>(QString::fromLatin1(control.object), Qt::FindDirectChildrenOnly);
        if (!widget) continue;
        if (*control.name) widget->setAccessibleName(Translated(control.name));
        if (!*control.description) continue;
        QString description = Translated(control.description);
        if (control.keys) description = description.arg(QString::fromStdString(ShownKeys(RowOf(*control.keys))));
        widget->setAccessibleDescription(description);
    }
}

}  // namespace chronivel
