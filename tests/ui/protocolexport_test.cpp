// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/protocolwindow.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "tests/ui/protocolwindow_fixture.h"

namespace chronivel {
namespace {

using testing::Bytes;
using testing::kRunBytes;
using testing::kSeparator;
using testing::ProtocolWindowTest;

// The program's locale for one test: it reads the dates the way it wrote them.
class LocaleForTest {
public:
    explicit LocaleForTest(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleForTest() { QLocale::setDefault(before_); }

private:
    QLocale before_;
};

TEST_F(ProtocolWindowTest, ExportCsvWritesTheFilesRuns)
{
    const LocaleForTest german(QLocale(QLocale::German, QLocale::Germany));
    Put(path, kRunBytes + "START 2 = 14:10:00 = Di. 08.12.26\r\nPAUSE = 2,000\r\n\r\n");
    const auto w = MakeWindow();
    const QString target = dir.filePath(QStringLiteral("runs.csv"));
    ASSERT_TRUE(w->ExportCsv(target));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Bytes(target),
              "Run,Date,ISO date,Start,Kind,Lap,Split,Split (s),Since first lap,Since first lap (s),Lap time,"
              "Lap time (s),Average,Average (s)\r\n"
              "1,Mo. 07.12.26,2026-12-07,14:05:09,LAP,1,\"12,345\",12.345,,,\"12,345\",12.345,,\r\n"
              "1,Mo. 07.12.26,2026-12-07,14:05:09,LAP,2,\"25,000\",25.000,\"12,655\",12.655,\"12,655\",12.655,,\r\n"
              "1,Mo. 07.12.26,2026-12-07,14:05:09,STOP,,\"30,500\",30.500,\"18,155\",18.155,\"5,500\",5.500,"
              "\"10,166\",10.166\r\n"
              "2,Di. 08.12.26,2026-12-08,14:10:00,PAUSE,,\"2,000\",2.000,,,,,,\r\n");

    const QString blocked = dir.filePath(QStringLiteral("runs.csv/out.csv"));
    EXPECT_FALSE(w->ExportCsv(blocked));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QLatin1Char('"') + blocked + QLatin1Char('"'))) << errors[0].toStdString();

    errors.clear();
    path = dir.filePath(QStringLiteral("missing.txt"));
    EXPECT_FALSE(MakeWindow()->ExportCsv(dir.filePath(QStringLiteral("other.csv"))));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot open file \""))) << errors[0].toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("other.csv"))));
}

TEST_F(ProtocolWindowTest, ExportReadsDatesInTheProgramsLocale)
{
    const LocaleForTest plain(QLocale::c());
    Put(path, "START 1 = 14:05:09 = Tue. 8 Dec 2026\r\nLAP 1 = 1.07,006\r\n"
              "START 2 = 14:10:00 = Mo. 07.12.26\r\nLAP 1 = 1,000\r\n");
    const QString target = dir.filePath(QStringLiteral("runs.csv"));
    ASSERT_TRUE(MakeWindow()->ExportCsv(target));
    const std::string csv = Bytes(target);
    EXPECT_NE(csv.find("\r\n1,Tue. 8 Dec 2026,2026-12-08,14:05:09,LAP,1,\"1.07,006\",67.006,"), std::string::npos) << csv;
    // Another locale's date is no date here: it stays as it was shown.
    EXPECT_NE(csv.find("\r\n2,Mo. 07.12.26,,14:10:00,LAP,1,\"1,000\",1.000,"), std::string::npos) << csv;
}

// A spreadsheet's cell: its type and value as the spreadsheet holds them.
struct Cell {
    QString type;  // "float", "date", "string", or empty for an empty cell
    QString value;
    QString text;
};

// The first table of a flat OpenDocument spreadsheet, row by row.
QList<QList<Cell>> ReadSheet(const QString& file)
{
    QList<QList<Cell>> rows;
    QFile sheet(file);
    if (!sheet.open(QIODevice::ReadOnly)) return rows;
    QXmlStreamReader xml(&sheet);
    Cell* cell = nullptr;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("table")) break;
        if (!xml.isStartElement()) continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("table-row")) {
            rows.append(QList<Cell>());
            cell = nullptr;
        } else if (xml.name() == QLatin1String("table-cell") && !rows.isEmpty()) {
            const bool date = a.hasAttribute(QLatin1String("office:date-value"));
            const Cell read{a.value(QLatin1String("office:value-type")).toString(),
                            a.value(QLatin1String(date ? "office:date-value" : "office:value")).toString(),
                            {}};
            // Empty cells up to the sheet's last column come as one, repeated.
            const int repeated = a.value(QLatin1String("table:number-columns-repeated")).toInt();
            for (int i = 0; i < std::clamp(repeated, 1, 64); ++i) rows.last().append(read);
            cell = &rows.last().last();
        } else if (xml.name() == QLatin1String("p") && cell) {
            cell->text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        }
    }
    return rows;
}

TEST_F(ProtocolWindowTest, ASpreadsheetReadsTheExportedTimesAsNumbersAndDatesAsDates)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed (Debian package libreoffice-calc, see tools/bootstrap)";
    const LocaleForTest plain(QLocale::c());
    Put(path, "START 3 = 14:05:09 = Tue. 8 Dec 2026\r\nLAP 1 = 1.07,006\r\n" + kSeparator +
                  "\r\nSTOP: = 2.00,500 (+53,494) 53,494 \xD8 1.00,250\r\n\r\n");
    const QString csv = dir.filePath(QStringLiteral("runs.csv"));
    ASSERT_TRUE(MakeWindow()->ExportCsv(csv));

    // Comma-separated UTF-8 with a header row, numbers with a decimal point
    // (English), quoted fields as text: what the spreadsheet is told on opening.
    const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("office"))).toString();
    QProcess convert;
    convert.start(office, {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                           QStringLiteral("--infilter=CSV:44,34,76,1,,1033,true,true"), QStringLiteral("--convert-to"),
                           QStringLiteral("fods"), QStringLiteral("--outdir"), dir.path(), csv});
    ASSERT_TRUE(convert.waitForFinished(300'000)) << "LibreOffice did not finish";
    ASSERT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();
    const QList<QList<Cell>> rows = ReadSheet(dir.filePath(QStringLiteral("runs.fods")));
    ASSERT_GE(rows.size(), 3) << convert.readAllStandardOutput().toStdString();
    ASSERT_GE(rows[1].size(), 14);
    ASSERT_GE(rows[2].size(), 14);

    const QList<Cell>& lap = rows[1];
    EXPECT_EQ(lap[1].text, QStringLiteral("Tue. 8 Dec 2026"));
    EXPECT_EQ(lap[2].type, QStringLiteral("date"));
    EXPECT_TRUE(lap[2].value.startsWith(QStringLiteral("2026-12-08"))) << lap[2].value.toStdString();
    EXPECT_EQ(lap[6].type, QStringLiteral("string"));
    EXPECT_EQ(lap[6].text, QStringLiteral("1.07,006"));
    EXPECT_EQ(lap[7].type, QStringLiteral("float"));
    EXPECT_EQ(lap[7].value, QStringLiteral("67.006"));

    const QList<Cell>& stop = rows[2];
    EXPECT_EQ(stop[4].text, QStringLiteral("STOP"));
    for (const auto& [column, seconds] : {std::pair{7, "120.5"}, std::pair{9, "53.494"}, std::pair{11, "53.494"},
                                          std::pair{13, "60.25"}}) {
        EXPECT_EQ(stop[column].type, QStringLiteral("float")) << column;
        EXPECT_EQ(stop[column].value, QLatin1String(seconds)) << column;
    }
}

}  // namespace
}  // namespace chronivel
