// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/alarmdialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <initializer_list>
#include <iterator>

#include "core/chronivelapp.h"

namespace chronivel {

namespace {

QFont PixelFont(const QString& family)
{
    QFont font(family);
    font.setPixelSize(27);
    return font;
}

bool IsEmpty(const QSpinBox& field)
{
    return field.cleanText().trimmed().isEmpty();
}

// A field of the time. QSpinBox quietly puts its last value back into a
// field the user emptied, when Enter is pressed in it or the focus leaves it,
// and the dialog would close on that old value; this one stays empty, so
// that closing names the field instead.
class TimeField final : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (IsEmpty(*this) && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
            event->ignore();  // to the dialog, which closes if it can
            return;
        }
        QSpinBox::keyPressEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        const bool empty = IsEmpty(*this);
        QSpinBox::focusOutEvent(event);
        if (empty) lineEdit()->clear();
    }
};

QSpinBox* Field(QWidget* parent, const char* name, const QString& accessible, int maximum)
{
    auto* field = new TimeField(parent);
    field->setObjectName(QLatin1String(name));
    field->setAccessibleName(accessible);
    field->setRange(0, maximum);
    field->setValue(maximum);  // 23:59:59 until the model's time is shown
    field->setFont(PixelFont(QStringLiteral("Arial")));
    return field;
}

QLabel* Separator(QWidget* parent, const char* name)
{
    auto* label = new QLabel(QStringLiteral(":"), parent);
    label->setObjectName(QLatin1String(name));
    label->setAccessibleName(TFormBud::tr("Separator"));
    label->setFont(PixelFont(QStringLiteral("Courier New")));
    return label;
}

}  // namespace

TFormBud::TFormBud(ChronivelApp& app, QWidget* parent)
    : QDialog(parent), app_(app)
{
    setObjectName(QStringLiteral("FormBud"));
    setWindowTitle(tr("Alarm"));
    setModal(true);

    alarmOn_ = new QCheckBox(tr("Alarm on"), this);
    alarmOn_->setObjectName(QStringLiteral("cbBud"));
    alarmOn_->setAccessibleName(tr("Alarm on"));
    hoursField_ = Field(this, "seHH", tr("Hours"), 23);
    minutesField_ = Field(this, "seMM", tr("Minutes"), 59);
    secondsField_ = Field(this, "seSS", tr("Seconds"), 59);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("lbProblem"));
    problem_->setAccessibleName(tr("Why the alarm was not set"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #b00000;"));
    problem_->hide();
    due_ = new QLabel(this);
    due_->setObjectName(QStringLiteral("lbDue"));
    // Its text ("Rings today 18:00:00") is its name; a name of its own would hide it.
    due_->setAccessibleDescription(tr("When the alarm rings"));
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("btCancel"));
    cancel_->setAccessibleName(tr("Cancel"));
    cancel_->setToolTip(tr("Closes the dialog and keeps the alarm as it was"));
    cancel_->setAutoDefault(false);  // Enter sets the alarm

    auto* fields = new QHBoxLayout;
    for (QWidget* field : std::initializer_list<QWidget*>{alarmOn_, hoursField_, Separator(this, "Label1"),
                                                          minutesField_, Separator(this, "Label2"), secondsField_})
        fields->addWidget(field);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(due_, 1);
    bottom->addWidget(cancel_);
    auto* all = new QVBoxLayout(this);
    all->addLayout(fields);
    all->addWidget(problem_);
    all->addLayout(bottom);
    all->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* order[] = {alarmOn_, hoursField_, minutesField_, secondsField_, cancel_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    connect(cancel_, &QPushButton::clicked, this, &TFormBud::Cancel);
    connect(alarmOn_, &QCheckBox::toggled, this, &TFormBud::ShowDue);
    for (QSpinBox* field : {hoursField_, minutesField_, secondsField_})
        connect(field, &QSpinBox::textChanged, this, &TFormBud::ShowDue);
    clock_.setInterval(1000);
    connect(&clock_, &QTimer::timeout, this, &TFormBud::ShowDue);

    ShowAlarmTime();
}

void TFormBud::ShowAlarmTime()
{
    const AlarmClock& alarm = app_.Alarm();
    hoursField_->setValue(alarm.Hours());
    minutesField_->setValue(alarm.Minutes());
    secondsField_->setValue(alarm.Seconds());
}

void TFormBud::showEvent(QShowEvent* event)
{
    // After it has rung, the alarm is off and the box shows it.
    alarmOn_->setChecked(app_.Alarm().Armed());
    problem_->hide();
    ShowDue();
    clock_.start();
    QDialog::showEvent(event);
    alarmOn_->setFocus();
}

void TFormBud::hideEvent(QHideEvent* event)
{
    clock_.stop();
    QDialog::hideEvent(event);
}

QString TFormBud::EmptyField() const
{
    const std::pair<const QSpinBox*, QString> fields[] = {
        {hoursField_, tr("The hours field is empty: enter 0 to 23.")},
        {minutesField_, tr("The minutes field is empty: enter 0 to 59.")},
        {secondsField_, tr("The seconds field is empty: enter 0 to 59.")},
    };
    for (const auto& [field, words] : fields)
        if (IsEmpty(*field)) return words;
    return {};
}

void TFormBud::ShowDue()
{
    if (!EmptyField().isEmpty())
        due_->clear();
    else if (!alarmOn_->isChecked())
        due_->setText(tr("Off"));
    else
        due_->setText(tr("Rings %1").arg(QString::fromStdString(
            app_.AlarmDueText(hoursField_->value(), minutesField_->value(), secondsField_->value()))));
}

void TFormBud::Apply()
{
    QString refused = EmptyField();
    if (refused.isEmpty())
        refused = QString::fromStdString(app_.SetAlarm(alarmOn_->isChecked(), hoursField_->value(),
                                                       minutesField_->value(), secondsField_->value()));
    if (!refused.isEmpty()) {
        problem_->setText(refused);
        problem_->show();
        return;
    }
    QDialog::done(Accepted);
}

void TFormBud::Cancel()
{
    ShowAlarmTime();  // the next opening shows the alarm as it is
    QDialog::done(Rejected);
}

void TFormBud::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (cancel_->hasFocus())
            Cancel();
        else
            Apply();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace chronivel
