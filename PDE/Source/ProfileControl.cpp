#include "ProfileControl.h"

#include "AdvancedColorOptions.h"
#include "ConstraintEngine.h"
#include "IconedCell.h"
#include "InterfaceLoader.h"
#include "ProfileMenuEntries.h"
#include "ProfileTableModel.h"
#include "TextFilters.h"
#include "VXTextField.h"

#include <Bundle.h>
#include <InstallRoot.h>
#include <PDEPlugInAPI.h>
#include <VXPList.h>

#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLayout>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>

#include <algorithm>
#include <cstring>

namespace PDE {

namespace {

constexpr int16_t kProtocolLPD = 0;
constexpr int16_t kProtocolBonjour = 1;
constexpr int16_t kProtocolAppleTalk = 2;
constexpr int16_t kProtocolUSB = 3;

constexpr int kFileNameMaxLength = 31;
constexpr int kFileNameMaxExtension = 3;
constexpr int kProfileNameMaxLength = 30;
constexpr int kDataFontSize = 12;
constexpr int kTableFontSize = 9;
constexpr int kLocationMenuCard = 1;
// Device index given to an entry the user adds: 500 plus its slot.
constexpr int32_t kUserIndexBase = 500;
constexpr int32_t kUserProfileClass = 2;
constexpr int32_t kUserAvailability = 3;

bool walkable(int16_t protocol) {
    return protocol == kProtocolLPD || protocol == kProtocolBonjour;
}
bool cannotBeWalked(int16_t protocol) {
    return protocol == kProtocolAppleTalk || protocol == kProtocolUSB;
}
bool isDeviceEntry(int32_t state) {
    return state >= 1 && state <= 4;
}

QString nameOf(const char (&field)[kProfileNameFieldSize]) {
    const QByteArray bytes(field, int(strnlen(field, sizeof field)));
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : QString();
}

// The text as UTF-8 in a 32-byte field, NUL-padded; the fields' limits keep
// it within 31 bytes, and it is never cut inside a character.
void setName(char (&field)[kProfileNameFieldSize], const QString& text) {
    QByteArray bytes = text.toUtf8();
    while (bytes.size() > kProfileNameFieldSize - 1) {
        bytes.chop(1);
        while (!bytes.isEmpty() && (static_cast<unsigned char>(bytes.back()) & 0xC0) == 0x80)
            bytes.chop(1);
        if (!bytes.isEmpty() && static_cast<unsigned char>(bytes.back()) >= 0xC0)
            bytes.chop(1);
    }
    std::memset(field, 0, sizeof field);
    std::memcpy(field, bytes.constData(), size_t(bytes.size()));
}

void clearList(ProfileList* list) {
    std::memset(list, 0, sizeof(ProfileList));
}

void appendCopy(ProfileList* list, const ProfileEntry& entry) {
    if (list->iNum >= 0 && list->iNum < kMaxProfileEntries)
        list->litem[list->iNum++] = entry;
}

QFont dataFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(kDataFontSize);
    return font;
}

// The on-printer icon, recognised by its contents whatever the file's name
// says; a missing or unreadable file gives no icon.
QIcon readOnPrinterIcon() {
    QImageReader reader(QString::fromStdString(zrk::resolveInstallPath(zrk::kOnPrinterIconPath)));
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

QString defaultChooseFile(const QString& directory) {
    return QFileDialog::getOpenFileName(nullptr, QString(), directory);
}

} // namespace

ProfileControl::ProfileControl(QObject* parent)
    : QObject(parent), plistRGBDict(std::make_unique<ProfileList>()),
      plistSIMDict(std::make_unique<ProfileList>()), plistDSTDict(std::make_unique<ProfileList>()),
      plistRGBDelete(std::make_unique<ProfileList>()),
      plistSIMDDelete(std::make_unique<ProfileList>()),
      plistDSTDelete(std::make_unique<ProfileList>()), chooseFile_(&defaultChooseFile) {}

ProfileControl::~ProfileControl() = default;

QDialog* ProfileControl::window() const {
    return _profileManagementWindow;
}

void ProfileControl::awakeFromInterface(QWidget* root) {
    onAdvancedView = root->findChild<AdvancedColorOptions*>(QStringLiteral("onAdvancedView"));
}

bool ProfileControl::loadWindow() {
    if (_profileManagementWindow)
        return true;
    PrintHost::Bundle* bundle = PDECommon::bundle();
    if (!bundle)
        return false;
    std::unique_ptr<QWidget> root = InterfaceLoader::load(
        bundle->pathForResource(QLatin1String(kProfileWindowFileName)), this, nullptr);
    auto* window = qobject_cast<QDialog*>(root.get());
    if (!window)
        return false;
    root.release();
    windowOwner_.reset(window);
    _profileManagementWindow = window;
    auto find = [window](auto*& out, const char* name) {
        out = window->findChild<std::remove_reference_t<decltype(*out)>*>(QLatin1String(name));
    };
    QComboBox* combo = nullptr;
    find(combo, "_profileMenu");
    _profileMenu = combo;
    find(combo, "_locationMenu");
    _locationMenu = combo;
    QTableView* table = nullptr;
    find(table, "_profileTableView");
    _profileTableView = table;
    QPushButton* button = nullptr;
    for (auto [slot, name] :
         {std::pair{&_addButton, "_addButton"}, std::pair{&_editButton, "_editButton"},
          std::pair{&_deleteButton, "_deleteButton"}, std::pair{&_browse, "_browse"},
          std::pair{&_localOK, "_localOK"}, std::pair{&_localCancel, "_localCancel"}}) {
        find(button, name);
        *slot = button;
    }
    QLabel* label = nullptr;
    for (auto [slot, name] : {std::pair{&_fileNameText, "_fileNameText"},
                              std::pair{&_profileNameText, "_profileNameText"},
                              std::pair{&_locationText, "_locationText"}}) {
        find(label, name);
        *slot = label;
    }
    VXTextField* field = nullptr;
    find(field, "_fileNameEdit");
    _fileNameEdit = field;
    find(field, "_profileNameEdit");
    _profileNameEdit = field;

    if (_profileTableView) {
        model_ = new ProfileTableModel(this, window);
        _profileTableView->setModel(model_);
        _profileTableView->setSelectionBehavior(QAbstractItemView::SelectRows);
        _profileTableView->setSelectionMode(QAbstractItemView::SingleSelection);
        _profileTableView->verticalHeader()->hide();
        connect(_profileTableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this] {
                    const int row = selectedRow();
                    if (row >= 0)
                        shouldSelectRow(row);
                    else
                        tableViewSelectionDidChange();
                });
    }
    // However the window is closed (its buttons, Esc, the title bar), an
    // entry being added or edited is abandoned with it.
    connect(window, &QDialog::finished, this, [this] { returnToBrowsing(); });
    return true;
}

void ProfileControl::setSelectionFrozen(bool frozen) {
    if (_profileTableView)
        _profileTableView->setSelectionMode(frozen ? QAbstractItemView::NoSelection
                                                   : QAbstractItemView::SingleSelection);
}

void ProfileControl::returnToBrowsing() {
    buttonIdentify = kModeBrowsing;
    setSelectionFrozen(false);
}

// Columns wide enough for whole names of the longest kind (31 characters of
// the data font) and for the location labels; the table asks for that much
// room, so the window's default size shows them.
void ProfileControl::sizeColumns() {
    if (!_profileTableView || !model_)
        return;
    QTableView* table = _profileTableView;
    const QFontMetrics data(dataFont());
    const QFontMetrics header(table->horizontalHeader()->font());
    const int margin =
        2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1) +
        table->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, table) * 2 + 2;
    auto headerWidth = [&](int column) {
        return header.horizontalAdvance(
                   model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString()) +
               margin;
    };
    const int nameWidth = data.horizontalAdvance(QString(kFileNameMaxLength, u'N')) + margin;
    int locationWidth = headerWidth(ProfileTableModel::kLocationColumn);
    for (const char* key : {"Disk", "Card"})
        locationWidth = std::max(locationWidth,
                                 data.horizontalAdvance(PDECommon::localizedString(key)) + margin);
    const int widths[] = {IconedCell::kIconSize + 2 * IconedCell::kLeftInset,
                          std::max(headerWidth(ProfileTableModel::kInMenuColumn),
                                   table->style()->pixelMetric(QStyle::PM_IndicatorWidth) + margin),
                          nameWidth, nameWidth, locationWidth};
    table->horizontalHeader()->setStretchLastSection(false);
    int total = 0;
    for (int column = 0; column < int(std::size(widths)); ++column) {
        table->setColumnWidth(column, widths[column]);
        total += widths[column];
    }
    table->verticalHeader()->setDefaultSectionSize(
        std::max(data.height() + 4, IconedCell::kIconSize + 2));
    // Room for the frame and for a vertical scroll bar, so that a long list
    // does not push the last column out of sight.
    table->setMinimumWidth(total + 2 * table->frameWidth() +
                           table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table) +
                           2);
}

void ProfileControl::refuseEntry(const QString& reason) {
    if (_profileManagementWindow)
        _profileManagementWindow->setProperty(PrintHost::ControlProperty::kRefusal, reason);
}

bool ProfileControl::initWithProfileControl() {
    if (!loadWindow())
        return false;
    // A write lost in an earlier run stays reported on the panel only.
    if (windowSaveStatus_)
        windowSaveStatus_->hide();
    returnToBrowsing();
    if (onAdvancedView)
        onAdvancedView->setControlValueToTicket();
    protocolType = PDECommon::commoniGetProtocol(session);

    const QString disk = PDECommon::localizedString("Disk");
    const QString card = PDECommon::localizedString("Card");
    if (_locationMenu && !disk.isNull() && !card.isNull()) {
        _locationMenu->clear();
        _locationMenu->addItems({disk, card});
    }

    if (_profileTableView) {
        delete iconCell_;
        iconCell_ = new IconedCell(_profileTableView);
        _profileTableView->setItemDelegateForColumn(ProfileTableModel::kIconColumn, iconCell_);
        QFont tableFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        tableFont.setPointSize(kTableFontSize);
        _profileTableView->setFont(tableFont);
        sizeColumns();
    }
    onPrinterIcon_ = readOnPrinterIcon();
    if (_profileMenu) {
        _profileMenu->setEnabled(true);
        _profileMenu->setCurrentIndex(0);
    }
    vProfileSettingsClearEditText();
    if (_fileNameEdit) {
        _fileNameEdit->setMaxLength(kFileNameMaxLength, kFileNameMaxExtension);
        _fileNameEdit->setInputKey(kInputKeyFileName);
        _fileNameEdit->setOperateControl(_localOK);
    }
    if (_profileNameEdit) {
        _profileNameEdit->setMaxLength(kProfileNameMaxLength, 0);
        _profileNameEdit->setInputKey(kInputKeyAscii);
    }
    vHandlingButtonSetDisable(true, false, false);
    vProfileSettingsAllDisablePart();

    for (ProfileList* list : {plistRGBDict.get(), plistSIMDict.get(), plistDSTDict.get(),
                              plistRGBDelete.get(), plistSIMDDelete.get(), plistDSTDelete.get()})
        clearList(list);
    ProfileList* working[] = {plistRGBDict.get(), plistSIMDict.get(), plistDSTDict.get()};
    for (int32_t group = 0; group < kProfileGroupCount; ++group) {
        const int32_t status = cannotBeWalked(protocolType)
                                   ? VXPListReadProfile_Dict_Pap(working[group], group)
                                   : VXPListReadProfile_Dict(working[group], group);
        if (status != 0)
            clearList(working[group]);
    }
    reloadTable();
    deselectAll();
    return true;
}

void ProfileControl::showProfileManagementWindow(QObject*) {
    if (!initWithProfileControl())
        return;
    const QString title = PDECommon::localizedString("ProfileTitle");
    if (!title.isNull())
        _profileManagementWindow->setWindowTitle(title);
    _profileManagementWindow->exec();
    if (_profileManagementWindow && _profileManagementWindow->screen()) {
        const QRect screen = _profileManagementWindow->screen()->availableGeometry();
        QRect frame = _profileManagementWindow->frameGeometry();
        frame.moveCenter(screen.center());
        _profileManagementWindow->move(frame.topLeft());
    }
}

// --- table ---

ProfileList* ProfileControl::currentProfileDict() {
    switch (_profileMenu ? _profileMenu->currentIndex() : -1) {
    case kProfileGroupRGB:
        return plistRGBDict.get();
    case kProfileGroupSIM:
        return plistSIMDict.get();
    case kProfileGroupDST:
        return plistDSTDict.get();
    default:
        return nullptr;
    }
}

const ProfileList& ProfileControl::workingList(int group) const {
    return group == kProfileGroupSIM   ? *plistSIMDict
           : group == kProfileGroupDST ? *plistDSTDict
                                       : *plistRGBDict;
}

const ProfileList& ProfileControl::deletedList(int group) const {
    return group == kProfileGroupSIM   ? *plistSIMDDelete
           : group == kProfileGroupDST ? *plistDSTDelete
                                       : *plistRGBDelete;
}

ProfileList* ProfileControl::deletedListOfCurrentGroup() {
    switch (_profileMenu ? _profileMenu->currentIndex() : -1) {
    case kProfileGroupRGB:
        return plistRGBDelete.get();
    case kProfileGroupSIM:
        return plistSIMDDelete.get();
    case kProfileGroupDST:
        return plistDSTDelete.get();
    default:
        return nullptr;
    }
}

int ProfileControl::numberOfRowsInTableView() const {
    const ProfileList* list = const_cast<ProfileControl*>(this)->currentProfileDict();
    return list ? std::clamp<int32_t>(list->iNum, 0, kMaxProfileEntries) : 0;
}

QVariant ProfileControl::objectValueForTableColumn(const QString& identifier, int row,
                                                   int role) const {
    const ProfileList* list = const_cast<ProfileControl*>(this)->currentProfileDict();
    const bool haveEntry = list && row >= 0 && row < numberOfRowsInTableView();
    if (!haveEntry)
        return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    const ProfileEntry& entry = list->litem[row];

    if (identifier == u"icon") {
        if (role == Qt::DecorationRole && walkable(protocolType) &&
            (entry.iInMenu == kInMenuDevicePresentHidden ||
             entry.iInMenu == kInMenuDevicePresentShown) &&
            !onPrinterIcon_.isNull())
            return onPrinterIcon_;
        return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    }
    if (identifier == u"inmenu")
        return role == Qt::CheckStateRole
                   ? QVariant(isOfferedInMenu(entry.iInMenu) ? Qt::Checked : Qt::Unchecked)
                   : QVariant();
    if (role == Qt::FontRole)
        return dataFont();
    if (role != Qt::DisplayRole)
        return {};
    if (identifier == u"filename")
        return nameOf(entry.FileName);
    if (identifier == u"profilename")
        return nameOf(entry.ProfileName);
    if (identifier == u"location") {
        const char* key = entry.iLocation == kLocationDisk   ? "Disk"
                          : entry.iLocation == kLocationCard ? "Card"
                                                             : nullptr;
        const QString text = key ? PDECommon::localizedString(key) : QString();
        return text.isNull() ? QString() : text;
    }
    return QString();
}

void ProfileControl::setObjectValueForTableColumn(const QString& identifier, int row) {
    ProfileList* list = currentProfileDict();
    if (identifier != u"inmenu" || !list || row < 0 || row >= numberOfRowsInTableView())
        return;
    int32_t& state = list->litem[row].iInMenu;
    switch (state) {
    case kInMenuDeviceAbsentHidden:
        state = kInMenuDeviceAbsentShown;
        break;
    case kInMenuDeviceAbsentShown:
        state = kInMenuDeviceAbsentHidden;
        break;
    case kInMenuDevicePresentHidden:
        state = kInMenuDevicePresentShown;
        break;
    case kInMenuDevicePresentShown:
        state = kInMenuDevicePresentHidden;
        break;
    case kInMenuUserHidden:
        state = kInMenuUserShown;
        break;
    case kInMenuUserShown:
        state = kInMenuUserHidden;
        break;
    default:
        break;
    }
}

bool ProfileControl::selectionShouldChangeInTableView() const {
    return buttonIdentify != kModeAdding && buttonIdentify != kModeEditing;
}

bool ProfileControl::shouldSelectRow(int row) {
    ProfileList* list = currentProfileDict();
    if (!list || row < 0 || row >= numberOfRowsInTableView())
        return true;
    const ProfileEntry& entry = list->litem[row];
    if (buttonIdentify == kModeBrowsing)
        vHandlingButtonSetDisable(true, true, true);
    if (entry.iInMenu == kInMenuDevicePresentHidden || entry.iInMenu == kInMenuDevicePresentShown)
        vHandlingButtonSetDisable(true, true, false);
    if (_fileNameEdit)
        _fileNameEdit->setText(nameOf(entry.FileName));
    if (_profileNameEdit)
        _profileNameEdit->setText(nameOf(entry.ProfileName));
    if (_locationMenu) {
        if (entry.iLocation == kLocationCard)
            _locationMenu->setCurrentIndex(kLocationMenuCard);
        else if (entry.iLocation == kLocationDisk)
            _locationMenu->setCurrentIndex(0);
    }
    return true;
}

void ProfileControl::tableViewSelectionDidChange() {
    if (selectedRow() >= 0)
        return;
    if (buttonIdentify == kModeBrowsing)
        vHandlingButtonSetDisable(true, false, false);
    vProfileSettingsClearEditText();
}

bool ProfileControl::isCustomProfile() const {
    const ProfileList* list = const_cast<ProfileControl*>(this)->currentProfileDict();
    const int row = selectedRow();
    return list && row >= 0 && row < numberOfRowsInTableView() &&
           isDeviceEntry(list->litem[row].iInMenu);
}

int ProfileControl::selectedRow() const {
    if (!_profileTableView || !_profileTableView->selectionModel())
        return -1;
    const QModelIndexList rows = _profileTableView->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ProfileControl::reloadTable() {
    if (model_)
        model_->reload();
}

void ProfileControl::deselectAll() {
    if (_profileTableView && _profileTableView->selectionModel())
        _profileTableView->selectionModel()->clearSelection();
}

// --- edit part ---

void ProfileControl::vHandlingButtonSetDisable(bool add, bool edit, bool deleteEnabled) {
    if (_addButton)
        _addButton->setEnabled(add);
    if (_editButton)
        _editButton->setEnabled(edit);
    if (_deleteButton)
        _deleteButton->setEnabled(deleteEnabled);
}

void ProfileControl::vProfileSettingsClearEditText() {
    if (_fileNameEdit)
        _fileNameEdit->setText(QString());
    if (_profileNameEdit)
        _profileNameEdit->setText(QString());
    if (_locationMenu)
        _locationMenu->setCurrentIndex(0);
}

void ProfileControl::setEditPartEnabled(bool enabled) {
    for (QWidget* control :
         {static_cast<QWidget*>(_fileNameText), static_cast<QWidget*>(_profileNameText),
          static_cast<QWidget*>(_locationText), static_cast<QWidget*>(_fileNameEdit),
          static_cast<QWidget*>(_profileNameEdit), static_cast<QWidget*>(_locationMenu),
          static_cast<QWidget*>(_browse), static_cast<QWidget*>(_localOK),
          static_cast<QWidget*>(_localCancel)}) {
        if (control)
            control->setEnabled(enabled);
    }
}

void ProfileControl::vProfileSettingsAllDisablePart() {
    setEditPartEnabled(false);
}

void ProfileControl::vProfileSettingsAllEnablePart() {
    setEditPartEnabled(true);
}

// --- actions ---

void ProfileControl::profileMenu(QObject*) {
    deselectAll();
    vProfileSettingsClearEditText();
    vHandlingButtonSetDisable(true, false, false);
    reloadTable();
}

void ProfileControl::addButton(QObject*) {
    vProfileSettingsClearEditText();
    if (_profileMenu)
        _profileMenu->setEnabled(false);
    vHandlingButtonSetDisable(false, false, false);
    vProfileSettingsAllEnablePart();
    if (_localOK)
        _localOK->setEnabled(false);
    buttonIdentify = kModeAdding;
    setSelectionFrozen(true);
    // Add grays itself out; what the user types next is the file name.
    if (_fileNameEdit)
        _fileNameEdit->setFocus(Qt::OtherFocusReason);
}

void ProfileControl::editButton(QObject*) {
    if (selectedRow() < 0)
        return;
    vHandlingButtonSetDisable(false, false, false);
    if (isCustomProfile()) {
        // A printer's entry: only its display name can change.
        vProfileSettingsAllDisablePart();
        for (QWidget* control :
             {static_cast<QWidget*>(_profileNameText), static_cast<QWidget*>(_profileNameEdit),
              static_cast<QWidget*>(_localCancel), static_cast<QWidget*>(_localOK)}) {
            if (control)
                control->setEnabled(true);
        }
    } else {
        vProfileSettingsAllEnablePart();
    }
    if (_profileMenu)
        _profileMenu->setEnabled(false);
    buttonIdentify = kModeEditing;
    setSelectionFrozen(true);
    // Edit grays itself out; the first field that may change takes the keys.
    for (QWidget* field :
         {static_cast<QWidget*>(_fileNameEdit), static_cast<QWidget*>(_profileNameEdit)}) {
        if (field && field->isEnabled()) {
            field->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
}

void ProfileControl::deleteButton(QObject*) {
    vHandlingButtonSetDisable(true, false, false);
    vProfileSettingsAllDisablePart();
    const int row = selectedRow();
    ProfileList* list = currentProfileDict();
    if (row < 0 || !list || row >= numberOfRowsInTableView())
        return;
    if (cannotBeWalked(protocolType)) {
        if (ProfileList* deleted = deletedListOfCurrentGroup())
            appendCopy(deleted, list->litem[row]);
    }
    const int count = numberOfRowsInTableView();
    std::memmove(&list->litem[row], &list->litem[row + 1],
                 sizeof(ProfileEntry) * size_t(count - row - 1));
    std::memset(&list->litem[count - 1], 0, sizeof(ProfileEntry));
    list->iNum = count - 1;
    reloadTable();
    // Reloading drops the selection without a word, so the entry's names
    // would stay in the fields: leave nothing selected and nothing shown.
    deselectAll();
    vProfileSettingsClearEditText();
}

void ProfileControl::browseButton(QObject*) {
    const QString chosen =
        chooseFile_
            ? chooseFile_(QString::fromStdString(zrk::resolveInstallPath(zrk::kProfileDirectory)))
            : QString();
    if (chosen.isEmpty())
        return;
    refuseEntry(QString());
    if (_fileNameEdit)
        _fileNameEdit->setText(QString());
    if (_localOK)
        _localOK->setEnabled(false);
    // A chosen name must pass what typing it would pass and what the next
    // refresh's merge keeps; a refused one leaves the field empty.
    const QString name = QFileInfo(chosen).fileName();
    if (name.isEmpty())
        return refuseEntry(QStringLiteral("the chosen file has no name"));
    if (name.size() > kFileNameMaxLength)
        return refuseEntry(
            QStringLiteral("the file name is longer than %1 characters").arg(kFileNameMaxLength));
    const qsizetype dot = name.indexOf(u'.');
    const qsizetype base = dot < 0 ? name.size() : dot;
    if (base > kFileNameMaxLength - 1 - kFileNameMaxExtension)
        return refuseEntry(QStringLiteral("the file name has more than %1 characters before the "
                                          "extension")
                               .arg(kFileNameMaxLength - 1 - kFileNameMaxExtension));
    if (dot >= 0 && name.size() - dot - 1 > kFileNameMaxExtension)
        return refuseEntry(QStringLiteral("the file name's extension is longer than %1 characters")
                               .arg(kFileNameMaxExtension));
    const char16_t* units = reinterpret_cast<const char16_t*>(name.utf16());
    bool seenDot = false;
    for (qsizetype i = 0; i < name.size();) {
        qsizetype next = i + 1;
        const uint32_t value = UCFindComposedCharAtIndex(units, name.size(), i, &next);
        if (!FilterEditTextInputKey(kInputKeyFileName, value))
            return refuseEntry(QStringLiteral("the file name holds a character a file name "
                                              "may not hold"));
        if (value == '.') {
            if (seenDot)
                return refuseEntry(QStringLiteral("the file name holds a second \".\""));
            seenDot = true;
        }
        i = next;
    }
    if (_fileNameEdit) {
        _fileNameEdit->setText(name);
        _fileNameEdit->setOldString(name);
    }
    if (_localOK)
        _localOK->setEnabled(true);
}

void ProfileControl::profileOK(QObject*) {
    refuseEntry(QString());
    ProfileList* list = currentProfileDict();
    if (!list || !_fileNameEdit || !_profileNameEdit)
        return refuseEntry(QStringLiteral("no profile group is chosen"));
    const QString fileName = _fileNameEdit->text();
    const QString profileName = _profileNameEdit->text();
    const bool card = _locationMenu && _locationMenu->currentIndex() == kLocationMenuCard;
    const int32_t location = card ? kLocationCard : kLocationDisk;
    if (fileName.isEmpty())
        return refuseEntry(QStringLiteral("the file name is empty"));
    if (fileName.startsWith(u'.'))
        return refuseEntry(QStringLiteral("the file name begins with \".\""));
    const int count = numberOfRowsInTableView();
    const int editedRow = buttonIdentify == kModeEditing ? selectedRow() : -1;
    for (int i = 0; i < count; ++i) {
        if (i == editedRow)
            continue;
        if (nameOf(list->litem[i].FileName) == fileName && list->litem[i].iLocation == location)
            return refuseEntry(
                QStringLiteral("the group has an entry for %1 on the %2 already")
                    .arg(fileName, card ? QStringLiteral("card") : QStringLiteral("disk")));
    }
    int target = -1;
    if (buttonIdentify == kModeEditing) {
        target = editedRow;
    } else if (buttonIdentify == kModeAdding) {
        for (int slot = 0; slot < kMaxProfileEntries && target < 0; ++slot) {
            if (list->litem[slot].iInMenu == kInMenuEmpty)
                target = slot;
        }
    }
    if (target < 0)
        return refuseEntry(
            buttonIdentify == kModeAdding
                ? QStringLiteral("the group holds %1 entries already").arg(kMaxProfileEntries)
                : QStringLiteral("no entry is being added or edited"));
    ProfileEntry& entry = list->litem[target];
    if (buttonIdentify == kModeEditing && cannotBeWalked(protocolType)) {
        if (ProfileList* deleted = deletedListOfCurrentGroup())
            appendCopy(deleted, entry);
    }
    const bool nameAndPlaceMayChange =
        buttonIdentify == kModeAdding || !isDeviceEntry(entry.iInMenu);
    if (nameAndPlaceMayChange) {
        setName(entry.FileName, fileName);
        entry.iLocation = location;
    }
    setName(entry.ProfileName, profileName);
    if (buttonIdentify == kModeAdding) {
        entry.iIndexOnDevice = kUserIndexBase + target;
        entry.iInMenu = kInMenuUserShown;
        entry.iProfileClass = kUserProfileClass;
        entry.iDriver = kUserAvailability;
        list->iNum = std::max(list->iNum, 0) + 1;
    }
    profileCancel(nullptr);
}

void ProfileControl::profileCancel(QObject*) {
    vProfileSettingsClearEditText();
    setSelectionFrozen(false);
    reloadTable();
    deselectAll();
    if (_profileMenu)
        _profileMenu->setEnabled(true);
    // The edit part grays out under the focus: Add takes it back.
    const bool focusInEditPart = _localOK && _localCancel &&
                                 (_localOK->hasFocus() || _localCancel->hasFocus() ||
                                  (_fileNameEdit && _fileNameEdit->hasFocus()) ||
                                  (_profileNameEdit && _profileNameEdit->hasFocus()));
    vHandlingButtonSetDisable(true, false, false);
    vProfileSettingsAllDisablePart();
    buttonIdentify = kModeBrowsing;
    if (focusInEditPart && _addButton)
        _addButton->setFocus(Qt::OtherFocusReason);
}

void ProfileControl::profileWindowOK(QObject*) {
    refuseEntry(QString());
    const int32_t written =
        cannotBeWalked(protocolType)
            ? VXPListWriteProfile_All_Pap(plistRGBDict.get(), plistSIMDict.get(),
                                          plistDSTDict.get(), plistRGBDelete.get(),
                                          plistSIMDDelete.get(), plistDSTDelete.get())
            : VXPListWriteProfile_All(plistRGBDict.get(), plistSIMDict.get(), plistDSTDict.get());
    if (written != 0) {
        // Never dropped without a word: the window stays open with the edits,
        // so that OK can be tried again or the edits given up with Cancel.
        QString message = PDECommon::localizedString("ProfilesNotSaved");
        if (message.isEmpty())
            message = QStringLiteral(
                "The profile changes were not saved: another print dialog is saving your "
                "profiles, or the profile service refused the file. Click OK to try again, "
                "or Cancel to give up the changes.");
        showSaveStatus(message);
        refuseEntry(QStringLiteral("the profile file was not written"));
        return;
    }
    showSaveStatus(QString());
    // The menus follow the written file; the selections the ticket took when
    // the window opened are applied again.
    if (onAdvancedView)
        onAdvancedView->reloadProfileMenus(constTable);
    else if (constTable)
        vColorPresetConstraints(constTable);
    if (_profileManagementWindow)
        _profileManagementWindow->done(QDialog::Accepted);
}

// An empty message hides the reports.
void ProfileControl::showSaveStatus(const QString& message) {
    auto place = [&message](QPointer<QLabel>& label, QWidget* parent, QLayout* layout) {
        if (!label && !message.isEmpty() && parent && layout) {
            label = new QLabel(parent);
            label->setObjectName(QStringLiteral("text_ProfilesNotSaved"));
            label->setWordWrap(true);
            label->setAccessibleName(QStringLiteral("Profiles not saved"));
            layout->addWidget(label);
        }
        if (label) {
            label->setText(message);
            label->setAccessibleDescription(message);
            label->setVisible(!message.isEmpty());
        }
    };
    if (_profileManagementWindow)
        place(windowSaveStatus_, _profileManagementWindow, _profileManagementWindow->layout());
    if (onAdvancedView) {
        auto* button =
            onAdvancedView->findChild<QPushButton*>(QStringLiteral("button_ManageProfile"));
        QWidget* pane = button ? button->parentWidget() : nullptr;
        place(panelSaveStatus_, pane, pane ? pane->layout() : nullptr);
    }
}

void ProfileControl::profileWindowCancel(QObject*) {
    if (_profileManagementWindow)
        _profileManagementWindow->done(QDialog::Rejected);
}

} // namespace PDE
