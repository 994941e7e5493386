#include <QApplication>

#include "core/highrestimer.h"
#include "platform/systemtimerplatform.h"
#include "ui/qtlocaletexts.h"
#include "ui/trialwindow.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    const auto platform = chronivel::MakeSystemTimerPlatform();
    chronivel::THighResTimer timer(*platform);
    const chronivel::QtLocaleTexts locale;
    chronivel::TrialWindow window(timer, locale);
    window.resize(420, 360);
    window.show();
    return app.exec();
}
