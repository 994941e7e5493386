// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/settings.h"
#include "tests/core/fakes.h"
#include "tests/core/fakeserial.h"
#include "tests/core/memorystore.h"
#include "tests/core/toldnotices.h"
#include "platform/protocolfile.h"
#include "ui/mainwindow.h"
#include "ui/qtscheduler.h"

namespace chronivel::testing {

// The program's main window on a fake clock, fake settings and fake serial
// ports; errors it would show in a message box are collected instead, and
// so are the notices it shows on the window.
class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture() { store.exists = false; }

    // The program's model and its main window, as the program makes them.
    void MakeWindow()
    {
        window.reset();
        notices.reset();
        app = std::make_unique<ChronivelApp>(timer, locale, store, scheduler, protocolFile, serial, "boot-1");
        // A test machine without a sound device is told so at the first sound: not the test's doing.
        notices = std::make_unique<ToldNotices>(*app, [this](const Notice& notice) {
            if (notice.topic != NoticeTopic::Sound) errors << QString::fromStdString(notice.text);
        });
        window = std::make_unique<Tfrm_Tickmor>(*app, serial);
    }

    // Starts the window on the settings in `store`.
    void Start(CommandLine commandLine = {})
    {
        MakeWindow();
        window->reportError = [this](const QString& message) { errors << message; };
        window->Start({QStringLiteral("chronivel"), ProtocolPath().toStdString(), commandLine});
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // Settings as a previous run of the program left them.
    void Store(const Settings& settings)
    {
        SaveSettings(store, settings, locale.Now().shortDate);
        store.exists = true;
    }
    QString ProtocolPath() const { return folder.filePath(QStringLiteral("Protocol.txt")); }
    // The settings are written aside; a finished run goes to the protocol when they are.
    void WaitForSaves() { scheduler.FinishAside(); }

    // A command's entry, as the menus and keys have it.
    QAction* Entry(const std::string& name) const { return Find<QAction>(name.c_str()); }

    template <typename T>
    T* Find(const char* name) const
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    FakeTimerPlatform platform;
    THighResTimer timer{platform};
    FixedLocale locale;
    MemoryStore store;
    FakePorts serial;
    QTemporaryDir folder;
    QtScheduler scheduler;
    ProtocolFile protocolFile;
    std::unique_ptr<ChronivelApp> app;
    std::unique_ptr<ToldNotices> notices;
    std::unique_ptr<Tfrm_Tickmor> window;
    QStringList errors;
};

}  // namespace chronivel::testing
