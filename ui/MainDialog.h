#pragma once

#include "job/ConversionJob.h"
#include "job/LanguageTable.h"
#include "job/Preview.h"
#include "job/ProfileKeys.h"
#include "platform/MessageIcon.h"
#include "platform/gui/DialogUnits.h"
#include "ui/FileCollection.h"
#include "ui/LevelDescription.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QContextMenuEvent;
class QDragEnterEvent;
class QDropEvent;
class QResizeEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class QTimer;

namespace korvane {

class PlayerStrip;
struct ControlTemplate;
class DataExchange;
class InstructionLabel;
class LevelView;
class Profile;

// The main window. It holds the values it exchanges with its controls, hands them to the
// conversion job for Load, Save, a picked or dropped input and the batch run of the command
// line, and shows what the job answers. Every control carries the objectName "c<ID>".
class MainDialog : public QDialog {
    Q_OBJECT
  public:
    // How a batch run ends the process; tests replace it to stay in-process.
    using ExitHook = std::function<void(int status)>;

    // arguments are the process arguments, entry 0 the program name.
    MainDialog(Profile& profile, std::vector<std::string> arguments, QWidget* parent = nullptr);
    ~MainDialog() override;

    // Initialises the window and runs it until it closes. Returns the exit status: 0, or that
    // of a batch run whose exit hook returned.
    int DoModal();
    // Initialisation; false when the command line ran a batch conversion (the window must then
    // not be shown).
    bool OnInitDialog();
    void SetExitHook(ExitHook hook) { m_exitHook = std::move(hook); }
    // With a collection the window takes several files and folders at once; without one it
    // takes the first file given.
    void SetFileCollection(const FileCollection* collection) { m_collection = collection; }

    // Takes path as if it had been chosen with the input Browse button: remembered, then loaded;
    // true when it loaded. A failed load's message is shown unless showFailure is false; the
    // file loaded before stays loaded.
    bool TakeInputFile(const std::string& path, bool showFailure = true);
    // Takes paths dropped, chosen or given together: one file as TakeInputFile does, else every
    // file they hold, the first loaded.
    void TakeInputs(const std::vector<std::string>& paths);
    // Shows every text in language, the instruction saying what the window holds.
    void SetLanguage(int language);

    // What the window holds, as its controls show it.
    bool IsLoaded() const { return m_loaded; }
    const std::vector<uint8_t>& PlottedLevels() const { return m_levels; }
    // The adjustments the last pass or Save took from the controls.
    const Adjustments& TakenAdjustments() const { return m_adjustments; }
    // A preview larger than bytes is not made.
    void SetPreviewMemoryLimit(size_t bytes) { m_preview->SetMemoryLimit(bytes); }

  protected:
    void accept() override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // What the instruction says: the window's state.
    enum class Instruction { Welcome, Loaded, SeveralLoaded, Saved };

    // Copies every control into its member (true) or every member into its control (false);
    // false when the speed field was refused.
    bool UpdateData(bool saveAndValidate);
    void RestoreDefaults();
    // The adjustments a load starts from: the defaults with the context menu's settings.
    Adjustments DefaultAdjustments() const;
    // Puts the texts of m_language into the captions and the job's texts.
    bool ApplyLanguage();
    // Redraws the level display from the two level sliders' positions.
    void OnPaint();
    // A load pass with the values taken last; true when it completed. A failed one leaves the
    // file loaded before as it was.
    bool RunLoad(bool showFailure);
    // A save pass of the one file with the values taken last; true when it completed.
    bool RunSave();
    // Every Save ends here, of one file or many: the player holds the first output (none when
    // it failed), whose ticks were scaled by tickSpeed.
    void ShowSaved(const std::optional<std::string>& output, int tickSpeed);
    void ShowInstruction(Instruction instruction);

    // The members exchanged with the controls.
    std::string m_inputPath;
    std::string m_outputPath;
    std::string m_instructionText;
    Adjustments m_adjustments;
    int m_speedPosition = 0;
    int m_language = 1;
    // The base units the controls are placed in, found for the font and every language's texts.
    DialogBaseUnits m_units;
    Instruction m_instruction = Instruction::Welcome;
    // Set by the first completed pass; Save refuses until then.
    bool m_loaded = false;
    // The file the plot, the player and Save work on.
    std::string m_loadedPath;
    // The levels of the last pass as read, one byte each, for the plot.
    std::vector<uint8_t> m_levels;
    // Whether m_levels mark the levels of channels left unmapped.
    bool m_levelsMarked = false;
    // With the loudest note at full level: which levels are Note On velocities of mapped
    // channels, and the loudest of them as read, so the plot draws them with the gain.
    std::vector<uint8_t> m_noteOnMarks;
    unsigned m_loudestNoteOn = 0;
    // What the player plays before a save: made after each load, passes stop it.
    std::unique_ptr<Preview> m_preview;

    void CreateControls();
    QWidget* CreateControl(const ControlTemplate& control);
    void BindControls();
    void ConnectHandlers();
    // Tab in reading order, and the keys a desktop user tries first.
    void SetTabOrder();
    void CreateShortcuts();
    // Shift+F10: the context menu of the focused control, as the Menu key opens it.
    void OpenContextMenuByKey();
    void CreateSystemMenu();
    void DoDataExchange(DataExchange& dx);
    void SetCaption(int id, const char* text);
    // Sizes the window and its controls for the font, large enough for every language's texts.
    void LayOut();
    void PlaceControls(const DialogBaseUnits& units);
    // The controls for the window's height: the plot takes what the window has more or less.
    void ArrangeControls();
    // The logo drawn for its frame, which grows with the font.
    void DrawLogo();
    // Names and descriptions for screen readers and the menu's window commands.
    void ApplyControlTexts();
    // The plot's description for a screen reader: what it shows at the sliders' positions.
    void DescribePlot();
    void SetAdjustmentControlsEnabled(bool enabled);
    // Several files: the first is loaded, Save converts them all, each output beside its input.
    void EnterCollection(const std::vector<std::string>& paths,
                         const std::vector<std::string>& files);
    void LeaveCollection();
    void SaveCollection();
    // A folder, or several, without a MIDI file: said, and nothing else changes.
    void RefuseEmptyFolder(const std::vector<std::string>& paths);
    // notReached: the files a stop left unconverted.
    void ShowCollectionResult(const FileCollection::Result& result, size_t notReached);
    std::string SummaryOf(const FileCollection::Result& result, size_t notReached) const;
    std::string CollectionLoadedText() const;
    // The count in its phrase, in the form and digit grouping of the language.
    QString Counted(const CountedText& text, size_t count) const;
    const CollectionTexts& CollectionWords() const;
    // Returns true when a batch run took place.
    bool RunCommandLine();
    void TakeCommandLineFile();
    std::string DefaultFolder() const;

    void OnBrowseInput();
    void OnBrowseOutput();
    void OnLoad();
    bool LoadInput(bool showFailure);
    void OnSave();
    void OnResetButton();
    void OnAboutButton();
    void OnSysCommand(unsigned command);
    void OnSpeedSliderChanged(int position);
    // An adjustment has been let go of: the preview follows it.
    void OnAdjustmentsCommitted();
    void OnSpeedFieldCommitted();
    // Typing moves the slider to the value and marks a value Save would refuse.
    void OnSpeedTextChanged();
    void MarkSpeedField(bool valid);
    // The adjustments the controls show, taken without the exchange: a refused speed field must
    // not prompt, and the speed last taken stands.
    Adjustments ShownAdjustments() const;
    // Before a pass: the preview stops and the player lets go of the file, so it can be rewritten.
    void ReleasePlayer();
    void ShowFailure(const ConversionOutcome& outcome);
    void ShowMessage(const std::string& text, MessageIcon icon, const std::string& details = {});
    // The context menu's adjustment items (ui/MainDialogMenu.cpp): three settings the profile
    // keeps.
    void CreateAdjustmentItems();
    void ReadMenuSettings();
    void ApplyMenuTexts(const LanguageTexts& texts);
    void OnKeepBars(bool on);
    void OnLeaveDrums(bool on);
    void OnLoudestToFull(bool on);
    // A load pass for the plot alone, at the adjustments shown.
    void ReloadLevels();
    // The levels of a completed pass, for the plot.
    void TakeLevels(ConversionOutcome& outcome);
    // The text of the current language, empty until a language is applied.
    std::string Text(const char* LanguageTexts::*member) const;
    void Redraw();
    // The strip has left the saved file for a preview: the saved-file text no longer holds.
    void OnStripLeftSavedFile();
    // Keys, the wheel and clicks beside the thumb move a slider without a release.
    void OnSliderAction(int action);
    // The speed field's value, when it is one the field accepts.
    std::optional<int> TypedSpeed() const;

    Profile& m_profile;
    std::vector<std::string> m_arguments;
    ConversionJob m_job;
    const LanguageTexts* m_texts = nullptr;
    const FileCollection* m_collection = nullptr;
    // The paths given when the window holds several files; empty while it holds one.
    std::vector<std::string> m_collectionPaths;
    size_t m_collectionFiles = 0;
    // Whether the file loaded for the collection is its first; else the text names it.
    bool m_collectionShowsFirst = true;
    ExitHook m_exitHook;
    int m_exitStatus = 0;
    std::string m_speedPrompt;
    // Set while the speed field and slider follow each other, so neither echoes back.
    bool m_speedFollowing = false;

    QGroupBox* m_saveGroup = nullptr;
    QGroupBox* m_loadGroup = nullptr;
    QPushButton* m_loadButton = nullptr;
    QPushButton* m_browseInputButton = nullptr;
    QPushButton* m_browseOutputButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QLabel* m_dynamicRangeLabel = nullptr;
    QLabel* m_volumeLabel = nullptr;
    QLabel* m_percentLabel = nullptr;
    QLabel* m_speedLabel = nullptr;
    QCheckBox* m_stuckNotesCheck = nullptr;
    QSlider* m_speedSlider = nullptr;
    QLineEdit* m_speedEdit = nullptr;
    QPushButton* m_resetButton = nullptr;
    QPushButton* m_aboutButton = nullptr;
    QSlider* m_volumeSlider = nullptr;
    QSlider* m_dynamicRangeSlider = nullptr;
    LevelView* m_levelFrame = nullptr;
    QLineEdit* m_inputEdit = nullptr;
    QLineEdit* m_outputEdit = nullptr;
    InstructionLabel* m_instructionLabel = nullptr;
    PlayerStrip* m_player = nullptr;
    QMenu* m_systemMenu = nullptr;
    QAction* m_minimizeAction = nullptr;
    QAction* m_closeAction = nullptr;
    const ControlTexts* m_controlTexts = ControlTextsFor(kDefaultLanguage);
    // The levels of the last pass as the plot's description needs them.
    LevelSummary m_levelSummary;
    QAction* m_hearOriginalAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_keepBarsAction = nullptr;
    QAction* m_leaveDrumsAction = nullptr;
    QAction* m_loudestAction = nullptr;
    // Gathers a run of key presses on a slider into one preview.
    QTimer* m_sliderActionTimer = nullptr;
};

} // namespace korvane
