// The Profile Management window's table: columns by identifier, data from
// the window controller.
#pragma once

#include <QAbstractTableModel>

namespace PDE {

class ProfileControl;

class ProfileTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr const char* kColumnIdentifiers[] = {"icon", "inmenu", "filename",
                                                         "profilename", "location"};
    static constexpr int kIconColumn = 0;
    static constexpr int kInMenuColumn = 1;
    static constexpr int kLocationColumn = 4;

    ProfileTableModel(ProfileControl* control, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void reload();

private:
    ProfileControl* control_;
};

} // namespace PDE
