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
    EXPECT_EQ(LabelText(dialog, "lName"), QCoreApplication::applicationName().isEmpty()
                                              ? QStringLiteral("Chronivel")
                                              : QCoreApplication::applicationName());
    const QString version = LabelText(dialog, "lVersion");
    // The version comes from the build, with the date it was built.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+(\\.\\d+)*, built \\d{4}-\\d{2}-\\d{2}$"))
                    .match(version)
                    .hasMatch())
        << version.toStdString();
    EXPECT_TRUE(LabelText(dialog, "lContact").contains(QStringLiteral("time things for real")));
}

TEST(InfoDialog, NamesChronivelWhenTheApplicationHasNoName)
{
    const QString before = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QString());
    const QString empty = QCoreApplication::applicationName();
    const QString shown = InfoDialog::ProgramName();
    QCoreApplication::setApplicationName(before);
    // Qt may fall back to the program's file name by itself; only a truly empty name is ours to fill.
    EXPECT_EQ(shown, empty.isEmpty() ? QStringLiteral("Chronivel") : empty);
    EXPECT_FALSE(shown.isEmpty());
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
