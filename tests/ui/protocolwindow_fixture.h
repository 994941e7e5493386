// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/protocolfile.h"
#include "tests/core/memorystore.h"
#include "ui/protocolwindow.h"
#include "ui/qtscheduler.h"

namespace chronivel::testing {

inline const std::string kSeparator(35, '_');
// One run as the file holds it: Windows-1252, CR LF, an empty line at the end.
inline const std::string kRunBytes =
    "START 1 = 14:05:09 = Mo. 07.12.26\r\n"
    "LAP 1 = 12,345\r\n"
    "LAP 2 = 25,000 (+12,655) 12,655\r\n" +
    kSeparator + "\r\n"
    "STOP: = 30,500 (+18,155)  5,500 \xD8 10,166\r\n"
    "\r\n";
inline const QString kRunText = QString::fromUtf8(
    "START 1 = 14:05:09 = Mo. 07.12.26\n"
    "LAP 1 = 12,345\n"
    "LAP 2 = 25,000 (+12,655) 12,655\n" +
    kSeparator + "\n"
    "STOP: = 30,500 (+18,155)  5,500 \u00D8 10,166\n"
    "\n");

inline std::string Bytes(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return "(unreadable)";
    return f.readAll().toStdString();
}

// Shows the window, or toggles it, and waits until its file is read and shown.
inline void ShowLoaded(ProtocolWindow& w, bool toggle = false)
{
    QSignalSpy loaded(&w, &ProtocolWindow::loaded);
    toggle ? w.Toggle() : w.show();
    if (loaded.isEmpty()) {
        ASSERT_TRUE(loaded.wait()) << "the file never came in";
    }
}

// A protocol window on a file in a folder of its own, with its errors collected.
class ProtocolWindowTest : public ::testing::Test {
protected:
    ProtocolWindowTest()
    {
        path = dir.filePath(QStringLiteral("Protocol.txt"));
        store.exists = false;  // as on a first start, until a test fills it
    }

    // A window on `path` whose errors are collected instead of shown.
    std::unique_ptr<ProtocolWindow> MakeWindow()
    {
        auto window = std::make_unique<ProtocolWindow>(store, file, scheduler, nullptr, [this](const QString& e) { errors << e; });
        window->SetPathSource([this] { return path; });
        return window;
    }

    // The size of a window whose settings say nothing.
    QSize DesignedSize()
    {
        const bool exists = store.exists;
        store.exists = false;
        const QSize size = MakeWindow()->size();
        store.exists = exists;
        return size;
    }

    static void Put(const QString& file, const std::string& bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    static QPlainTextEdit* Memo(ProtocolWindow& w) { return w.findChild<QPlainTextEdit*>(QStringLiteral("Memo1")); }
    static QString Panel(ProtocolWindow& w, int n)
    {
        const auto* label = w.findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(n));
        return label ? label->text() : QStringLiteral("(no panel)");
    }
    // Types text the way a keyboard does, also characters beyond Latin-1.
    static void Type(QWidget* target, const QString& text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        }
    }

    QTemporaryDir dir;
    QString path;
    MemoryStore store;
    ProtocolFile file;
    QtScheduler scheduler;
    QStringList errors;
};

}  // namespace chronivel::testing
