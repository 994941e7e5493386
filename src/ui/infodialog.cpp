// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/infodialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/abovemainwindow.h"

#ifndef CHRONIVEL_VERSION
#define CHRONIVEL_VERSION "unknown"
#endif
#ifndef CHRONIVEL_BUILD_DATE
#define CHRONIVEL_BUILD_DATE "unknown"
#endif

namespace chronivel {

InfoDialog::InfoDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormInfo"));
    setModal(true);
    KeepAboveMainWindow(*this);
    setWindowTitle(tr("Info"));

    auto* name = new QLabel(ProductName(), this);
    name->setObjectName(QStringLiteral("lName"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);

    auto* version = new QLabel(VersionText(), this);
    version->setObjectName(QStringLiteral("lVersion"));
    version->setAlignment(Qt::AlignCenter);

    auto* about = new QLabel(
        tr("%1 \u2014 a chronometer for people who time things for real.\n"
           "For the coach at the track, the gym teacher on a projector\n"
           "and the race official who needs a record of every run.\n\n"
           "Press F1 for the manual.")
            .arg(ProductName()),
        this);
    about->setObjectName(QStringLiteral("lContact"));
    about->setAlignment(Qt::AlignCenter);
    about->setWordWrap(true);

    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("bClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(about);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    // Esc is QDialog's own reject, so it needs nothing here.
}

QString InfoDialog::ProductName()
{
    return QStringLiteral("Chronivel");
}

QString InfoDialog::Version()
{
    return QStringLiteral(CHRONIVEL_VERSION);
}

QString InfoDialog::VersionText()
{
    return tr("Version %1, built %2").arg(Version(), QStringLiteral(CHRONIVEL_BUILD_DATE));
}

}  // namespace chronivel
