#include "PDEPane.h"

#include "Accessibility.h"

namespace PDE {

namespace {
PDEPane::TableAllocator gTableAllocator = &PDECommon::commonAllocControlTable;
}

void PDEPane::setTableAllocator(TableAllocator allocator) {
    gTableAllocator = allocator ? allocator : &PDECommon::commonAllocControlTable;
}

PDEPane::PDEPane(QWidget* parent) : QWidget(parent) {}

PDEPane::~PDEPane() {
    deallocPDEControlTable();
}

void PDEPane::setPMPrint(PMPrintSettings* settings, PMPrintSession* printSession) {
    setting = settings;
    session = printSession;
}

void PDEPane::setViewBounds(const QRect& rect) {
    resize(rect.size());
}

void PDEPane::awakeFromInterface() {
    const std::span<const ControlRowTemplate> rows = rowTemplates();
    outlets_.assign(rows.size(), nullptr);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].outlet)
            outlets_[i] = findChild<QWidget*>(QString::fromLatin1(rows[i].outlet));
    }
}

QWidget* PDEPane::outlet(size_t index) const {
    return index < outlets_.size() ? outlets_[index].data() : nullptr;
}

void PDEPane::createPDEControlTable() {
    const std::span<const ControlRowTemplate> rows = rowTemplates();
    deallocPDEControlTable();
    ctrlCount = int16_t(rows.size());
    ctrlTable.reset(gTableAllocator(rows.size()));
    if (!ctrlTable)
        return; // no table: every table operation of the pane does nothing

    for (size_t i = 0; i < rows.size(); ++i) {
        const ControlRowTemplate& t = rows[i];
        if (!t.outlet) {
            PDECommon::commonSetTerminatorRow(&ctrlTable.get()[i]);
            continue;
        }
        ctrlTable.get()[i] = ControlTableEntry{
            outlet(i),     t.kind,       t.ppdKeyword ? t.ppdKeyword : kEmptyString,
            t.titleKey,    t.summaryKey, t.identifier ? t.identifier : kEmptyString,
            t.profileList, nullptr};
    }
    for (ControlTableEntry* row = ctrlTable.get(); row->control; ++row) {
        row->choices = nullptr;
        if (rowHasPPDKeyword(row))
            PDECommon::commonGetPPDArrayForUIOption(ppd, row->ppdKeyword, &row->choices);
    }
    didBuildControlTable();
}

void PDEPane::deallocPDEControlTable() {
    if (!ctrlTable)
        return;
    for (ControlTableEntry* row = ctrlTable.get(); row->control; ++row) {
        if (rowHasPPDKeyword(row) && row->choices) {
            delete row->choices;
            row->choices = nullptr;
        }
    }
    ctrlTable.reset();
}

void PDEPane::addPPDArray(QStringList* array) const {
    if (ctrlTable)
        PDECommon::commonAddPPDArray(array, ctrlTable.get());
}

void PDEPane::createPDEItemForPPDKey() {
    if (!ctrlTable)
        return;
    PDECommon::commonBuildPDEItem(ctrlTable.get(), ppd);
    // The titles may have changed with the language: name the controls anew.
    commonSetAccessibleNames(this);
}

void PDEPane::defaultFromPPDInfo() {
    if (ctrlTable)
        PDECommon::commonDefaultFromPPDInfo(ctrlTable.get());
}

void PDEPane::getControlValueFromTicket() {
    if (ctrlTable)
        PDECommon::commonSyncPaneFromTicket(setting, session, ctrlTable.get());
}

void PDEPane::setControlValueToTicket() {
    if (ctrlTable)
        PDECommon::commonSyncTicketFromPane(setting, session, ctrlTable.get());
}

void PDEPane::getSummaryText(QVariantMap* dict, QStringList* array) const {
    if (ctrlTable)
        PDECommon::commonGetSummaryText(ctrlTable.get(), dict, array);
}

} // namespace PDE
