#include "ui/MainDialog.h"

#include "job/BatchArguments.h"
#include "job/LanguageTable.h"
#include "job/OutputPath.h"
#include "job/ProfileKeys.h"
#include "job/SpeedControl.h"
#include "platform/Profile.h"
#include "platform/ProgramFolder.h"
#include "platform/RemoveFolderTree.h"
#include "platform/gui/DataExchange.h"
#include "platform/gui/Ddx.h"
#include "platform/gui/DialogUnits.h"
#include "platform/gui/FileDialog.h"
#include "platform/gui/MessageBox.h"
#include "ui/AboutDialog.h"
#include "ui/AboutPicture.h"
#include "ui/DialogFit.h"
#include "ui/InstructionLabel.h"
#include "ui/LevelView.h"
#include "ui/MainDialogTemplate.h"
#include "ui/MidiFileTypes.h"
#include "ui/Pictures.h"
#include "ui/PlayerStrip.h"
#include "ui/ProgramFolderGlobal.h"
#include "ui/QtTranslations.h"
#include "ui/VolumeSlider.h"
#include "ui/WindowAccessibility.h"
#include "ui/WindowHeight.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPalette>
#include <QProxyStyle>
#include <QPushButton>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace korvane {
namespace {
// The three sliders share the level range; the speed slider's position is turned into percent.
constexpr int kSliderMaximum = Adjustments::kLevelHighest;
// The background of a speed field that Save would refuse.
constexpr QColor kRefusedBase(255, 214, 214);
// Trackbars move by a fifth of their range per page.
constexpr int kSliderPageStep = kSliderMaximum / 5;
constexpr unsigned kAboutCommand = 0x0010;
// The window commands the menu offers before its separator, numbered as system commands are.
constexpr unsigned kMinimizeCommand = 0xF020;
constexpr unsigned kCloseCommand = 0xF060;
// A slider moved by keys or the wheel is previewed once it has rested this long.
constexpr int kSliderRestMs = 300;
constexpr int kBatchFailed = 1;

// The check box's square at least as tall as the letters beside it, so it grows with the font as
// the caption does.
class FontSizedIndicator : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const int standard = QProxyStyle::pixelMetric(metric, option, widget);
        const bool square = metric == PM_IndicatorWidth || metric == PM_IndicatorHeight;
        return square && widget != nullptr ? std::max(standard, widget->fontMetrics().ascent())
                                           : standard;
    }
};

QCheckBox* CreateCheckBox(const QString& text, QWidget* parent) {
    auto* check = new QCheckBox(text, parent);
    auto* style = new FontSizedIndicator;
    style->setParent(check);
    check->setStyle(style);
    return check;
}

// The wait cursor for as long as a chosen file is being taken.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Captions are the texts of buttons, group boxes, the check box and the labels.
bool ShowsCaption(const ControlTemplate& control) {
    switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::GroupBox:
    case ControlKind::CheckBox:
        return true;
    case ControlKind::StaticText:
        return control.id != kInstruction;
    default:
        return false;
    }
}

QString ControlName(int id) {
    return id == kNoControlId ? QString("logo") : QString("c%1").arg(id);
}

QSlider* CreateSlider(QSlider* slider) {
    slider->setTickPosition(QSlider::NoTicks);
    slider->setPageStep(kSliderPageStep);
    return slider;
}

QLineEdit* CreateEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    // A file dropped on a path field loads it like a drop anywhere else on the window.
    edit->setAcceptDrops(false);
    edit->setTextMargins(0, 0, 0, 0);
    return edit;
}

QLabel* CreateStatic(int id, const QString& text, QWidget* parent) {
    QLabel* label = id == kInstruction ? new InstructionLabel(parent) : new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setText(text);
    return label;
}

QLabel* CreateLogo(QWidget* parent) {
    auto* logo = new QLabel(parent);
    logo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    logo->setAlignment(Qt::AlignCenter);
    return logo;
}

// The local .mid and .rmi files of a drag, and its folders when they are wanted; with one file
// wanted, only the first.
std::vector<std::string> DroppedPaths(const QMimeData* mime, bool several) {
    std::vector<std::string> paths;
    if (mime == nullptr) {
        return paths;
    }
    for (const QUrl& url : mime->urls()) {
        const QString path = url.toLocalFile();
        if (url.isLocalFile() && (IsMidiFileName(path) || (several && QFileInfo(path).isDir()))) {
            paths.push_back(path.toStdString());
        }
        if (!several && !paths.empty()) {
            break;
        }
    }
    return paths;
}

const char* EnglishSpeedPrompt() {
    return LanguageTextsFor(kDefaultLanguage)->msgSpeedPrompt;
}
} // namespace

MainDialog::MainDialog(Profile& profile, std::vector<std::string> arguments, QWidget* parent)
    : QDialog(parent), m_profile(profile), m_arguments(std::move(arguments)),
      m_exitHook([](int status) { std::exit(status); }), m_speedPrompt(EnglishSpeedPrompt()) {
    setObjectName(ControlName(kMainWindow));
    setWindowTitle("Korvane");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // The desktop's font, in every language: the layout grows to fit it.
    setFont(QApplication::font());
    setAcceptDrops(true);
    CreateControls();
    BindControls();
    m_preview = std::make_unique<Preview>(*m_player);
    LayOut();
    ConnectHandlers();
    SetTabOrder();
    CreateShortcuts();
    // A finished preview is shown on this thread, whichever thread converted it.
    m_preview->Enable([this] {
        QMetaObject::invokeMethod(
            this, [this] { m_preview->Show(); }, Qt::QueuedConnection);
    });
}

MainDialog::~MainDialog() = default;

void MainDialog::CreateControls() {
    for (const ControlTemplate& control : kMainDialogTemplate) {
        QWidget* widget = CreateControl(control);
        widget->setObjectName(ControlName(control.id));
    }
    // Group boxes and texts only frame and label: they lie beneath the controls they surround
    // so that they never take a click meant for them.
    for (const ControlTemplate& control : kMainDialogTemplate) {
        if (control.kind == ControlKind::GroupBox || control.kind == ControlKind::StaticText) {
            findChild<QWidget*>(ControlName(control.id))->lower();
        }
    }
    HideFromScreenReaders(*findChild<QWidget*>(ControlName(kNoControlId)));
}

void MainDialog::LayOut() {
    // Every language's texts at once, so the window has one size whatever the language.
    std::vector<ControlCaptions> captions;
    for (const ControlTemplate& control : kMainDialogTemplate) {
        if (!ShowsCaption(control)) {
            continue;
        }
        QStringList texts{QString::fromUtf8(control.text)};
        const auto* at =
            std::find(kCaptionControlIds.begin(), kCaptionControlIds.end(), control.id);
        for (int language = 0;
             at != kCaptionControlIds.end() && LanguageTextsFor(language) != nullptr; ++language) {
            texts << QString::fromUtf8(
                LanguageTextsFor(language)->captions[at - kCaptionControlIds.begin()]);
        }
        captions.push_back({findChild<QWidget*>(ControlName(control.id)), texts});
    }
    QStringList instructions;
    for (int language = 0; const LanguageTexts* texts = LanguageTextsFor(language); ++language) {
        instructions << QString::fromUtf8(texts->textWelcome)
                     << QString::fromUtf8(texts->textLoaded) << QString::fromUtf8(texts->textSaved);
    }
    FittingBaseUnits(font(), captions, *m_instructionLabel, instructions,
                     [this](const DialogBaseUnits& units) { PlaceControls(units); });
    DrawLogo();
}

void MainDialog::PlaceControls(const DialogBaseUnits& units) {
    m_units = units;
    const int width = DialogUnitsToPixelsX(kMainDialogWidth, units);
    const int natural = DialogUnitsToPixelsY(kMainDialogHeight, units);
    const int minimum = natural - DialogUnitsToPixelsY(kPlotGivesUpUnits, units);
    setMinimumSize(width, minimum);
    setMaximumSize(width, QWIDGETSIZE_MAX);
    // Before the window is shown its frame is unknown: a title bar two lines of the font tall,
    // about what desktops draw.
    const int frame = frameGeometry().height() - height();
    const int titleBar = frame > 0 ? frame : 2 * fontMetrics().height();
    resize(width,
           OpeningHeight(natural, minimum, screen()->availableGeometry().height(), titleBar));
    ArrangeControls();
}

void MainDialog::ArrangeControls() {
    const int extra = height() - DialogUnitsToPixelsY(kMainDialogHeight, m_units);
    for (const ControlTemplate& control : kMainDialogTemplate) {
        findChild<QWidget*>(ControlName(control.id))
            ->setGeometry(StretchedRect(control, m_units, extra));
    }
}

void MainDialog::DrawLogo() {
    // As large a share of its frame as at the usual font size, never below its own pixels.
    constexpr qreal kShare = 0.9;
    auto* logo = findChild<QLabel*>(ControlName(kNoControlId));
    const QRect room = logo->contentsRect();
    const qreal scale = std::max(1.0, kShare * std::min(room.width() / qreal(kLogoSize.width()),
                                                        room.height() / qreal(kLogoSize.height())));
    const AboutTexts* texts = AboutTextsFor(m_language);
    const char* tagline = (texts != nullptr ? texts : AboutTextsFor(kDefaultLanguage))->tagline;
    logo->setPixmap(LogoPicture(QString::fromUtf8(tagline), scale, devicePixelRatioF()));
}

void MainDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ArrangeControls();
}

QWidget* MainDialog::CreateControl(const ControlTemplate& control) {
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
    case ControlKind::HiddenDefaultButton:
    case ControlKind::HiddenButton: {
        auto* button = new QPushButton(text, this);
        button->setDefault(control.kind == ControlKind::HiddenDefaultButton);
        button->hide();
        return button;
    }
    case ControlKind::PushButton:
        return new QPushButton(text, this);
    case ControlKind::BitmapButton: {
        auto* button = new QPushButton(this);
        button->setAccessibleName(text);
        button->setToolTip(text);
        return button;
    }
    case ControlKind::Edit:
        return CreateEdit(this);
    case ControlKind::Picture:
        return CreateLogo(this);
    case ControlKind::BlackFrame:
        return new LevelView(this);
    case ControlKind::HorizontalSlider:
        return CreateSlider(new QSlider(Qt::Horizontal, this));
    case ControlKind::VerticalSlider:
        return CreateSlider(new VolumeSlider(this));
    case ControlKind::GroupBox:
        return new QGroupBox(text, this);
    case ControlKind::StaticText:
        return CreateStatic(control.id, text, this);
    case ControlKind::CheckBox:
        return CreateCheckBox(text, this);
    case ControlKind::Player:
        break;
    }
    return new PlayerStrip(this);
}

void MainDialog::BindControls() {
    const auto control = [this](auto*& member, ControlId id) {
        member = findChild<std::remove_reference_t<decltype(*member)>*>(ControlName(id));
    };
    control(m_saveGroup, kSaveGroup);
    control(m_loadGroup, kLoadGroup);
    control(m_loadButton, kLoad);
    control(m_browseInputButton, kBrowseInput);
    control(m_browseOutputButton, kBrowseOutput);
    control(m_saveButton, kSave);
    control(m_dynamicRangeLabel, kDynamicRangeLabel);
    control(m_volumeLabel, kVolumeLabel);
    control(m_percentLabel, kPercentLabel);
    control(m_speedLabel, kSpeedLabel);
    control(m_stuckNotesCheck, kStuckNotes);
    control(m_speedSlider, kSpeedSlider);
    control(m_speedEdit, kSpeedEdit);
    control(m_resetButton, kReset);
    control(m_aboutButton, kAbout);
    control(m_volumeSlider, kVolumeSlider);
    control(m_dynamicRangeSlider, kDynamicRangeSlider);
    control(m_levelFrame, kLevelView);
    control(m_inputEdit, kInputPath);
    control(m_outputEdit, kOutputPath);
    m_instructionLabel = findChild<InstructionLabel*>(ControlName(kInstruction));
    control(m_player, kPlayer);
    // Read as the labels show them, louder upwards and the speed in percent, before a screen
    // reader first asks.
    ReadSliderAs(*m_volumeSlider, {.offset = kSliderMaximum, .scale = -1});
    ReadSliderAs(*m_speedSlider, {.offset = 0,
                                  .scale = SpeedOfSliderPosition(kSliderMaximum) /
                                           static_cast<double>(kSliderMaximum)});
}

void MainDialog::ConnectHandlers() {
    connect(findChild<QPushButton*>(ControlName(kOk)), &QPushButton::clicked, this,
            &MainDialog::accept);
    connect(findChild<QPushButton*>(ControlName(kCancel)), &QPushButton::clicked, this,
            &MainDialog::reject);
    connect(m_browseInputButton, &QPushButton::clicked, this, &MainDialog::OnBrowseInput);
    connect(m_volumeSlider, &QSlider::valueChanged, this, &MainDialog::OnPaint);
    connect(m_dynamicRangeSlider, &QSlider::valueChanged, this, &MainDialog::OnPaint);
    connect(m_browseOutputButton, &QPushButton::clicked, this, &MainDialog::OnBrowseOutput);
    connect(m_loadButton, &QPushButton::clicked, this, &MainDialog::OnLoad);
    // Enter in the input field loads what it names, as Load does.
    connect(m_inputEdit, &QLineEdit::returnPressed, this, &MainDialog::OnLoad);
    connect(m_aboutButton, &QPushButton::clicked, this, &MainDialog::OnAboutButton);
    connect(m_resetButton, &QPushButton::clicked, this, &MainDialog::OnResetButton);
    connect(m_saveButton, &QPushButton::clicked, this, &MainDialog::OnSave);
    connect(m_speedSlider, &QSlider::valueChanged, this, &MainDialog::OnSpeedSliderChanged);

    m_sliderActionTimer = new QTimer(this);
    m_sliderActionTimer->setSingleShot(true);
    m_sliderActionTimer->setInterval(kSliderRestMs);
    connect(m_sliderActionTimer, &QTimer::timeout, this, &MainDialog::OnAdjustmentsCommitted);
    for (QSlider* slider : {m_dynamicRangeSlider, m_volumeSlider, m_speedSlider}) {
        connect(slider, &QSlider::sliderReleased, this, &MainDialog::OnAdjustmentsCommitted);
        connect(slider, &QSlider::actionTriggered, this, &MainDialog::OnSliderAction);
    }
    connect(m_speedEdit, &QLineEdit::editingFinished, this, &MainDialog::OnSpeedFieldCommitted);
    connect(m_speedEdit, &QLineEdit::textChanged, this, &MainDialog::OnSpeedTextChanged);
    connect(m_stuckNotesCheck, &QCheckBox::clicked, this, &MainDialog::OnAdjustmentsCommitted);
    connect(m_player, &PlayerStrip::BytesWanted, this,
            [this] { m_preview->Refresh(ShownAdjustments()); });
    connect(m_player, &PlayerStrip::BytesHeld, this, &MainDialog::OnStripLeftSavedFile);
}

void MainDialog::SetTabOrder() {
    for (size_t i = 1; i < kTabOrder.size(); ++i) {
        setTabOrder(findChild<QWidget*>(ControlName(kTabOrder[i - 1])),
                    findChild<QWidget*>(ControlName(kTabOrder[i])));
    }
}

void MainDialog::CreateShortcuts() {
    const auto shortcut = [this](QKeyCombination keys, auto handler) {
        connect(new QShortcut(QKeySequence(keys), this), &QShortcut::activated, this, handler);
    };
    shortcut(Qt::SHIFT | Qt::Key_F10, [this] { OpenContextMenuByKey(); });
    shortcut(Qt::CTRL | Qt::Key_O, [this] { m_browseInputButton->click(); });
    // Save is disabled until a load, but the key still says what is missing.
    shortcut(Qt::CTRL | Qt::Key_S, [this] { OnSave(); });
    shortcut(Qt::CTRL | Qt::Key_Q, [this] { reject(); });
    shortcut(QKeyCombination(Qt::Key_F1), [this] { m_aboutButton->click(); });
}

void MainDialog::OpenContextMenuByKey() {
    QWidget* target = focusWidget() != nullptr ? focusWidget() : this;
    const QPoint where = target->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, where, target->mapToGlobal(where));
    // Unhandled by the control, it goes on to the window, as the Menu key's does.
    QApplication::sendEvent(target, &event);
}

int MainDialog::DoModal() {
    if (!OnInitDialog()) {
        return m_exitStatus;
    }
    exec();
    return 0;
}

bool MainDialog::OnInitDialog() {
    UpdateData(false);
    for (QSlider* slider : {m_dynamicRangeSlider, m_volumeSlider, m_speedSlider}) {
        slider->setRange(0, kSliderMaximum);
    }
    CreateSystemMenu();
    setWindowIcon(KorvaneIcon());
    m_inputPath = m_profile.GetProfileString(kKeyInputFolder, "");
    m_language = m_profile.GetProfileInt(kKeyLanguage, kDefaultLanguage);
    ReadMenuSettings();
    RestoreDefaults();
    ApplyLanguage();
    ShowInstruction(Instruction::Welcome);
    const QPixmap questionMark = QuestionMarkPicture();
    m_aboutButton->setIcon(questionMark);
    m_aboutButton->setIconSize(questionMark.size());
    UpdateData(false);
    m_loaded = false;
    SetAdjustmentControlsEnabled(false);
    if (RunCommandLine()) {
        return false;
    }
    RemoveFolderTree(SetupFolder());
    OnPaint();
    m_browseInputButton->setFocus(Qt::OtherFocusReason);
    TakeCommandLineFile();
    return true;
}

void MainDialog::CreateSystemMenu() {
    m_systemMenu = new QMenu(this);
    m_systemMenu->setObjectName("systemMenu");
    m_systemMenu->setSeparatorsCollapsible(false);
    m_minimizeAction = m_systemMenu->addAction(QString());
    m_minimizeAction->setData(kMinimizeCommand);
    m_closeAction = m_systemMenu->addAction(QString());
    m_closeAction->setData(kCloseCommand);
    m_hearOriginalAction = m_systemMenu->addAction(
        QString::fromUtf8(LanguageTextsFor(kDefaultLanguage)->hearOriginal));
    m_hearOriginalAction->setObjectName("hearOriginal");
    m_hearOriginalAction->setCheckable(true);
    connect(m_hearOriginalAction, &QAction::triggered, this,
            [this](bool on) { m_preview->HearOriginal(on); });
    CreateAdjustmentItems();
    m_systemMenu->addSeparator();
    m_aboutAction =
        m_systemMenu->addAction(QString::fromUtf8(AboutTextsFor(kDefaultLanguage)->menuEntry));
    m_aboutAction->setData(kAboutCommand);
}

bool MainDialog::RunCommandLine() {
    const BatchArguments batch = ScanBatchArguments(m_arguments);
    if (!batch.seen) {
        return false;
    }
    if (batch.inputGiven) {
        m_inputPath = batch.inputPath;
        m_outputPath = DeriveOutputPath(m_inputPath);
        UpdateData(false);
    }
    m_exitStatus = UpdateData(true) && RunSave() ? 0 : kBatchFailed;
    m_exitHook(m_exitStatus);
    return true;
}

void MainDialog::TakeCommandLineFile() {
    const BatchArguments batch = ScanBatchArguments(m_arguments);
    if (batch.plainArguments.empty()) {
        return;
    }
    const bool folder = QFileInfo(QString::fromStdString(batch.plainArguments.front())).isDir();
    if (m_collection != nullptr && (batch.plainArguments.size() > 1 || folder)) {
        std::vector<std::string> paths;
        for (const std::string& argument : batch.plainArguments) {
            paths.push_back(
                QFileInfo(QString::fromStdString(argument)).absoluteFilePath().toStdString());
        }
        QTimer::singleShot(0, this, [this, paths] { TakeInputs(paths); });
        return;
    }
    // A file manager hands over every selected file; the window holds one.
    if (const size_t others = batch.plainArguments.size() - 1; others > 0) {
        std::cerr << "korvane: the window opens the first file only; " << others
                  << (others == 1 ? " other file" : " other files") << " ignored\n";
    }
    // Relative to where the program was started, so the remembered folder means something.
    const std::string path = QFileInfo(QString::fromStdString(batch.plainArguments.front()))
                                 .absoluteFilePath()
                                 .toStdString();
    // Once the window is up, so that any message of the load appears over it.
    QTimer::singleShot(0, this, [this, path] { TakeInputFile(path); });
}

void MainDialog::DoDataExchange(DataExchange& dx) {
    Adjustments& adjustments = m_adjustments;
    DDX_Text(dx, m_inputEdit, m_inputPath);
    DDX_Text(dx, m_outputEdit, m_outputPath);
    DDX_Slider(dx, m_dynamicRangeSlider, adjustments.m_dynamicRange);
    DDX_Slider(dx, m_volumeSlider, adjustments.m_volume);
    DDX_Text(dx, m_instructionLabel, m_instructionText);
    DDX_Text(dx, m_speedEdit, adjustments.m_speedPercent, Adjustments::kSpeedLowest,
             Adjustments::kSpeedHighest, m_speedPrompt);
    DDX_Slider(dx, m_speedSlider, m_speedPosition);
    DDX_Check(dx, m_stuckNotesCheck, adjustments.m_eliminateStuckNotes);
}

bool MainDialog::UpdateData(bool saveAndValidate) {
    return DataExchange::Run(saveAndValidate, this,
                             [this](DataExchange& dx) { DoDataExchange(dx); });
}

void MainDialog::RestoreDefaults() {
    m_adjustments = DefaultAdjustments();
    m_speedPosition = kSpeedPositionNeutral;
    UpdateData(false);
}

Adjustments MainDialog::DefaultAdjustments() const {
    // The context menu's settings are the user's, kept in the profile: Reset leaves them.
    Adjustments defaults;
    defaults.m_keepBars = m_adjustments.m_keepBars;
    defaults.m_levelChannels = m_adjustments.m_levelChannels;
    defaults.m_peakLevel = m_adjustments.m_peakLevel;
    return defaults;
}

void MainDialog::SetLanguage(int language) {
    m_language = language;
    ApplyLanguage();
    ShowInstruction(m_instruction);
}

void MainDialog::ShowInstruction(Instruction instruction) {
    m_instruction = instruction;
    switch (instruction) {
    case Instruction::Welcome:
        m_instructionText = Text(&LanguageTexts::textWelcome);
        break;
    case Instruction::Loaded:
        m_instructionText = Text(&LanguageTexts::textLoaded);
        break;
    case Instruction::SeveralLoaded:
        m_instructionText = CollectionLoadedText();
        break;
    case Instruction::Saved:
        m_instructionText = Text(&LanguageTexts::textSaved);
        break;
    }
    const QString text = QString::fromStdString(m_instructionText);
    m_instructionLabel->setText(text);
    // Its layout's blank lines and indents read as nothing but pauses to a screen reader.
    m_instructionLabel->setAccessibleName(text.simplified());
}

bool MainDialog::ApplyLanguage() {
    const LanguageTexts* texts = LanguageTextsFor(m_language);
    if (texts != nullptr) {
        m_texts = texts;
        for (size_t i = 0; i < kCaptionControlIds.size(); ++i) {
            SetCaption(kCaptionControlIds[i], texts->captions[i]);
        }
        m_speedPrompt = texts->msgSpeedPrompt;
        m_hearOriginalAction->setText(QString::fromUtf8(texts->hearOriginal));
        m_aboutAction->setText(QString::fromUtf8(AboutTextsFor(m_language)->menuEntry));
        ApplyMenuTexts(*texts);
    }
    ApplyControlTexts();
    DrawLogo();
    UseQtTranslations(m_language);
    MarkSpeedField(TypedSpeed().has_value());
    m_player->ApplyLanguage(m_language);
    return UpdateData(false);
}

void MainDialog::SetCaption(int id, const char* text) {
    const QString caption = QString::fromUtf8(text);
    QWidget* control = findChild<QWidget*>(ControlName(id));
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(caption);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(caption);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(caption);
    }
}

void MainDialog::ApplyControlTexts() {
    // A language without texts still leaves every control named for a screen reader.
    m_controlTexts = ControlTextsFor(m_language);
    if (m_controlTexts == nullptr) {
        m_controlTexts = ControlTextsFor(kDefaultLanguage);
    }
    const ControlTexts& texts = *m_controlTexts;
    const auto describe = [](QWidget* control, const char* name, const char* description) {
        control->setAccessibleName(QString::fromUtf8(name));
        control->setAccessibleDescription(QString::fromUtf8(description));
    };
    describe(m_inputEdit, texts.inputPath, "");
    describe(m_outputEdit, texts.outputPath, "");
    describe(m_browseInputButton, texts.browseInput, texts.browseInputDescription);
    describe(m_browseOutputButton, texts.browseOutput, texts.browseOutputDescription);
    m_player->setAccessibleName(QString::fromUtf8(texts.player));
    m_resetButton->setAccessibleDescription(QString::fromUtf8(texts.resetDescription));
    describe(m_aboutButton, texts.about, "");
    m_aboutButton->setToolTip(QString::fromUtf8(texts.about));
    describe(m_dynamicRangeSlider, texts.dynamicRange, texts.dynamicRangeDescription);
    describe(m_volumeSlider, texts.volume, texts.volumeDescription);
    describe(m_speedSlider, texts.speed, texts.speedDescription);
    describe(m_speedEdit, texts.speedPercent, "");
    m_levelFrame->setAccessibleName(QString::fromUtf8(texts.levelPlot));
    DescribePlot();
    m_minimizeAction->setText(QString::fromUtf8(texts.minimize));
    m_closeAction->setText(QString::fromUtf8(texts.close));
}

void MainDialog::SetAdjustmentControlsEnabled(bool enabled) {
    for (int id : kAdjustmentControlIds) {
        findChild<QWidget*>(ControlName(id))->setEnabled(enabled);
    }
}

void MainDialog::OnPaint() {
    Adjustments& adjustments = m_adjustments;
    // Only the two positions the plot needs: a refused speed field must not prompt here.
    adjustments.m_dynamicRange = m_dynamicRangeSlider->value();
    adjustments.m_volume = m_volumeSlider->value();
    m_levelFrame->Redraw(m_levels, adjustments.m_dynamicRange, adjustments.m_volume, m_levelsMarked,
                         {adjustments.m_peakLevel, m_loudestNoteOn, &m_noteOnMarks});
    DescribePlot();
}

void MainDialog::DescribePlot() {
    m_levelFrame->setAccessibleDescription(
        DescribeLevels(m_levelSummary, m_dynamicRangeSlider->value(), m_volumeSlider->value(),
                       *m_controlTexts, m_language, m_levelsMarked,
                       NoteGain::For(m_adjustments.m_peakLevel, m_loudestNoteOn,
                                     m_dynamicRangeSlider->value(), m_volumeSlider->value())));
}

std::string MainDialog::DefaultFolder() const {
    return ExamplesFolder(g_programFolder);
}

void MainDialog::OnBrowseInput() {
    const std::string folder = m_profile.GetProfileString(kKeyInputFolder, DefaultFolder());
    const std::string name = m_profile.GetProfileString(kKeyInputName, "");
    const FileDialogRequest request{FileDialogMode::Open,
                                    QString::fromUtf8(m_controlTexts->browseInputDescription),
                                    MidiFileFilters(*m_controlTexts)};
    if (const auto chosen = ChooseMidiFiles(this, request, folder, name);
        chosen && !chosen->empty()) {
        TakeInputs(*chosen);
    }
}

bool MainDialog::TakeInputFile(const std::string& path, bool showFailure) {
    const WaitCursor wait;
    const std::string folder = FolderOfPath(path);
    m_inputPath = path;
    UpdateData(false);
    const bool loaded = LoadInput(showFailure);
    // A file tried quietly for a collection is remembered only when it loads. A profile that
    // cannot be written only costs the remembering.
    if (loaded || showFailure) {
        m_profile.WriteProfileString(kKeyInputFolder, folder);
        m_profile.WriteProfileString(kKeyInputName, path.substr(folder.size()));
    }
    return loaded;
}

void MainDialog::OnBrowseOutput() {
    const std::string folder = m_profile.GetProfileString(kKeyInputFolder, DefaultFolder());
    const FileDialogRequest request{FileDialogMode::Save,
                                    QString::fromUtf8(m_controlTexts->browseOutputDescription),
                                    MidiFileFilters(*m_controlTexts)};
    const std::optional<std::string> chosen = ChooseMidiFile(this, request, folder, m_outputPath);
    if (!chosen) {
        return;
    }
    const WaitCursor wait;
    const std::string chosenFolder = FolderOfPath(*chosen);
    m_outputPath = *chosen;
    UpdateData(false);
    m_profile.WriteProfileString(kKeyOutputFolder, chosenFolder);
    m_profile.WriteProfileString(kKeyOutputName, chosen->substr(chosenFolder.size()));
}

void MainDialog::OnLoad() {
    const std::string typed = m_inputEdit->text().toStdString();
    if (m_collection != nullptr && QFileInfo(QString::fromStdString(typed)).isDir()) {
        TakeInputs({typed});
        return;
    }
    LoadInput(true);
}

bool MainDialog::LoadInput(bool showFailure) {
    // The paths come before the speed field, so a refused speed still leaves them taken; the
    // defaults replace the adjustments anyway.
    UpdateData(true);
    return RunLoad(showFailure);
}

void MainDialog::OnSave() {
    if (!m_loaded) {
        ShowMessage(Text(&LanguageTexts::msgPleaseLoad), MessageIcon::Information);
        return;
    }
    // A refused speed field runs no pass.
    if (!UpdateData(true)) {
        return;
    }
    if (m_collectionPaths.empty()) {
        RunSave();
    } else {
        SaveCollection();
    }
}

void MainDialog::OnResetButton() {
    RestoreDefaults();
    OnPaint();
    m_preview->Refresh(ShownAdjustments());
}

void MainDialog::OnSpeedSliderChanged(int position) {
    // The field follows the slider only when its position changes, so a typed value stays.
    m_speedPosition = position;
    if (!m_speedFollowing) {
        const QScopedValueRollback following(m_speedFollowing, true);
        m_speedEdit->setText(QString::number(SpeedOfSliderPosition(position)));
    }
}

void MainDialog::OnSpeedTextChanged() {
    const std::optional<int> speed = TypedSpeed();
    MarkSpeedField(speed.has_value());
    if (speed && !m_speedFollowing) {
        // The slider shows a typed value as far as its range reaches; the field keeps the text.
        const QScopedValueRollback following(m_speedFollowing, true);
        m_speedSlider->setValue(std::clamp(SliderPositionOfSpeed(*speed), 0, kSliderMaximum));
    }
}

void MainDialog::MarkSpeedField(bool valid) {
    // Marked as it is typed, without a box: the prompt itself waits for Save.
    QPalette shown = palette();
    if (!valid) {
        shown.setColor(QPalette::Base, kRefusedBase);
        shown.setColor(QPalette::Text, Qt::black);
    }
    m_speedEdit->setPalette(shown);
    const QString prompt = valid ? QString() : QString::fromStdString(m_speedPrompt);
    m_speedEdit->setToolTip(prompt);
    m_speedEdit->setAccessibleDescription(prompt);
}

void MainDialog::OnAdjustmentsCommitted() {
    m_sliderActionTimer->stop();
    m_preview->Refresh(ShownAdjustments());
}

void MainDialog::OnSpeedFieldCommitted() {
    // A good value is taken, so it stands while the field holds a refused one later.
    if (TypedSpeed() && UpdateData(true)) {
        OnAdjustmentsCommitted();
    }
}

Adjustments MainDialog::ShownAdjustments() const {
    Adjustments shown = m_adjustments;
    shown.m_dynamicRange = m_dynamicRangeSlider->value();
    shown.m_volume = m_volumeSlider->value();
    shown.m_eliminateStuckNotes = m_stuckNotesCheck->isChecked();
    shown.m_speedPercent = TypedSpeed().value_or(m_adjustments.m_speedPercent);
    return shown;
}

void MainDialog::OnStripLeftSavedFile() {
    if (m_instruction == Instruction::Saved) {
        ShowInstruction(Instruction::Loaded);
    }
}

void MainDialog::OnSliderAction(int action) {
    if (action != QAbstractSlider::SliderMove) {
        m_sliderActionTimer->start();
    }
}

std::optional<int> MainDialog::TypedSpeed() const {
    return ParseSpeedText(m_speedEdit->text().toStdString());
}

void MainDialog::OnAboutButton() {
    const AboutTexts* texts = AboutTextsFor(m_language);
    const AboutTexts& words = texts != nullptr ? *texts : *AboutTextsFor(kDefaultLanguage);
    AboutDialog about(
        DrawAboutPicture(*this, AboutDialog::PictureScale(), devicePixelRatioF(), words), this);
    about.setWindowTitle(QString::fromUtf8(words.title));
    QStringList callouts;
    for (const char* callout : words.callouts) {
        callouts << QString::fromUtf8(callout);
    }
    about.Describe(QString::fromUtf8(words.glance), callouts.join(", "),
                   QString::fromUtf8(words.languageList));
    about.m_languageIndex = m_language;
    about.exec();
    if (about.m_languageIndex == m_language || about.m_languageIndex < 0) {
        return;
    }
    m_profile.WriteProfileInt(kKeyLanguage, about.m_languageIndex);
    SetLanguage(about.m_languageIndex);
}

void MainDialog::OnSysCommand(unsigned command) {
    switch (command & 0xFFF0) {
    case kAboutCommand:
        OnAboutButton();
        break;
    case kMinimizeCommand:
        showMinimized();
        break;
    case kCloseCommand:
        reject();
        break;
    default:
        break;
    }
}

void MainDialog::accept() {
    // OnOK: Enter never ends the window.
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
    // The window menu belongs to the window manager here; this menu stands in for it.
    m_hearOriginalAction->setEnabled(m_preview->HasPreview());
    m_hearOriginalAction->setChecked(m_preview->HearingOriginal());
    QAction* chosen = m_systemMenu->exec(event->globalPos());
    if (chosen != nullptr && !chosen->data().isNull()) {
        OnSysCommand(chosen->data().toUInt());
    }
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedPaths(event->mimeData(), m_collection != nullptr).empty()) {
        event->acceptProposedAction();
    }
}

void MainDialog::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = DroppedPaths(event->mimeData(), m_collection != nullptr);
    if (paths.empty()) {
        return;
    }
    event->acceptProposedAction();
    // After the drop has finished, so that the dragging program is not kept waiting.
    QTimer::singleShot(0, this, [this, paths] { TakeInputs(paths); });
}

} // namespace korvane
