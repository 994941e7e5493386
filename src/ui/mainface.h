// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "core/windowlayout.h"

class QColor;
class QComboBox;
class QLabel;
class QObject;
class QToolButton;
class QWidget;

namespace chronivel {

class Readout;
class TBitBtnWithColor;
class TFace;
class TLed;
class TMonthCalendar;
class TOvalButton;
class TTransparentWnd;
class ZoomedComboStyle;

// The controls on the main window's round face: made once, placed for each
// layout. Their names are those the tests and the accessibility texts find
// them by. What they show and do is the window's business.
class MainFace final {
public:
    // Makes the controls on `window`; `input` filters the clicks on the
    // date, the best time, the mode label and the lap list.
    MainFace(QWidget& window, QObject& input);

    // Places every control for the layout `l`.
    void Place(const WindowLayout& l);
    // Today's date, in the user's locale.
    void ShowDate();
    // The calendar, made at its first use: a month view takes a good part of
    // the start-up and loads image plugins the rest of the face never needs.
    TMonthCalendar& Calendar();

    TFace* dial = nullptr;
    Readout* readout = nullptr;
    QLabel* dateLabel = nullptr;
    QToolButton* alarmButton = nullptr;
    TBitBtnWithColor* startStopButton = nullptr;
    TBitBtnWithColor* pauseButton = nullptr;
    TBitBtnWithColor* lapButton = nullptr;
    QLabel* bestTimeLabel = nullptr;
    QLabel* bestCaptionShadow = nullptr;
    QLabel* bestCaption = nullptr;
    QComboBox* lapList = nullptr;
    TLed* countDownLed = nullptr;
    QLabel* modeLabel = nullptr;
    TLed* lockLed = nullptr;
    TOvalButton* soundButton = nullptr;
    TOvalButton* menuButton = nullptr;
    TOvalButton* minimizeButton = nullptr;
    TMonthCalendar* calendar = nullptr;  // until its first use
    TTransparentWnd* seeThrough = nullptr;

private:
    void PlaceCalendar();
    // Captions in colours that read on a face of the colour `face`.
    void ColourCaptions(const QColor& face);

    QWidget& window_;
    ZoomedComboStyle* lapListStyle_ = nullptr;  // the list's, owned by it
    std::optional<WindowLayout> layout_;  // the last placing, for a calendar made later
};

}  // namespace chronivel
