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

    cbBud = new QCheckBox(tr("Alarm on"), this);
    cbBud->setObjectName(QStringLiteral("cbBud"));
    cbBud->setAccessibleName(tr("Alarm on"));
    seHH = Field(this, "seHH", tr("Hours"), 23);
    seMM = Field(this, "seMM", tr("Minutes"), 59);
    seSS = Field(this, "seSS", tr("Seconds"), 59);

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
    fields->addWidget(cbBud);
    fields->addWidget(seHH);
    fields->addWidget(Separator(this, "Label1"));
    fields->addWidget(seMM);
    fields->addWidget(Separator(this, "Label2"));
    fields->addWidget(seSS);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(due_, 1);
    bottom->addWidget(cancel_);
    auto* all = new QVBoxLayout(this);
    all->addLayout(fields);
    all->addWidget(problem_);
    all->addLayout(bottom);
    all->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(cbBud, seHH);
    setTabOrder(seHH, seMM);
    setTabOrder(seMM, seSS);
    setTabOrder(seSS, cancel_);

    connect(cancel_, &QPushButton::clicked, this, &TFormBud::Cancel);
    connect(cbBud, &QCheckBox::toggled, this, &TFormBud::ShowDue);
    for (QSpinBox* field : {seHH, seMM, seSS}) connect(field, &QSpinBox::textChanged, this, &TFormBud::ShowDue);
    clock_.setInterval(1000);
    connect(&clock_, &QTimer::timeout, this, &TFormBud::ShowDue);

    ShowAlarmTime();
}

void TFormBud::ShowAlarmTime()
{
    const AlarmClock& alarm = app_.Alarm();
    seHH->setValue(alarm.Hours());
    seMM->setValue(alarm.Minutes());
    seSS->setValue(alarm.Seconds());
}

void TFormBud::showEvent(QShowEvent* event)
{
    // After it has rung, the alarm is off and the box shows it.
    cbBud->setChecked(app_.Alarm().Armed());
    problem_->hide();
    ShowDue();
    clock_.start();
    QDialog::showEvent(event);
    cbBud->setFocus();
}

void TFormBud::hideEvent(QHideEvent* event)
{
    clock_.stop();
    QDialog::hideEvent(event);
}

QString TFormBud::EmptyField() const
{
    const std::pair<const QSpinBox*, QString> fields[] = {
        {seHH, tr("The hours field is empty: enter 0 to 23.")},
        {seMM, tr("The minutes field is empty: enter 0 to 59.")},
        {seSS, tr("The seconds field is empty: enter 0 to 59.")},
    };
    for (const auto& [field, words] : fields)
        if (IsEmpty(*field)) return words;
    return {};
}

void TFormBud::ShowDue()
{
    if (!EmptyField().isEmpty())
        due_->clear();
    else if (!cbBud->isChecked())
        due_->setText(tr("Off"));
    else
        due_->setText(tr("Rings %1").arg(QString::fromStdString(
            app_.AlarmDueText(seHH->value(), seMM->value(), seSS->value()))));
}

void TFormBud::Apply()
{
    QString refused = EmptyField();
    if (refused.isEmpty())
        refused = QString::fromStdString(app_.SetAlarm(cbBud->isChecked(), seHH->value(), seMM->value(), seSS->value()));
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

void TFormBud::reject()
{
    Apply();
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
