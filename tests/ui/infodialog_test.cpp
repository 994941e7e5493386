// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/infodialog.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace chronivel {
namespace {

QString LabelText(const InfoDialog& dialog, const char* name)
{
    const auto* label = dialog.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QString();
}

TEST(InfoDialog, IsTheModalInformationWindow)
{
    InfoDialog dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("TFormInfo"));
    EXPECT_TRUE(dialog.isModal());
}

TEST(InfoDialog, ShowsNameVersionAndAWordAboutTheProgram)
{
    InfoDialog dialog;
    const QString version = LabelText(dialog, "lVersion");
    // The version comes from the build, with the date it was built.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+(\\.\\d+)*, built \\d{4}-\\d{2}-\\d{2}$"))
                    .match(version)
                    .hasMatch())
        << version.toStdString();
    EXPECT_TRUE(LabelText(dialog, "lContact").contains(QStringLiteral("time things for real")));
}

// The program names itself after its file ("chronivel", or "relay" for a
// renamed copy), but the dialog is about the product.
TEST(InfoDialog, NamesTheProductWhateverTheFileIsCalled)
{
    const QString before = QCoreApplication::applicationName();
    for (const QString& file : {QStringLiteral("chronivel"), QStringLiteral("relay")}) {
        QCoreApplication::setApplicationName(file);
        InfoDialog dialog;
        EXPECT_EQ(LabelText(dialog, "lName").toStdString(), "Chronivel") << file.toStdString();
        EXPECT_TRUE(LabelText(dialog, "lContact").startsWith(QStringLiteral("Chronivel \u2014")))
            << LabelText(dialog, "lContact").toStdString();
    }
    QCoreApplication::setApplicationName(before);
}

TEST(InfoDialog, CloseButtonClosesIt)
{
    InfoDialog dialog;
    dialog.show();
    ASSERT_TRUE(dialog.isVisible());
    auto* close = dialog.findChild<QPushButton*>(QStringLiteral("bClose"));
    ASSERT_NE(close, nullptr);
    QSignalSpy finished(&dialog, &QDialog::finished);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(finished.count(), 1);
}

TEST(InfoDialog, EscClosesIt)
{
    InfoDialog dialog;
    dialog.show();
    ASSERT_TRUE(dialog.isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace chronivel
