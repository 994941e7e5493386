// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/livecard.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/chronivelapp.h"
#include "ui/abovemainwindow.h"
#include "ui/liveview.h"

namespace chronivel {

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

LiveCard::LiveCard(ChronivelApp& app, LiveView& live, QWidget* parent)
    : QDialog(parent), app_(app), live_(live),
      on_(Named(new QCheckBox(tr("&Show the time on phones and screens in this network")), "liveOn")),
      port_(Named(new QSpinBox, "livePort")),
      localOnly_(Named(new QCheckBox(tr("Only on &this computer")), "liveLocalOnly")),
      links_(Named(new QLabel, "liveLinks")),
      qr_(Named(new QLabel, "liveQr")),
      copy_(Named(new QPushButton(tr("&Copy link")), "liveCopy")),
      viewers_(Named(new QLabel, "liveViewers")),
      newLink_(Named(new QPushButton(tr("&New link")), "liveNewLink")),
      problem_(Named(new QLabel, "liveProblem"))
{
    setObjectName(QStringLiteral("LiveViewCard"));
    setWindowTitle(tr("Live view"));
    KeepAboveMainWindow(*this);
    port_->setRange(1, 65'535);
    port_->setAccessibleName(tr("Port"));
    links_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    qr_->setAccessibleName(tr("QR code of the link"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #c00000;"));
    newLink_->setToolTip(tr("A new secret link: every page open now stops, the old link no longer works"));
    auto* about = new QLabel(tr("Whoever has the link sees the running time, the laps and today's runs, and "
                                "can change nothing. A new link, or turning this off, ends every open view."));
    about->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(tr("&Port:"), port_);
    form->addRow(QString(), localOnly_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->addButton(copy_, QDialogButtonBox::ActionRole);
    buttons->addButton(newLink_, QDialogButtonBox::ActionRole);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* part : std::initializer_list<QWidget*>{on_, about}) layout->addWidget(part);
    layout->addLayout(form);
    for (QWidget* part : std::initializer_list<QWidget*>{links_, qr_, viewers_, problem_}) layout->addWidget(part);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(on_, &QCheckBox::toggled, this, [this] { Apply(app_.Kept().liveToken); });
    connect(localOnly_, &QCheckBox::toggled, this, [this] { Apply(app_.Kept().liveToken); });
    connect(port_, &QSpinBox::editingFinished, this, [this] { Apply(app_.Kept().liveToken); });
    connect(newLink_, &QPushButton::clicked, this, [this] { Apply(LiveView::NewToken()); });
    connect(copy_, &QPushButton::clicked, this, [this] {
        if (const QStringList links = live_.Links(); !links.isEmpty()) QGuiApplication::clipboard()->setText(links.first());
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(&live_, &LiveView::changed, this, &LiveCard::Show);
    Show();
}

void LiveCard::Apply(const std::string& token)
{
    app_.SetLiveView(on_->isChecked(), port_->value(), token, localOnly_->isChecked());
}

void LiveCard::Show()
{
    const Settings& s = app_.Kept();
    const QSignalBlocker quietOn(on_), quietLocal(localOnly_);
    on_->setChecked(s.liveView);
    localOnly_->setChecked(s.liveLocalOnly);
    if (!port_->hasFocus()) port_->setValue(s.livePort);
    const QStringList links = live_.Links();
    links_->setText(links.join(QLatin1Char('\n')));
    links_->setVisible(!links.isEmpty());
    // Whole pixels a module: a scaled code with soft edges reads badly.
    const QImage code = links.isEmpty() ? QImage() : live_.QrCode(links.first());
    qr_->setPixmap(code.isNull() ? QPixmap() : QPixmap::fromImage(code.scaled(code.size() * 5)));
    qr_->setVisible(!code.isNull());
    copy_->setEnabled(!links.isEmpty());
    newLink_->setEnabled(live_.Serving());
    viewers_->setText(tr("Viewers: %1").arg(live_.Viewers()));
    viewers_->setVisible(live_.Serving());
    problem_->setText(live_.Problem());
    problem_->setVisible(!live_.Problem().isEmpty());
}

}  // namespace chronivel
