#include "PainChangeController.h"

#include "AdvancedColorOptions.h"
#include "ColorOptions.h"

#include <QLayout>
#include <QVBoxLayout>

namespace PDE {

namespace {
// The Custom item of Quick Color: only then do the user's advanced values count.
constexpr int16_t kQuickColorCustom = 3;
} // namespace

PainChangeController::PainChangeController(QObject* parent) : QObject(parent) {}

void PainChangeController::awakeFromInterface(QWidget* root) {
    onColorView = root->findChild<ColorOptions*>(QStringLiteral("onColorView"));
    onAdvancedView = root->findChild<AdvancedColorOptions*>(QStringLiteral("onAdvancedView"));
    onMainCustomView = root->findChild<QWidget*>(QStringLiteral("onMainCustomView"));
}

ColorOptions* PainChangeController::colorView() const {
    return onColorView;
}

AdvancedColorOptions* PainChangeController::advancedView() const {
    return onAdvancedView;
}

void PainChangeController::ColorToAdvancedView(QObject*) {
    if (onAdvancedView && onAdvancedView->getControlData())
        SHowColorToAdvancedView();
}

void PainChangeController::AdvancedToColorView(QObject*) {
    if (onColorView && onColorView->getControlData())
        ShowAdvancedToColorView();
}

void PainChangeController::SHowColorToAdvancedView() {
    showPane(onAdvancedView, onColorView);
}

void PainChangeController::ShowAdvancedToColorView() {
    showPane(onColorView, onAdvancedView);
}

void PainChangeController::showPane(QWidget* shown, QWidget* other) {
    if (!shown)
        return;
    const QRect bounds = onMainCustomView ? onMainCustomView->rect() : QRect();
    if (auto* pane = qobject_cast<PDEPane*>(shown))
        pane->setViewBounds(bounds);
    if (!onMainCustomView)
        return;
    QLayout* layout = onMainCustomView->layout();
    if (!layout)
        layout = new QVBoxLayout(onMainCustomView);
    if (shown->parentWidget() != onMainCustomView)
        shown->setParent(onMainCustomView);
    if (layout->indexOf(shown) < 0) {
        // The other pane's layout item comes back to us.
        QLayoutItem* replaced = other ? layout->replaceWidget(other, shown) : nullptr;
        if (replaced)
            delete replaced;
        else
            layout->addWidget(shown);
    }
    // The user's focus in the pane that goes (on the button that switches,
    // say) moves to the first control of the pane that comes, not to
    // whatever follows in the window.
    QWidget* focused = other ? other->window()->focusWidget() : nullptr;
    const bool focusLeaves = focused && other != shown && other->isAncestorOf(focused);
    if (other && other != shown) {
        layout->removeWidget(other);
        other->hide();
    }
    shown->show();
    if (focusLeaves)
        focusFirstControl(shown);
}

void PainChangeController::focusFirstControl(QWidget* pane) {
    const qsizetype bound = pane->window()->findChildren<QWidget*>().size() + 1;
    QWidget* widget = pane->nextInFocusChain();
    for (qsizetype step = 0; widget && step < bound; ++step, widget = widget->nextInFocusChain()) {
        if (!pane->isAncestorOf(widget))
            continue;
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled() &&
            widget->isVisibleTo(pane) && !widget->focusProxy()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void PainChangeController::creatPDEControlTableEachView() {
    if (onAdvancedView)
        onAdvancedView->createPDEControlTable();
    if (onColorView)
        onColorView->createPDEControlTable();
}

void PainChangeController::addPPDArrayEachView(QStringList* array) {
    if (onAdvancedView)
        onAdvancedView->addPPDArray(array);
    if (onColorView)
        onColorView->addPPDArray(array);
}

void PainChangeController::deallocPDEControlTableEachView() {
    if (onAdvancedView)
        onAdvancedView->deallocPDEControlTable();
    if (onColorView)
        onColorView->deallocPDEControlTable();
}

void PainChangeController::setPPDFileEachView(ppd_file_t* ppd) {
    if (onAdvancedView)
        onAdvancedView->setPPDFile(ppd);
    if (onColorView)
        onColorView->setPPDFile(ppd);
}

void PainChangeController::setPMPrintEachView(PMPrintSettings* settings, PMPrintSession* session) {
    if (onAdvancedView)
        onAdvancedView->setPMPrint(settings, session);
    if (onColorView)
        onColorView->setPMPrint(settings, session);
}

void PainChangeController::createPDEItemForPPDKeyEachView() {
    if (onAdvancedView)
        onAdvancedView->createPDEItemForPPDKey();
    if (onColorView)
        onColorView->createPDEItemForPPDKey();
}

void PainChangeController::defaultFromPPDInfoEachView() {
    if (onColorView)
        onColorView->defaultFromPPDInfo();
    if (onAdvancedView)
        onAdvancedView->defaultFromPPDInfo();
}

void PainChangeController::getControlValueFromTickettEachView() {
    if (onAdvancedView)
        onAdvancedView->getControlValueFromTicket();
    if (onColorView)
        onColorView->getControlValueFromTicket();
}

void PainChangeController::setControlValueToTicketEachView() {
    if (onAdvancedView)
        onAdvancedView->setControlValueToTicket();
    if (onColorView)
        onColorView->setControlValueToTicket();
}

int16_t PainChangeController::getControlDataEachView(ControlTableEntry** tables, int16_t count) {
    for (int16_t i = 0; i < count; ++i)
        tables[i] = nullptr;
    if (count < 2)
        return 0; // no room for both tables
    tables[0] = onColorView ? onColorView->getControlData() : nullptr;
    tables[1] = onAdvancedView ? onAdvancedView->getControlData() : nullptr;
    return 2;
}

void PainChangeController::getSummaryTextEachView(QVariantMap* dict, QStringList* array) {
    if (!onColorView || !onAdvancedView)
        return;
    onColorView->getSummaryText(dict, array);
    if (onColorView->getQuickColorValue() == kQuickColorCustom)
        onAdvancedView->getSummaryText(dict, array);
    else
        getSummaryAdvancedItemAccodingQuickColor(dict, array);
}

void PainChangeController::changeAdvancedItemAccodingQuickColor() {
    if (onColorView && onAdvancedView)
        onAdvancedView->changeItemAccodingQuickColor(onColorView->getQuickColorValue(),
                                                     onColorView->getEconoModeValue());
}

void PainChangeController::getSummaryAdvancedItemAccodingQuickColor(QVariantMap* dict,
                                                                    QStringList* array) {
    if (onColorView && onAdvancedView)
        onAdvancedView->getSummaryItemAccodingQuickColor(
            onColorView->getQuickColorValue(), onColorView->getEconoModeValue(), dict, array);
}

} // namespace PDE
