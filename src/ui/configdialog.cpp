// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/configdialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <initializer_list>
#include <type_traits>

#include "core/chronivelapp.h"
#include "core/configlayout.h"
#include "core/settings.h"
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
    explicit NumberBox(QWidget* parent) : QSpinBox(parent) { setButtonSymbols(QAbstractSpinBox::NoButtons); }
    void SetMost(int maximum)
    {
        maximum_ = maximum;
        int typed = 9;
        while (typed < maximum) typed = typed * 10 + 9;
        setRange(0, typed);
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
    int maximum_ = 0;
};

QSpinBox* NumberField(QWidget* parent, const char* name, const QString& accessible, const QString& hint, int maximum)
{
    auto* field = Make<NumberBox>(parent, name, accessible, hint);
    field->SetMost(maximum);
    DarkField(field);
    return field;
}

QLineEdit* TextField(QWidget* parent, const char* name, const QString& accessible, const QString& hint = {})
{
    auto* field = Make<QLineEdit>(parent, name, accessible, hint);
    DarkField(field);
    return field;
}

// Calls `each` with the widget and the place in a Configuration of every
// field of the settings table that the dialog shows in `fields`.
template <typename Each>
void EachTableField(const std::map<ConfigField, QWidget*>& fields, Each each)
{
    for (const SettingRow& row : SettingTable()) {
        const auto found = fields.find(row.field);
        if (found == fields.end()) continue;
        std::visit(
            [&](auto member) {  // a field's place is in Configurable, which is part of Configuration
                if constexpr (std::is_invocable_v<decltype(member), Configuration&>) each(found->second, member);
            },
            row.member);
    }
}

// A field's value as its widget's user property holds it: checked, text or value.
template <typename T>
QVariant AsVariant(const T& value)
{
    if constexpr (std::is_same_v<T, std::string>)
        return QString::fromStdString(value);
    else
        return QVariant(value);
}
template <typename T>
void Take(T& value, const QVariant& shown)
{
    if constexpr (std::is_same_v<T, std::string>)
        value = shown.toString().toStdString();
    else
        value = shown.value<T>();
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

    protocolField_ = TextField(this, "Edit_ProtocolName", tr("Protocol file"));
    pictureField_ = TextField(this, "Edit_PictureName", tr("Picture"), tr("Click for select picture"));
    colorSwatch_ = Make<QPushButton>(this, "PanelColor", tr("Color"), tr("Black color - default picture"));
    colorSwatch_->setAutoDefault(false);
    lapsField_ = NumberField(this, "seLAPs", tr("Laps"), tr("Count hardware Laps; 0 - unlimited"),
                             FieldMost(ConfigField::Laps));
    lockField_ = NumberField(this, "seLock", tr("STOP lock (seconds)"),
                             tr("Seconds after a start in which the stop light barrier is ignored; 0 - off"),
                             FieldMost(ConfigField::StopLock));
    // Captions inside the fields: the crescent has no room beside them.
    lockField_->setPrefix(tr("Lock "));
    lockField_->setSuffix(tr(" s"));
    timerField_ = TextField(this, "meCountDown", tr("Timer"));
    timerField_->setMaxLength(12);
    minLapField_ = NumberField(this, "seMinLap", tr("Shortest light-barrier lap (milliseconds)"),
                               tr("Light-barrier laps sooner than this after the last one are ignored; 0 - off"),
                               FieldMost(ConfigField::MinLap));
    minLapField_->setSuffix(tr(" ms"));
    minLapField_->setSpecialValueText(tr("any lap"));
    // Away from the crescent's edge, which cuts its left.
    minLapField_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fadeBox_ = Make<QCheckBox>(this, "cbTransparent", tr("Fade the window behind others"),
                               tr("The main window turns half transparent while another program is in front"));
    fadeBox_->setText(tr("Fade"));
    ok_ = Make<TOvalButton>(this, "bOK", tr("OK"), tr("OK"));
    cancel_ = Make<TOvalButton>(this, "bClose", tr("Cancel"), tr("Cancel"));
    for (TOvalButton* button : {ok_, cancel_}) {
        button->SetNumGlyphs(1);
        button->setFocusPolicy(Qt::StrongFocus);  // Space or Enter on it presses it
    }
    protocolCaption_ = Caption(this, "Label3", tr("&Protocol file:  "), protocolField_);
    pictureCaption_ = Caption(this, "Label4", tr("P&icture:   "), pictureField_);
    pictureCaption_->setCursor(Qt::PointingHandCursor);
    colorCaption_ = Caption(this, "Label2", tr("   or &Color:"), colorSwatch_);
    lapsCaption_ = Caption(this, "Label5", tr("  &Laps:"), lapsField_);
    timerCaption_ = Caption(this, "Label1", tr("  &Timer: "), timerField_);
    protocolField_->setToolTip(tr("Double-click or F4 to choose the file"));
    // The colour's swatch is no field of a value of its own: it is filled and taken by hand.
    fields_ = {{ConfigField::Transparent, fadeBox_}, {ConfigField::ProtocolFile, protocolField_},
               {ConfigField::Picture, pictureField_}, {ConfigField::Laps, lapsField_},
               {ConfigField::StopLock, lockField_},   {ConfigField::MinLap, minLapField_},
               {ConfigField::Timer, timerField_}};

    seeThrough_ = new TTransparentWnd(this);
    seeThrough_->setObjectName(QStringLiteral("TransparentWndCFG"));
    seeThrough_->SetPercent(50);

    // The keyboard goes down the crescent as the eye does.
    QWidget* order[] = {cancel_, protocolField_, pictureField_, colorSwatch_, lapsField_, lockField_, timerField_,
                        minLapField_, ok_, fadeBox_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    connect(ok_, &TOvalButton::clicked, this, &TFormConfig::accept);
    connect(cancel_, &TOvalButton::clicked, this, &TFormConfig::reject);
    connect(colorSwatch_, &QPushButton::clicked, this, &TFormConfig::ChooseColor);
    for (QObject* watched : {static_cast<QObject*>(protocolField_), static_cast<QObject*>(pictureField_),
                             static_cast<QObject*>(pictureCaption_)})
        watched->installEventFilter(this);
    connect(&slide_, &WindowSlide::ended, this, &TFormConfig::slideEnded);

    LayoutConfig();  // and again with the main window's every layout; the fields are filled as it shows
}

void TFormConfig::SetEntryMask()
{
    timerField_->setInputMask(EntryMask(app_.Clock().Format().Format()));
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
    const int box = l.fade.height * 3 / 4;
    fadeBox_->setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(box));
    fadeBox_->setFont(font);  // a style sheet of its own keeps it from following the dialog's
    const std::pair<QWidget*, Box> places[] = {
        {cancel_, l.cancel},           {ok_, l.ok},                 {fadeBox_, l.fade},
        {protocolCaption_, l.protocolLabel}, {protocolField_, l.protocolName},
        {pictureCaption_, l.pictureLabel},   {pictureField_, l.pictureName},
        {colorCaption_, l.colorLabel},       {colorSwatch_, l.panelColor},
        {lapsCaption_, l.lapsLabel},         {lapsField_, l.laps},        {lockField_, l.lock},
        {minLapField_, l.minLap},            {timerCaption_, l.timerLabel}, {timerField_, l.countDown},
    };
    for (const auto& [control, box] : places) PlaceAt(control, box);
    const qreal ratio = devicePixelRatioF();
    const QSize glyph = l.ok.width > 8 ? QSize(l.ok.width - 8, l.ok.height - 8) : QSize(1, 1);
    ok_->SetGlyph(OkGlyph(glyph, ratio));
    cancel_->SetGlyph(CancelGlyph(glyph, ratio));
    if (isVisible()) DrawPreview(pictureField_->text());
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
        lapsField_->setFocus();
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
    EachTableField(fields_, [this](QWidget* field, auto member) {
        field->metaObject()->userProperty().write(field, AsVariant(shown_.*member));
    });
    protocolField_->setToolTip(protocolField_->text());
    SetSwatch(static_cast<std::uint32_t>(shown_.color));
    SetEntryMask();  // the format may have changed since the last opening
    timerField_->setText(QString::fromStdString(shown_.countDown));
    ShowPreview(face_.Rendered());
    lapsField_->setFocus();
}

Configuration TFormConfig::Fields() const
{
    Configuration c;
    EachTableField(fields_, [&c](QWidget* field, auto member) {
        Take(c.*member, field->metaObject()->userProperty().read(field));
    });
    c.color = static_cast<std::int32_t>(swatch_);
    c.countDown = timerField_->displayText().toStdString();  // with "_" where a place is empty
    return c;
}

Refusal TFormConfig::PictureProblem() const
{
    const QString picture = pictureField_->text();
    if (swatch_ != 0 || picture.isEmpty() || picture.toStdString() == shown_.pictureFile) return {};
    const TFaceImage face = MakeFace(size(), 0, picture, roundPercent_);
    if (face.error.isEmpty()) return {};
    return {ConfigField::Picture, tr("Picture: \"%1\" cannot be shown. %2").arg(picture, face.error).toStdString()};
}

void TFormConfig::accept()
{
    if (!waiting_) return;  // still sliding out
    Refusal refusal = PictureProblem();
    if (refusal.words.empty()) refusal = app_.Configure(Fields());
    if (!refusal.words.empty()) {
        if (const auto field = fields_.find(refusal.field); field != fields_.end()) field->second->setFocus();
        reportProblem(QString::fromStdString(refusal.words));
        return;
    }
    done(Accepted);
}

void TFormConfig::done(int result)
{
    if (!waiting_) return;  // sliding: it closes once it is out
    waiting_ = false;
    ShowButtons();
    if (app_.Kept().transparentInBackground) mainSeeThrough_.Opaque();
    main_.raise();  // the dialog goes back behind it
    slide_.Run(main_, *this, -SlideStep(app_.Zoom()), SlideSteps, 5, [this, result] { QDialog::done(result); });
}

void TFormConfig::SetApplicationActive(bool active)
{
    applicationActive_ = active;
    ShowButtons();
    if (app_.Kept().transparentInBackground) active ? seeThrough_->Opaque() : seeThrough_->Transparent();
}

void TFormConfig::ShowButtons()
{
    const bool shown = waiting_ && applicationActive_;
    ok_->setVisible(shown);
    cancel_->setVisible(shown);
}

void TFormConfig::SetSwatch(std::uint32_t bgr)
{
    swatch_ = bgr;
    const QColor color = ColorFromBgr(bgr);
    colorSwatch_->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;").arg(color.name()));
    colorSwatch_->setAccessibleDescription(bgr == 0 ? tr("None: the picture, or the built-in face") : color.name());
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
    for (QWidget* caption : std::initializer_list<QWidget*>{timerCaption_, colorCaption_, protocolCaption_,
                                                            pictureCaption_, lapsCaption_, fadeBox_})
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
    dialog->selectFile(protocolField_->text());
    connect(dialog, &QFileDialog::fileSelected, this,
            [this](const QString& file) { protocolField_->setText(QDir::toNativeSeparators(file)); });
    chooser_ = dialog;
    dialog->open();
}

void TFormConfig::ChoosePicture()
{
    if (ChooserOpen()) return;
    auto* dialog = new QFileDialog(this, tr("Select picture file"), QFileInfo(pictureField_->text()).path(),
                                   tr("Bitmaps (*.bmp);;Pictures (*.bmp *.png *.jpg *.jpeg)"));
    dialog->setObjectName(QStringLiteral("OpenPictureDialog1"));
    KeepAboveMainWindow(*dialog);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        pictureField_->setText(QDir::toNativeSeparators(file));
        SetSwatch(0);  // a picture is the face only without a colour
        DrawPreview(pictureField_->text());
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
        DrawPreview(pictureField_->text());
    });
    chooser_ = dialog;
    dialog->open();
}

bool TFormConfig::eventFilter(QObject* watched, QEvent* event)
{
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    // F4 opens a field's chooser, as it opens a drop-down list.
    const bool f4 = event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F4;
    if ((doubleClick || f4) && watched == protocolField_) {
        ChooseProtocolFile();
        return true;
    }
    if (((doubleClick || f4) && watched == pictureField_) ||
        (event->type() == QEvent::MouseButtonPress && watched == pictureCaption_)) {
        ChoosePicture();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormConfig::keyPressEvent(QKeyEvent* event)
{
    // Enter is OK from every field; Escape is Cancel (QDialog's own).
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && plain) return accept();
    QDialog::keyPressEvent(event);
}

}  // namespace chronivel
