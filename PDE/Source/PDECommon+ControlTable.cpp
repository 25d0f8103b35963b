// Control table: building choice lists, titles and menus, control values,
// joining tables.
#include "PDECommon.h"

#include "ConstraintReasons.h"

#include <Bundle.h>
#include <PDEPlugInAPI.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include <cstring>

namespace PDE {

const char kEmptyString[] = "";

namespace {
// The plug-in's own copy of its bundle: the host's object may go away with
// the host while the library (and this reference) stays loaded.
std::unique_ptr<PrintHost::Bundle> gBundleOwner;
PrintHost::Bundle* gBundle = nullptr;

// The tab view's tabs are labelled from these keys, in this order; later tabs
// reuse the last one.
constexpr const char* kTabTitleKeys[] = {"Image", "Text", "Graphics", "Simulation"};
} // namespace

PrintHost::Bundle* PDECommon::bundle() {
    return gBundle;
}

void PDECommon::setBundle(PrintHost::Bundle* bundle) {
    if (gBundle || !bundle)
        return;
    gBundleOwner = PrintHost::Bundle::open(bundle->bundlePath(), nullptr);
    gBundle = gBundleOwner.get();
}

QString PDECommon::localizedString(const char* key) {
    if (!gBundle || !key)
        return QString();
    return gBundle->localizedString(QString::fromLatin1(key));
}

int PDECommon::commonGetPPDArrayForUIOption(ppd_file_t* ppd, const char* key,
                                            PPDChoiceList** array) {
    if (!ppd || !key || !ppdFindOption(ppd, key))
        return kPMKeyNotFound;
    auto* list = new (std::nothrow) PPDChoiceList;
    if (!list)
        return kPMGeneralError;
    *array = list;
    int16_t count = 0;
    commonGetUIListFromPPD(ppd, key, list, &count);
    return kNoErr;
}

int PDECommon::commonGetUIListFromPPD(ppd_file_t* ppd, const char* key, PPDChoiceList* array,
                                      int16_t* count) {
    ppd_option_t* option = ppd ? ppdFindOption(ppd, key) : nullptr;
    const uint32_t encoding = commonGetCFStringEncodingFromPPD(ppd);
    if (!array || !option || option->num_choices <= 0)
        return kNoErr;
    const QString optionKeyword = commonDecodePPDString(option->keyword, encoding, true);
    const QString defaultKeyword = commonDecodePPDString(option->defchoice, encoding, true);
    for (int i = 0; i < option->num_choices; ++i) {
        const ppd_choice_t& choice = option->choices[i];
        const bool conflicted = commonIsPPDChoiceConflicted(ppd, option->keyword, choice.choice);
        array->append(PPDChoiceEntry{
            optionKeyword, defaultKeyword, commonDecodePPDString(choice.choice, encoding, true),
            commonDecodePPDString(choice.text, encoding, true),
            QString::fromLatin1(conflicted ? kConflictTrue : kConflictFalse)});
        if (count)
            ++*count;
    }
    return kNoErr;
}

int PDECommon::commonAddPPDArray(QStringList* array, const ControlTableEntry* table) {
    if (!array || !table || !table->control)
        return kParamErr;
    int status = kNoErr;
    for (const ControlTableEntry* row = table; row->control; ++row) {
        if (!rowHasPPDKeyword(row))
            continue;
        const QByteArray bytes(row->ppdKeyword);
        bool ascii = true;
        for (char c : bytes)
            ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (!ascii) {
            status = kParamErr;
            continue;
        }
        array->append(QString::fromLatin1(bytes));
    }
    return status;
}

void PDECommon::commonBuildPDEItem(ControlTableEntry* table, ppd_file_t* ppd) {
    if (!table)
        return;
    for (ControlTableEntry* row = table; row->control; ++row) {
        commonSetControlTitleFromLocalizeString(row);
        if (row->kind == kControlKindPopUp)
            commonReBuildMenuFromPPD(ppd, row);
        // Nothing a control of an option the queue's PPD lacks holds would
        // reach the ticket or the job, yet a ticked box would still steer
        // the presets: such a control stays inert.
        if (ppd && rowHasPPDKeyword(row) && !ppdFindOption(ppd, row->ppdKeyword)) {
            row->control->setEnabled(false);
            setControlReason(row->control, missingOptionReason());
        }
    }
}

void PDECommon::commonSetControlTitleFromLocalizeString(const ControlTableEntry* row) {
    if (!row || !gBundle || !row->titleKey)
        return;
    const QString title = localizedString(row->titleKey);
    if (title.isNull())
        return;
    switch (row->kind) {
    case kControlKindStaticText:
        if (auto* label = qobject_cast<QLabel*>(row->control))
            label->setText(title);
        break;
    case kControlKindCheckBox:
    case kControlKindPushButton:
        if (auto* button = qobject_cast<QAbstractButton*>(row->control))
            button->setText(title);
        break;
    case kControlKindTabView:
        if (auto* tabs = qobject_cast<QTabWidget*>(row->control)) {
            constexpr int keyCount = int(std::size(kTabTitleKeys));
            for (int i = 0; i < tabs->count(); ++i) {
                const QString tabTitle = localizedString(kTabTitleKeys[std::min(i, keyCount - 1)]);
                if (!tabTitle.isNull())
                    tabs->setTabText(i, tabTitle);
            }
        }
        break;
    default:
        break;
    }
}

void PDECommon::commonReBuildMenuFromPPD(ppd_file_t* ppd, const ControlTableEntry* row) {
    if (!ppd || !row || !rowHasPPDKeyword(row))
        return;
    ppd_option_t* option = ppdFindOption(ppd, row->ppdKeyword);
    auto* menu = qobject_cast<QComboBox*>(row->control);
    if (!option || !menu)
        return;
    const uint32_t encoding = commonGetEncodingFromPPD(ppd);
    const QSignalBlocker quiet(menu);
    menu->clear();
    for (int i = 0; i < option->num_choices; ++i) {
        const ppd_choice_t& choice = option->choices[i];
        menu->addItem(commonDecodePPDString(choice.text, encoding, false),
                      QString::fromLatin1(choice.choice));
    }
}

int32_t PDECommon::commonGetControlValueWithSInt32(const ControlTableEntry* row) {
    if (!row)
        return 0;
    switch (row->kind) {
    case kControlKindCheckBox:
        if (auto* box = qobject_cast<QCheckBox*>(row->control))
            return box->isChecked() ? 1 : 0;
        return 0;
    case kControlKindPopUp:
        if (auto* menu = qobject_cast<QComboBox*>(row->control))
            return menu->currentIndex();
        return 0;
    default:
        return 0;
    }
}

void PDECommon::commonSetControlValueWithSInt32(const ControlTableEntry* row, int32_t value) {
    if (!row)
        return;
    if (row->kind == kControlKindCheckBox) {
        if (auto* box = qobject_cast<QCheckBox*>(row->control)) {
            // The panel's own change, not the user's: it runs no rules.
            const QSignalBlocker quiet(box);
            box->setChecked(value != 0);
        }
    } else if (row->kind == kControlKindPopUp) {
        auto* menu = qobject_cast<QComboBox*>(row->control);
        if (menu && value < menu->count())
            menu->setCurrentIndex(value < 0 ? -1 : value);
    }
}

ControlTableEntry* PDECommon::commonAllocControlTable(size_t rows) {
    return static_cast<ControlTableEntry*>(std::calloc(rows, sizeof(ControlTableEntry)));
}

void PDECommon::commonSetTerminatorRow(ControlTableEntry* row) {
    *row = ControlTableEntry{nullptr, kControlKindEnd, kEmptyString,     nullptr,
                             nullptr, kEmptyString,    kProfileListNone, nullptr};
}

ControlTableEntry* PDECommon::commonControlTableCompound(ControlTableEntry* const* tables,
                                                         int count) {
    size_t total = 0;
    for (int t = 0; t < count; ++t) {
        for (const ControlTableEntry* row = tables[t]; row && row->kind != kControlKindEnd; ++row)
            ++total;
    }
    ControlTableEntry* joined = commonAllocControlTable(total + 1);
    if (!joined)
        return nullptr;
    size_t next = 0;
    for (int t = 0; t < count; ++t) {
        for (const ControlTableEntry* row = tables[t]; row && row->kind != kControlKindEnd; ++row)
            joined[next++] = *row;
    }
    commonSetTerminatorRow(&joined[next]);
    return joined;
}

void PDECommon::commonLabelControlsForHost(const ControlTableEntry* table) {
    int index = 0;
    for (const ControlTableEntry* row = table; row->kind != kControlKindEnd; ++row, ++index) {
        if (!row->control)
            continue;
        row->control->setProperty(PrintHost::ControlProperty::kRow, index);
        row->control->setProperty(PrintHost::ControlProperty::kKind, row->kind);
        row->control->setProperty(PrintHost::ControlProperty::kKeyword,
                                  QString::fromLatin1(row->ppdKeyword));
        row->control->setProperty(PrintHost::ControlProperty::kIdentifier,
                                  QString::fromLatin1(row->identifier));
    }
}

} // namespace PDE
