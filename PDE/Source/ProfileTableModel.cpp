#include "ProfileTableModel.h"

#include "PDECommon.h"
#include "ProfileControl.h"

namespace PDE {

namespace {
constexpr const char* kColumnTitles[] = {"", "In Menu", "File Name", "Profile Name", "Location"};
} // namespace

ProfileTableModel::ProfileTableModel(ProfileControl* control, QObject* parent)
    : QAbstractTableModel(parent), control_(control) {}

int ProfileTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : control_->numberOfRowsInTableView();
}

int ProfileTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(std::size(kColumnIdentifiers));
}

QVariant ProfileTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    return control_->objectValueForTableColumn(
        QString::fromLatin1(kColumnIdentifiers[index.column()]), index.row(), role);
}

bool ProfileTableModel::setData(const QModelIndex& index, const QVariant&, int role) {
    if (!index.isValid() || index.column() != kInMenuColumn || role != Qt::CheckStateRole)
        return false;
    control_->setObjectValueForTableColumn(QString::fromLatin1(kColumnIdentifiers[kInMenuColumn]),
                                           index.row());
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags ProfileTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == kInMenuColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ProfileTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= int(std::size(kColumnTitles)))
        return {};
    const QString title = PDECommon::localizedString(kColumnTitles[section]);
    return title.isNull() ? QString::fromLatin1(kColumnTitles[section]) : title;
}

void ProfileTableModel::reload() {
    beginResetModel();
    endResetModel();
}

} // namespace PDE
