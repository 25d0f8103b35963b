// What both panes of the panel share: their control table, built from a
// constant row table, and the table operations the pane-switching controller
// fans out to them.
#pragma once

#include "PDECommon.h"

#include <QPointer>
#include <QWidget>

#include <span>
#include <vector>

namespace PDE {

class PDEPane : public QWidget {
    Q_OBJECT
public:
    explicit PDEPane(QWidget* parent = nullptr);
    ~PDEPane() override;

    void setPPDFile(ppd_file_t* ppdFile) { ppd = ppdFile; }
    void setPMPrint(PMPrintSettings* settings, PMPrintSession* printSession);
    void setViewBounds(const QRect& rect);

    void createPDEControlTable();
    void deallocPDEControlTable();
    ControlTableEntry* getControlData() const { return ctrlTable.get(); }
    int16_t getControlCount() const { return ctrlCount; }
    void addPPDArray(QStringList* array) const;
    virtual void createPDEItemForPPDKey();
    void defaultFromPPDInfo();
    void getControlValueFromTicket();
    void setControlValueToTicket();
    void getSummaryText(QVariantMap* dict, QStringList* array) const;

    // Called once the interface file that holds the pane is loaded: binds the
    // outlets named in the pane's rows to the controls of that name.
    virtual void awakeFromInterface();

    // Replaces the allocator of control tables (tests exercise the path on
    // which a table cannot be allocated). Null restores the default.
    using TableAllocator = ControlTableEntry* (*)(size_t rows);
    static void setTableAllocator(TableAllocator allocator);

protected:
    virtual std::span<const ControlRowTemplate> rowTemplates() const = 0;
    // Runs after the rows and their choice lists exist.
    virtual void didBuildControlTable() {}
    // The control bound to the outlet of row `index` of the row table.
    QWidget* outlet(size_t index) const;
    template <typename T> T* outletAs(size_t index) const {
        return qobject_cast<T*>(outlet(index));
    }

    ppd_file_t* ppd = nullptr;
    ControlTablePtr ctrlTable;
    int16_t ctrlCount = 0;
    PMPrintSettings* setting = nullptr;
    PMPrintSession* session = nullptr;

private:
    std::vector<QPointer<QWidget>> outlets_;
};

} // namespace PDE
