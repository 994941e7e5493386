// Plays one event sound through EventSounds and exits: playsound <NAME> [milliseconds]
// For the test that records what really reaches the sound server.
#include "ui/eventsounds.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: playsound <START|STOP|LAP|RESET|CDOWN> [milliseconds]\n");
        return 2;
    }
    chronivel::EventSounds sounds;
    if (!sounds.Play(args[1])) {
        std::fprintf(stderr, "playsound: no sound named %s\n", qPrintable(args[1]));
        return 2;
    }
    const int ms = args.size() > 2 ? args[2].toInt() : 1000;
    int rc = 0;
    QTimer::singleShot(ms, &app, [&] {
        const auto sound = *sounds.LastStarted();
        if (sounds.Status(sound) != QSoundEffect::Ready) {
            std::fprintf(stderr, "playsound: %s did not load\n", qPrintable(args[1]));
            rc = 1;
        }
        app.quit();
    });
    app.exec();
    return rc;
}
