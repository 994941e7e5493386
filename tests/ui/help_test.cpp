// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include "core/displayformat.h"
#include "core/keyguide.h"
#include "tests/ui/mainwindow_fixture.h"

namespace chronivel {
namespace {

struct Page {
    QString text;        // every character outside the tags
    QSet<QString> ids;   // anchors others may link to
    QStringList links;   // every href and src
    QString error;       // empty when the page parsed as well-formed markup
};

Page ReadPage(const QString& path)
{
    Page page;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        page.error = QStringLiteral("cannot open");
        return page;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto attributes = xml.attributes();
            if (attributes.hasAttribute(QStringLiteral("id")))
                page.ids.insert(attributes.value(QStringLiteral("id")).toString());
            for (const char* name : {"href", "src"}) {
                const QString key = QLatin1String(name);
                if (attributes.hasAttribute(key)) page.links << attributes.value(key).toString();
            }
        } else if (xml.isCharacters()) {
            page.text += xml.text().toString();
        }
    }
    if (xml.hasError()) page.error = xml.errorString() + QStringLiteral(" at line %1").arg(xml.lineNumber());
    return page;
}

// The manual as the program running these tests finds it.
QString ManualPath()
{
    return FindManual(QCoreApplication::applicationDirPath());
}

QDir ManualDir()
{
    return QFileInfo(ManualPath()).absoluteDir();
}

// The desktop's programs as far as Chronivel sees them: what is handed to
// them arrives here. Without it the offscreen platform the tests run on
// opens nothing, as a desktop without a browser or an editor would.
class Desktop final : public QObject {
    Q_OBJECT
public:
    Desktop() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
    ~Desktop() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    Q_INVOKABLE void Open(const QUrl& url) { opened << url; }

    QList<QUrl> opened;
};

class HelpKeysTest : public testing::MainWindowFixture {
protected:
    void Key(QKeyCombination key) { QTest::keyClick(window.get(), key.key(), key.keyboardModifiers()); }
    static QString Quoted(const QString& path) { return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"'); }
};

QMap<QString, Page> AllPages()
{
    QMap<QString, Page> pages;
    const QDir dir = ManualDir();
    for (const QString& name : dir.entryList({QStringLiteral("*.html")}, QDir::Files))
        pages.insert(name, ReadPage(dir.filePath(name)));
    return pages;
}

TEST(Help, ManualIsFoundFromTheTestProgramsFolder)
{
    const QString path = ManualPath();
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(QFileInfo(path).isFile());
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("index.html"));
}

TEST(Help, ManualIsFoundBesideAnInstalledProgram)
{
    // The manual's place below the build folder is its place below an installed prefix.
    QDir build(QCoreApplication::applicationDirPath());
    ASSERT_TRUE(build.cdUp());
    const QString below = build.relativeFilePath(ManualPath());
    ASSERT_FALSE(below.startsWith(QStringLiteral("..")));

    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    QDir root(prefix.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(root.mkpath(QFileInfo(below).path()));
    QFile page(root.filePath(below));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();

    EXPECT_EQ(FindManual(root.filePath(QStringLiteral("bin"))), QDir::cleanPath(root.filePath(below)));
}

TEST(Help, PortableCopyKeepsTheManualInItsOwnFolder)
{
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    QDir dir(program.path());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("help")));
    QFile page(dir.filePath(QStringLiteral("help/index.html")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();

    EXPECT_EQ(FindManual(program.path()), QDir::cleanPath(dir.filePath(QStringLiteral("help/index.html"))));
}

TEST(Help, MissingManualGivesNoPath)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    QDir dir(empty.path());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("a/b/c/d")));
    EXPECT_TRUE(FindManual(dir.filePath(QStringLiteral("a/b/c/d"))).isEmpty());
    EXPECT_TRUE(FindManual(QString()).isEmpty());
}

// The message names both places the manual is looked for, and either one, put
// there, is found: the installed one and the portable copy's help folder.
class MissingManual : public ::testing::TestWithParam<int> {};

TEST_P(MissingManual, IsNamedWhereTheProgramLooksForIt)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    QDir root(prefix.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("bin")));
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString problem = OpenManual(bin);
    ASSERT_TRUE(problem.startsWith(QStringLiteral("The manual is not installed: neither \""))) << problem.toStdString();
    const QString named = problem.section(QLatin1Char('"'), 1 + 2 * GetParam(), 1 + 2 * GetParam());

    ASSERT_TRUE(QDir().mkpath(QFileInfo(named).path()));
    QFile page(named);
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    EXPECT_EQ(FindManual(bin), QDir::fromNativeSeparators(named));
}

INSTANTIATE_TEST_SUITE_P(Help, MissingManual, ::testing::Values(0, 1));

TEST_F(HelpKeysTest, F1OpensTheManualInTheBrowserOrSaysWhyNot)
{
    Start();
    const QString manual = ManualPath();
    ASSERT_FALSE(manual.isEmpty());
    Key(Qt::Key_F1);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], QStringLiteral("The manual %1 could not be opened: no web browser is set up.").arg(Quoted(manual)));

    errors.clear();
    Desktop desktop;
    Key(Qt::Key_F1);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(manual)});
}

TEST_F(HelpKeysTest, CtrlNOpensTheProtocolInATextEditorOrSaysWhyNot)
{
    Start();
    Key(Qt::CTRL | Qt::Key_N);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], QStringLiteral("The protocol file %1 does not exist yet: it is written when the first run stops.")
                             .arg(Quoted(ProtocolPath())));

    QFile protocol(ProtocolPath());
    ASSERT_TRUE(protocol.open(QIODevice::WriteOnly));
    protocol.close();
    errors.clear();
    Key(Qt::CTRL | Qt::Key_N);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0],
              QStringLiteral("No text editor could be started for the protocol file %1.").arg(Quoted(ProtocolPath())));

    errors.clear();
    Desktop desktop;
    Key(Qt::CTRL | Qt::Key_N);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(ProtocolPath())});
}

TEST(Help, EveryPageIsWellFormed)
{
    const auto pages = AllPages();
    ASSERT_GE(pages.size(), 2);
    ASSERT_TRUE(pages.contains(QStringLiteral("index.html")));
    for (auto it = pages.cbegin(); it != pages.cend(); ++it)
        EXPECT_TRUE(it->error.isEmpty()) << it.key().toStdString() << ": " << it->error.toStdString();
}

TEST(Help, EveryLinkLeadsToAPlaceInTheManual)
{
    const auto pages = AllPages();
    const QDir dir = ManualDir();
    int checked = 0;
    for (auto it = pages.cbegin(); it != pages.cend(); ++it) {
        for (const QString& link : it->links) {
            const std::string where = it.key().toStdString() + ": " + link.toStdString();
            // The manual must work offline, at a track without network.
            EXPECT_FALSE(link.contains(QStringLiteral("://")) || link.startsWith(QStringLiteral("//")) ||
                         link.startsWith(QStringLiteral("mailto:")))
                << where;
            const qsizetype hash = link.indexOf(QLatin1Char('#'));
            const QString file = hash < 0 ? link : link.left(hash);
            const QString anchor = hash < 0 ? QString() : link.mid(hash + 1);
            const QString target = file.isEmpty() ? it.key() : file;
            EXPECT_TRUE(QFileInfo(dir.filePath(target)).isFile()) << where;
            if (!anchor.isEmpty()) {
                ASSERT_TRUE(pages.contains(target)) << where;
                EXPECT_TRUE(pages.value(target).ids.contains(anchor)) << where;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST(Help, EveryPageIsReachableFromTheStartPage)
{
    const auto pages = AllPages();
    QSet<QString> seen{QStringLiteral("index.html")};
    QStringList queue{QStringLiteral("index.html")};
    while (!queue.isEmpty()) {
        const QString name = queue.takeFirst();
        for (const QString& link : pages.value(name).links) {
            const QString file = link.section(QLatin1Char('#'), 0, 0);
            if (file.endsWith(QStringLiteral(".html")) && !seen.contains(file)) {
                seen.insert(file);
                queue << file;
            }
        }
    }
    for (auto it = pages.cbegin(); it != pages.cend(); ++it)
        EXPECT_TRUE(seen.contains(it.key())) << it.key().toStdString();
}

TEST(Help, ManualNamesEveryKey)
{
    QString all;
    for (const Page& page : AllPages()) all += page.text + QLatin1Char('\n');
    QStringList keys;
    for (const KeyGuideRow& row : KeyGuide())
        keys << QString::fromStdString(ShownKeys(RowOf(row.command), row.background)).split(QStringLiteral(", "));
    for (const HotKeyRow& hot : HotKeyTable()) keys << QString::fromStdString(HotKeyText(hot.key));
    for (const QString& key : keys) EXPECT_TRUE(all.contains(key)) << key.toStdString();
}

TEST(Help, ManualExplainsTheWorkedLapExample)
{
    QString all;
    for (const Page& page : AllPages()) all += page.text;
    EXPECT_TRUE(all.contains(QStringLiteral("LAP 2 = 25,000 (+12,655) 12,655")));
    EXPECT_TRUE(all.contains(QStringLiteral("STOP: = 30,500 (+18,155)  5,500 \u00d8 10,166")));
    for (const DisplayFormat& format : DisplayFormats)
        EXPECT_TRUE(all.contains(QLatin1String(format.caption))) << format.caption;
}

}  // namespace
}  // namespace chronivel

#include "help_test.moc"
