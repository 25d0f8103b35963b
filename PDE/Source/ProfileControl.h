// Controller of the Profile Management window: the user curates the three
// profile lists on working copies, which are written back only when the
// whole window is confirmed.
#pragma once

#include "PDECommon.h"

#include <ProfileTypes.h>

#include <QIcon>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QComboBox;
class QDialog;
class QLabel;
class QPushButton;
class QTableView;

namespace PDE {

class AdvancedColorOptions;
class IconedCell;
class ProfileTableModel;
class VXTextField;

// Modes of the edit part.
constexpr int32_t kModeBrowsing = 0;
constexpr int32_t kModeAdding = 1;
constexpr int32_t kModeEditing = 2;

inline constexpr const char* kProfileWindowFileName = "ProfileManagement.ui";

class ProfileControl : public QObject {
    Q_OBJECT
public:
    explicit ProfileControl(QObject* parent = nullptr);
    ~ProfileControl() override;

    void awakeFromInterface(QWidget* root);
    void setPMPrint(PMPrintSettings* settings, PMPrintSession* printSession) {
        setting = settings;
        session = printSession;
    }
    void setConstTable(ControlTableEntry* table) { constTable = table; }

    // Actions of the window's controls (and of the Advanced pane's button).
    Q_INVOKABLE void showProfileManagementWindow(QObject* sender);
    Q_INVOKABLE void profileMenu(QObject* sender);
    Q_INVOKABLE void addButton(QObject* sender);
    Q_INVOKABLE void editButton(QObject* sender);
    Q_INVOKABLE void deleteButton(QObject* sender);
    Q_INVOKABLE void browseButton(QObject* sender);
    Q_INVOKABLE void profileOK(QObject* sender);
    Q_INVOKABLE void profileCancel(QObject* sender);
    Q_INVOKABLE void profileWindowOK(QObject* sender);
    Q_INVOKABLE void profileWindowCancel(QObject* sender);

    // Prepares the window for one modal run (also used by tests, which drive
    // the window without running it modally). False when the window's
    // interface file cannot be loaded.
    bool initWithProfileControl();

    // The table's data source and delegate.
    int numberOfRowsInTableView() const;
    QVariant objectValueForTableColumn(const QString& identifier, int row, int role) const;
    void setObjectValueForTableColumn(const QString& identifier, int row);
    bool selectionShouldChangeInTableView() const;
    bool shouldSelectRow(int row);
    void tableViewSelectionDidChange();

    ProfileList* currentProfileDict();
    bool isCustomProfile() const;
    int32_t mode() const { return buttonIdentify; }
    int16_t protocol() const { return protocolType; }
    QDialog* window() const;
    // The working list and the deleted list of a group (0 RGB, 1 SIM, 2 DST).
    const ProfileList& workingList(int group) const;
    const ProfileList& deletedList(int group) const;

    // Shows the open panel; replaceable so that tests need no file dialog.
    using FileChooser = std::function<QString(const QString& directory)>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

private:
    void vHandlingButtonSetDisable(bool add, bool edit, bool deleteEnabled);
    void vProfileSettingsClearEditText();
    void vProfileSettingsAllDisablePart();
    void vProfileSettingsAllEnablePart();
    void setEditPartEnabled(bool enabled);
    void setSelectionFrozen(bool frozen);
    void returnToBrowsing();
    void sizeColumns();
    void refuseEntry(const QString& reason);
    void showSaveStatus(const QString& message);
    int selectedRow() const;
    void reloadTable();
    void deselectAll();
    ProfileList* deletedListOfCurrentGroup();
    bool loadWindow();

    PMPrintSettings* setting = nullptr;
    PMPrintSession* session = nullptr;
    int16_t protocolType = -1;
    ControlTableEntry* constTable = nullptr;
    QPointer<QDialog> _profileManagementWindow;
    QPointer<AdvancedColorOptions> onAdvancedView;
    QPointer<QComboBox> _profileMenu;
    QPointer<QTableView> _profileTableView;
    QPointer<QPushButton> _addButton, _editButton, _deleteButton;
    QPointer<QLabel> _fileNameText, _profileNameText, _locationText;
    QPointer<VXTextField> _fileNameEdit, _profileNameEdit;
    QPointer<QComboBox> _locationMenu;
    QPointer<QPushButton> _browse, _localOK, _localCancel;
    int32_t buttonIdentify = kModeBrowsing;
    std::unique_ptr<ProfileList> plistRGBDict, plistSIMDict, plistDSTDict;
    std::unique_ptr<ProfileList> plistRGBDelete, plistSIMDDelete, plistDSTDelete;

    std::unique_ptr<QDialog> windowOwner_;
    ProfileTableModel* model_ = nullptr;
    IconedCell* iconCell_ = nullptr;
    QIcon onPrinterIcon_;
    FileChooser chooseFile_;
    // Where a write that did not happen is reported: in the window and on the
    // panel beside the Management Profile button. Made when first needed.
    QPointer<QLabel> windowSaveStatus_, panelSaveStatus_;
};

} // namespace PDE
