// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/configdialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <initializer_list>

#include "core/chronivelapp.h"
#include "core/configlayout.h"
#include "core/timeentry.h"
#include "ui/abovemainwindow.h"
#include "ui/buttonglyphs.h"
#include "ui/face.h"
#include "ui/faceplacing.h"
#include "ui/messagebox.h"
#include "ui/ovalbutton.h"
#include "ui/transparentwnd.h"
#include "ui/windowregion.h"

namespace chronivel {

namespace {

// Dark fields with white text, on the face.
void DarkField(QWidget* field)
{
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, QColor(32, 32, 32));
    palette.setColor(QPalette::Text, Qt::white);
    field->setPalette(palette);
}

template <typename Control>
Control* Make(QWidget* parent, const char* name, const QString& accessible, const QString& hint = {})
{
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    control->setAccessibleName(accessible);
    control->setToolTip(hint);
    return control;
}

QLabel* Caption(QWidget* parent, const char* name, const QString& text, QWidget* buddy)
{
    auto* label = Make<QLabel>(parent, name, {});
    label->setText(text);
    label->setBuddy(buddy);  // Alt and the marked letter go to the field
    return label;
}

// A number field that takes as many digits as its largest value has, so that
// a value out of range reaches the model, which refuses it in words, instead
// of losing its last digit as it is typed; its arrow keys stop at the range.
// Without arrow buttons: they would not grow with the zoom, and would take
// the digits' room at zoom 1.
class NumberBox final : public QSpinBox {
public:
    NumberBox(QWidget* parent, int maximum) : QSpinBox(parent), maximum_(maximum)
    {
        int typed = 9;
        while (typed < maximum) typed = typed * 10 + 9;
        setRange(0, typed);
        setButtonSymbols(QAbstractSpinBox::NoButtons);
    }
    void stepBy(int steps) override { setValue(std::clamp(value() + steps, 0, maximum_)); }

protected:
    StepEnabled stepEnabled() const override
    {
        StepEnabled enabled = StepNone;
        if (value() > 0) enabled |= StepDownEnabled;
        if (value() < maximum_) enabled |= StepUpEnabled;
        return enabled;
    }

private:
    int maximum_;
};

QSpinBox* NumberField(QWidget* parent, const char* name, const QString& accessible, const QString& hint, int maximum)
{
    auto* field = new NumberBox(parent, maximum);
    field->setObjectName(QLatin1String(name));
    field->setAccessibleName(accessible);
    field->setToolTip(hint);
    DarkField(field);
    return field;
}

QLineEdit* TextField(QWidget* parent, const char* name, const QString& accessible, const QString& hint = {})
{
    auto* field = Make<QLineEdit>(parent, name, accessible, hint);
    DarkField(field);
    return field;
}

}  // namespace

QString EntryMask(int format)
{
    TimeFormat f;
    f.SelectFormat(format);
    return QString::fromStdString(EntryLayout(f)).replace(QLatin1Char('_'), QLatin1Char('9')) + QStringLiteral(";_");
}

TFormConfig::TFormConfig(ChronivelApp& app, QWidget& main, const TFace& face, TTransparentWnd& mainSeeThrough,
                         int roundPercent)
    : QDialog(nullptr, Qt::FramelessWindowHint | Qt::Dialog),  // no owner: it stays behind the main window
      app_(app),
      main_(main),
      face_(face),
      mainSeeThrough_(mainSeeThrough),
      roundPercent_(roundPercent),
      slide_(this)
{
    setObjectName(QStringLiteral("FormConfig"));
    setWindowTitle(tr("Configuration"));
    setWindowModality(Qt::ApplicationModal);
    // A Wayland surface is not cut by a mask: there the crescent is painted on a clear window.
    if (OnWayland()) setAttribute(Qt::WA_TranslucentBackground);
    reportProblem = [this](const QString& problem) { ShowMessage(this, QMessageBox::Warning, problem); };

    Edit_ProtocolName = TextField(this, "Edit_ProtocolName", tr("Protocol file"));
    Edit_PictureName = TextField(this, "Edit_PictureName", tr("Picture"), tr("Click for select picture"));
    PanelColor = Make<QPushButton>(this, "PanelColor", tr("Color"), tr("Black color - default picture"));
    PanelColor->setAutoDefault(false);
    seLAPs = NumberField(this, "seLAPs", tr("Laps"), tr("Count hardware Laps; 0 - unlimited"), Configuration::MaxLaps);
    seLock = NumberField(this, "seLock", tr("STOP lock (seconds)"),
                         tr("Seconds after a start in which the stop light barrier is ignored; 0 - off"),
                         Configuration::MaxLockSeconds);
    // Captions inside the fields: the crescent has no room beside them.
    seLock->setPrefix(tr("Lock "));
    seLock->setSuffix(tr(" s"));
    meCountDown = TextField(this, "meCountDown", tr("Timer"));
    meCountDown->setMaxLength(12);
    seMinLap = NumberField(this, "seMinLap", tr("Shortest light-barrier lap (milliseconds)"),
                           tr("Light-barrier laps sooner than this after the last one are ignored; 0 - off"),
                           Configuration::MaxMinLapMs);
    seMinLap->setSuffix(tr(" ms"));
    seMinLap->setSpecialValueText(tr("any lap"));
    seMinLap->setAlignment(Qt::AlignRight | Qt::AlignVCenter);  // away from the crescent's edge, which cuts its left
    cbTransparent = Make<QCheckBox>(this, "cbTransparent", tr("Fade the window behind others"),
                                    tr("The main window turns half transparent while another program is in front"));
    cbTransparent->setText(tr("Fade"));
    bOK = Make<TOvalButton>(this, "bOK", tr("OK"), tr("OK"));
    bClose = Make<TOvalButton>(this, "bClose", tr("Cancel"), tr("Cancel"));
    for (TOvalButton* button : {bOK, bClose}) {
        button->SetNumGlyphs(1);
        button->setFocusPolicy(Qt::StrongFocus);  // Space or Enter on it presses it
    }
    Label3 = Caption(this, "Label3", tr("&Protocol file:  "), Edit_ProtocolName);
    Label4 = Caption(this, "Label4", tr("P&icture:   "), Edit_PictureName);
    Label4->setCursor(Qt::PointingHandCursor);
    Label2 = Caption(this, "Label2", tr("   or &Color:"), PanelColor);
    Label5 = Caption(this, "Label5", tr("  &Laps:"), seLAPs);
    Label1 = Caption(this, "Label1", tr("  &Timer: "), meCountDown);
    Edit_ProtocolName->setToolTip(tr("Double-click or F4 to choose the file"));

    seeThrough_ = new TTransparentWnd(this);
    seeThrough_->setObjectName(QStringLiteral("TransparentWndCFG"));
    seeThrough_->SetPercent(50);

    // The keyboard goes down the crescent as the eye does.
    QWidget* order[] = {bClose, Edit_ProtocolName, Edit_PictureName, PanelColor, seLAPs, seLock, meCountDown,
                        seMinLap, bOK, cbTransparent};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    connect(bOK, &TOvalButton::clicked, this, &TFormConfig::accept);
    connect(bClose, &TOvalButton::clicked, this, &TFormConfig::reject);
    connect(PanelColor, &QPushButton::clicked, this, &TFormConfig::ChooseColor);
    for (QObject* watched : {static_cast<QObject*>(Edit_ProtocolName), static_cast<QObject*>(Edit_PictureName),
                             static_cast<QObject*>(Label4)})
        watched->installEventFilter(this);
    connect(&slide_, &WindowSlide::ended, this, &TFormConfig::slideEnded);

    LayoutConfig();  // and again with the main window's every layout; the fields are filled as it shows
}

void TFormConfig::SetEntryMask()
{
    meCountDown->setInputMask(EntryMask(app_.Clock().Format().Format()));
}

void TFormConfig::LayoutConfig()
{
    const ConfigLayout l = chronivel::LayoutConfig(app_.Zoom(), main_.width());
    setFixedSize(l.side, l.side);
    setMask(CrescentRegion(l.side, l.side, roundPercent_));
    // The designed 8 points, grown as the places grow: any faster and the captions no longer fit them.
    QFont font = FaceFont(QStringLiteral("Arial"), 8);
    font.setPixelSize(font.pixelSize() * l.zoomFactor);
    setFont(font);
    // The box grows with its place; a style's own indicator would stay small.
    const int box = l.cbTransparent.height * 3 / 4;
    cbTransparent->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(box));
    cbTransparent->setFont(font);  // a style sheet of its own keeps it from following the dialog's
    const std::pair<QWidget*, Box> places[] = {
        {bClose, l.bClose},       {bOK, l.bOK},           {cbTransparent, l.cbTransparent},
        {Label3, l.protocolLabel}, {Edit_ProtocolName, l.protocolName},
        {Label4, l.pictureLabel},  {Edit_PictureName, l.pictureName},
        {Label2, l.colorLabel},    {PanelColor, l.panelColor},
        {Label5, l.lapsLabel},     {seLAPs, l.laps},       {seLock, l.lock},
        {seMinLap, l.minLap},      {Label1, l.timerLabel}, {meCountDown, l.countDown},
    };
    for (const auto& [control, box] : places) PlaceAt(control, box);
    const qreal ratio = devicePixelRatioF();
    const QSize glyph = l.bOK.width > 8 ? QSize(l.bOK.width - 8, l.bOK.height - 8) : QSize(1, 1);
    bOK->SetGlyph(OkGlyph(glyph, ratio));
    bClose->SetGlyph(CancelGlyph(glyph, ratio));
    if (isVisible()) DrawPreview(Edit_PictureName->text());
}

void TFormConfig::Open()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    waiting_ = false;
    ShowButtons();
    move(main_.pos());
    show();
    slide_.Run(main_, *this, SlideStep(app_.Zoom()), SlideSteps, 3, [this] {
        waiting_ = true;
        ShowButtons();
        activateWindow();
        seLAPs->setFocus();
    });
}

void TFormConfig::showEvent(QShowEvent* event)
{
    Fill();
    QDialog::showEvent(event);
}

void TFormConfig::hideEvent(QHideEvent* event)
{
    preview_ = QImage();  // the face's copy is drawn again at the next opening
    QDialog::hideEvent(event);
}

void TFormConfig::Fill()
{
    shown_ = app_.CurrentConfiguration();
    cbTransparent->setChecked(shown_.transparent);
    const QString path = QString::fromStdString(shown_.protocolPath);
    Edit_ProtocolName->setText(path);
    Edit_ProtocolName->setToolTip(path);
    seLAPs->setValue(shown_.laps);
    seMinLap->setValue(shown_.minLapMs);
    seLock->setValue(shown_.lockSeconds);
    SetSwatch(static_cast<std::uint32_t>(shown_.color));
    Edit_PictureName->setText(QString::fromStdString(shown_.picture));
    SetEntryMask();  // the format may have changed since the last opening
    meCountDown->setText(QString::fromStdString(shown_.countDown));
    ShowPreview(face_.Rendered());
    seLAPs->setFocus();
}

Configuration TFormConfig::Fields() const
{
    Configuration c;
    c.transparent = cbTransparent->isChecked();
    c.protocolPath = Edit_ProtocolName->text().toStdString();
    c.color = static_cast<std::int32_t>(swatch_);
    c.picture = Edit_PictureName->text().toStdString();
    c.laps = seLAPs->value();
    c.minLapMs = seMinLap->value();
    c.lockSeconds = seLock->value();
    c.countDown = meCountDown->displayText().toStdString();  // with "_" where a place is empty
    return c;
}

QString TFormConfig::PictureProblem() const
{
    const QString picture = Edit_PictureName->text();
    if (swatch_ != 0 || picture.isEmpty() || picture.toStdString() == shown_.picture) return {};
    const TFaceImage face = MakeFace(size(), 0, picture, roundPercent_);
    if (face.error.isEmpty()) return {};
    return tr("Picture: \"%1\" cannot be shown. %2").arg(picture, face.error);
}

void TFormConfig::accept()
{
    if (!waiting_) return;  // still sliding out
    QString problem = PictureProblem();
    if (problem.isEmpty()) problem = QString::fromStdString(app_.Configure(Fields()));
    if (!problem.isEmpty()) {
        FocusFieldOf(problem);
        reportProblem(problem);
        return;
    }
    done(Accepted);
}

void TFormConfig::reject()
{
    done(Rejected);
}

void TFormConfig::done(int result)
{
    if (!waiting_) return;  // sliding: it closes once it is out
    waiting_ = false;
    ShowButtons();
    if (app_.Kept().transpW) mainSeeThrough_.Opaque();
    main_.raise();  // the dialog goes back behind it
    slide_.Run(main_, *this, -SlideStep(app_.Zoom()), SlideSteps, 5, [this, result] { QDialog::done(result); });
}

void TFormConfig::FocusFieldOf(const QString& problem)
{
    // The model's words begin with the field's name.
    const std::pair<const char*, QWidget*> fields[] = {
        {"Protocol file:", Edit_ProtocolName}, {"Picture:", Edit_PictureName}, {"Laps:", seLAPs},
        {"STOP lock:", seLock},                {"Shortest lap:", seMinLap},    {"Timer:", meCountDown},
    };
    for (const auto& [prefix, field] : fields)
        if (problem.startsWith(QLatin1String(prefix))) field->setFocus();
}

void TFormConfig::SetApplicationActive(bool active)
{
    applicationActive_ = active;
    ShowButtons();
    if (app_.Kept().transpW) active ? seeThrough_->Opaque() : seeThrough_->Transparent();
}

void TFormConfig::ShowButtons()
{
    const bool shown = waiting_ && applicationActive_;
    bOK->setVisible(shown);
    bClose->setVisible(shown);
}

void TFormConfig::SetSwatch(std::uint32_t bgr)
{
    swatch_ = bgr;
    const QColor color = ColorFromBgr(bgr);
    PanelColor->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;").arg(color.name()));
    PanelColor->setAccessibleDescription(bgr == 0 ? tr("None: the picture, or the built-in face") : color.name());
}

void TFormConfig::DrawPreview(const QString& picturePath)
{
    const TFaceImage face = MakeFace(size(), swatch_, picturePath, roundPercent_);
    // A picture that cannot be loaded leaves the face as the main window shows it.
    ShowPreview(face.image.isNull() ? face_.Rendered() : face.image);
}

void TFormConfig::ShowPreview(const QImage& face)
{
    preview_ = face;
    // The captions stand on the face: dark on a light one, light on a dark one.
    const QColor middle = face.isNull() ? QColor(Qt::black) : face.pixelColor(face.width() / 2, face.height() / 2);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, middle.lightness() > 128 ? Qt::black : Qt::white);
    for (QWidget* caption : std::initializer_list<QWidget*>{Label1, Label2, Label3, Label4, Label5, cbTransparent})
        caption->setPalette(palette);
    update();
}

void TFormConfig::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (testAttribute(Qt::WA_TranslucentBackground)) painter.setClipRegion(mask());
    painter.fillRect(rect(), Qt::black);
    if (!preview_.isNull()) painter.drawImage(rect(), preview_);
}

bool TFormConfig::ChooserOpen()
{
    // A second key or click while one is open brings that one to the front.
    if (!chooser_) return false;
    chooser_->raise();
    chooser_->activateWindow();
    return true;
}

void TFormConfig::ChooseProtocolFile()
{
    if (ChooserOpen()) return;
    auto* dialog = new QFileDialog(this, tr("Change FileName"), {}, tr("Text file (*.txt)"));
    dialog->setObjectName(QStringLiteral("SaveDialog1"));
    KeepAboveMainWindow(*dialog);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);  // runs are added to a file, never written over it
    dialog->setDefaultSuffix(QStringLiteral("txt"));
    dialog->selectFile(Edit_ProtocolName->text());
    connect(dialog, &QFileDialog::fileSelected, this,
            [this](const QString& file) { Edit_ProtocolName->setText(QDir::toNativeSeparators(file)); });
    chooser_ = dialog;
    dialog->open();
}

void TFormConfig::ChoosePicture()
{
    if (ChooserOpen()) return;
    auto* dialog = new QFileDialog(this, tr("Select picture file"), QFileInfo(Edit_PictureName->text()).path(),
                                   tr("Bitmaps (*.bmp);;Pictures (*.bmp *.png *.jpg *.jpeg)"));
    dialog->setObjectName(QStringLiteral("OpenPictureDialog1"));
    KeepAboveMainWindow(*dialog);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        Edit_PictureName->setText(QDir::toNativeSeparators(file));
        SetSwatch(0);  // a picture is the face only without a colour
        DrawPreview(Edit_PictureName->text());
    });
    chooser_ = dialog;
    dialog->open();
}

void TFormConfig::ChooseColor()
{
    if (ChooserOpen()) return;
    auto* dialog = new QColorDialog(ColorFromBgr(swatch_), this);
    dialog->setObjectName(QStringLiteral("ColorDialog1"));
    KeepAboveMainWindow(*dialog);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::colorSelected, this, [this](const QColor& color) {
        SetSwatch(static_cast<std::uint32_t>(color.red() | color.green() << 8 | color.blue() << 16));
        DrawPreview(Edit_PictureName->text());
    });
    chooser_ = dialog;
    dialog->open();
}

bool TFormConfig::eventFilter(QObject* watched, QEvent* event)
{
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    // F4 opens a field's chooser, as it opens a drop-down list.
    const bool f4 = event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F4;
    if ((doubleClick || f4) && watched == Edit_ProtocolName) {
        ChooseProtocolFile();
        return true;
    }
    if (((doubleClick || f4) && watched == Edit_PictureName) ||
        (event->type() == QEvent::MouseButtonPress && watched == Label4)) {
        ChoosePicture();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormConfig::keyPressEvent(QKeyEvent* event)
{
    // Enter is OK from every field; Escape is Cancel (QDialog's own).
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && plain) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace chronivel
