#pragma once

#include "job/ConversionJob.h"
#include "job/JobHost.h"
#include "job/LanguageTable.h"
#include "job/ProfileKeys.h"
#include "platform/gui/DialogUnits.h"
#include "ui/LevelDescription.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QContextMenuEvent;
class QDragEnterEvent;
class QDropEvent;
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

// The main window. It owns the conversion job, whose members are the values it
// exchanges with its controls, and runs the job for Load, Save, a picked or dropped input and
// the batch run of the command line. Every control carries the objectName "c<ID>".
class MainDialog : public QDialog, public JobHost {
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

    // Copies every control into its member (true) or every member into its control (false);
    // false when the speed field was refused.
    bool UpdateData(bool saveAndValidate);
    void RestoreDefaults();
    // Puts the texts of m_language into the captions and the job's texts.
    bool ApplyLanguage();
    // Redraws the level display from the two level sliders' positions.
    void OnPaint();
    // Takes path as if it had been chosen with the input Browse button: remembered, then loaded.
    void TakeInputFile(const std::string& path);

    // JobHost
    bool TakeWindowValues() override;
    void ShowValues() override;
    void ShowMessage(const std::string& text, MessageIcon icon) override;
    void EnableAdjustmentControls() override;
    PlayerControl& Player() override;
    void Redraw() override;

    // The job and the members exchanged with the controls besides the job's own.
    ConversionJob m_job{*this};
    int m_speedPosition = 0;
    int m_language = 1;

  protected:
    void accept() override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
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
    // Names and descriptions for screen readers and the menu's window commands.
    void ApplyControlTexts();
    // The plot's description for a screen reader: what it shows at the sliders' positions.
    void DescribePlot();
    void SetAdjustmentControlsEnabled(bool enabled);
    // Returns true when a batch run took place.
    bool RunCommandLine();
    void TakeCommandLineFile();
    std::string DefaultFolder() const;

    void OnBrowseInput();
    void OnBrowseOutput();
    void OnLoad();
    void OnSave();
    void OnResetButton();
    void OnAboutButton();
    void OnSysCommand(unsigned command);
    void OnSpeedSliderChanged(int position);
    // An adjustment has been let go of: the preview follows it.
    void OnAdjustmentsCommitted();
    void OnSpeedFieldCommitted();
    // The strip has left the saved file for a preview: the saved-file text no longer holds.
    void OnStripLeftSavedFile();
    // Keys, the wheel and clicks beside the thumb move a slider without a release.
    void OnSliderAction(int action);
    // The speed field's value, when it is one the field accepts.
    std::optional<int> TypedSpeed() const;

    Profile& m_profile;
    std::vector<std::string> m_arguments;
    ExitHook m_exitHook;
    int m_exitStatus = 0;
    std::string m_speedPrompt;

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
    // Gathers a run of key presses on a slider into one preview.
    QTimer* m_sliderActionTimer = nullptr;
};

} // namespace korvane
