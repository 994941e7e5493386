// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QImage>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <map>

#include "core/configuration.h"
#include "ui/windowslide.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace chronivel {

class ChronivelApp;
class TFace;
class TOvalButton;
class TTransparentWnd;

// The configuration dialog: a crescent that slides out from behind the round
// main window, with the settings that have no menu entry of their own. It
// edits the model's values as fields and hands them to the model on OK; a
// value the model refuses keeps it open, with the words and the field in
// focus. Cancel and Escape change nothing. It is modal from the moment it
// starts to slide out until it is back behind the main window.
class TFormConfig final : public QDialog {
    Q_OBJECT
public:
    // `main` is the window it slides from; `face` and `mainSeeThrough` are that window's.
    TFormConfig(ChronivelApp& app, QWidget& main, const TFace& face, TTransparentWnd& mainSeeThrough,
                int roundPercent);

    // Slides out and waits for OK or Cancel; an open dialog is brought to the front.
    void Open();
    // Out or back: commands that would move the main window wait for the end.
    bool Sliding() const { return slide_.Running(); }
    // As wide as the main window at the zoom now, its font and fields scaled with it.
    void LayoutConfig();
    // The program came to the front or went to the back: OK and Cancel show
    // only in front, and with "TranspW" the dialog turns translucent behind.
    void SetApplicationActive(bool active);

    void accept() override;  // OK
    void done(int result) override;

    // Tells the user why OK did not close the dialog; a message box unless replaced.
    std::function<void(const QString&)> reportProblem;

signals:
    // The dialog is out and waits, or it is back behind the main window.
    void slideEnded();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetEntryMask();
    void Fill();
    Configuration Fields() const;
    // Why the picture in its field cannot be the face; none when it can, or is not used.
    Refusal PictureProblem() const;
    // The face behind the fields as it would be with this picture and the swatch's colour.
    void DrawPreview(const QString& picturePath);
    void ShowPreview(const QImage& face);
    void SetSwatch(std::uint32_t bgr);
    // Whether one of the three choosers is open already; it then comes to the front.
    bool ChooserOpen();
    void ChooseProtocolFile();
    void ChoosePicture();
    void ChooseColor();
    void ShowButtons();

    ChronivelApp& app_;
    QWidget& main_;
    const TFace& face_;
    TTransparentWnd& mainSeeThrough_;
    const int roundPercent_;
    WindowSlide slide_;
    QImage preview_;
    QPointer<QDialog> chooser_;
    std::uint32_t swatch_ = 0;
    bool waiting_ = false;  // out, with OK and Cancel to press
    bool applicationActive_ = true;
    Configuration shown_;  // what the fields were filled with
    std::map<ConfigField, QWidget*> fields_;  // by the id a refusal names

    QLabel* timerCaption_;
    QLabel* colorCaption_;
    QLabel* protocolCaption_;
    QLabel* pictureCaption_;
    QLabel* lapsCaption_;
    QLineEdit* protocolField_;
    QLineEdit* pictureField_;
    QPushButton* colorSwatch_;
    QSpinBox* lapsField_;
    QSpinBox* lockField_;
    QSpinBox* minLapField_;
    QLineEdit* timerField_;
    QCheckBox* fadeBox_;
    TOvalButton* ok_;
    TOvalButton* cancel_;
    TTransparentWnd* seeThrough_;
};

// The preset field's input mask for a format: required digits, the
// separators as the text has them, "_" for an empty place.
QString EntryMask(int format);

}  // namespace chronivel
