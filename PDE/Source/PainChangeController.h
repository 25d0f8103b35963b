// Puts one pane at a time into the panel's pane area, and passes the panel's
// calls on to both panes in a fixed order.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

#include <cups/ppd.h>

#include "PDECommon.h"

class QWidget;

namespace PDE {

class ColorOptions;
class AdvancedColorOptions;

class PainChangeController : public QObject {
    Q_OBJECT
public:
    explicit PainChangeController(QObject* parent = nullptr);

    // Outlets, bound by objectName once the interface file is loaded.
    void awakeFromInterface(QWidget* root);
    ColorOptions* colorView() const;
    AdvancedColorOptions* advancedView() const;

    // Actions of the interface file's buttons.
    Q_INVOKABLE void ColorToAdvancedView(QObject* sender);
    Q_INVOKABLE void AdvancedToColorView(QObject* sender);

    void SHowColorToAdvancedView();
    void ShowAdvancedToColorView();

    void creatPDEControlTableEachView();
    void addPPDArrayEachView(QStringList* array);
    void deallocPDEControlTableEachView();
    void setPPDFileEachView(ppd_file_t* ppd);
    void setPMPrintEachView(PMPrintSettings* settings, PMPrintSession* session);
    void createPDEItemForPPDKeyEachView();
    void defaultFromPPDInfoEachView();
    void getControlValueFromTickettEachView();
    void setControlValueToTicketEachView();

    int16_t getControlDataEachView(ControlTableEntry** tables, int16_t count);
    void getSummaryTextEachView(QVariantMap* dict, QStringList* array);
    void changeAdvancedItemAccodingQuickColor();
    void getSummaryAdvancedItemAccodingQuickColor(QVariantMap* dict, QStringList* array);

private:
    void showPane(QWidget* shown, QWidget* other);
    // Gives the focus to the pane's first control that takes it by Tab.
    static void focusFirstControl(QWidget* pane);

    QPointer<ColorOptions> onColorView;
    QPointer<AdvancedColorOptions> onAdvancedView;
    QPointer<QWidget> onMainCustomView;
};

} // namespace PDE
