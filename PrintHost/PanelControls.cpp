#include "PanelControls.h"

#include "PDEPlugInAPI.h"
#include "PPDFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QJsonArray>
#include <QLabel>
#include <QLayout>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>

namespace PrintHost {

namespace {

constexpr const char* kColorPaneName = "onColorView";
constexpr const char* kAdvancedPaneName = "onAdvancedView";
constexpr const char* kToAdvancedButton = "button_AdvanceColorOptions";
constexpr const char* kToColorButton = "button_HideAdvancedOptions";

bool setReason(QString* reason, const QString& text) {
    if (reason)
        *reason = text;
    return false;
}

// A choice keyword held as a pop-up item's represented object.
QJsonValue itemChoice(const QComboBox* combo, int index) {
    if (index < 0 || index >= combo->count())
        return QJsonValue::Null;
    const QVariant data = combo->itemData(index);
    if (data.typeId() != QMetaType::QString)
        return QJsonValue::Null;
    return data.toString();
}

QString checkBoxChoice(bool checked) {
    return checked ? QStringLiteral("True") : QStringLiteral("False");
}

bool isPaneShown(QWidget* root, const char* name) {
    auto* pane = root->findChild<QWidget*>(QString::fromLatin1(name));
    return pane && !pane->isHidden() && pane->isVisibleTo(root);
}

} // namespace

std::vector<BoundControl> boundControls(QWidget* root) {
    std::vector<BoundControl> controls;
    if (!root)
        return controls;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        const QVariant row = widget->property(ControlProperty::kRow);
        if (!row.isValid())
            continue;
        bool rowOk = false;
        BoundControl control;
        control.widget = widget;
        control.row = row.toInt(&rowOk);
        if (!rowOk)
            continue;
        control.kind = widget->property(ControlProperty::kKind).toInt();
        control.keyword = widget->property(ControlProperty::kKeyword).toString();
        control.identifier = widget->property(ControlProperty::kIdentifier).toString();
        controls.push_back(std::move(control));
    }
    std::stable_sort(controls.begin(), controls.end(),
                     [](const BoundControl& a, const BoundControl& b) { return a.row < b.row; });
    return controls;
}

QString kindName(int kind) {
    switch (kind) {
    case kControlKindPopUp:
        return QStringLiteral("popup");
    case kControlKindCheckBox:
        return QStringLiteral("checkbox");
    case kControlKindStaticText:
        return QStringLiteral("text");
    case kControlKindPushButton:
        return QStringLiteral("button");
    case kControlKindTabView:
        return QStringLiteral("tab");
    default:
        return QStringLiteral("other");
    }
}

Pane shownPane(QWidget* root) {
    if (!root)
        return Pane::None;
    if (isPaneShown(root, kColorPaneName))
        return Pane::Color;
    if (isPaneShown(root, kAdvancedPaneName))
        return Pane::Advanced;
    return Pane::None;
}

QString paneName(Pane pane) {
    switch (pane) {
    case Pane::Color:
        return QStringLiteral("color");
    case Pane::Advanced:
        return QStringLiteral("advanced");
    case Pane::None:
        break;
    }
    return QString();
}

bool showPane(QWidget* root, Pane pane, QString* error) {
    if (!root || pane == Pane::None)
        return setReason(error, QStringLiteral("there is no panel to switch"));
    if (shownPane(root) == pane)
        return true;
    const char* buttonName = pane == Pane::Advanced ? kToAdvancedButton : kToColorButton;
    auto* button = root->findChild<QAbstractButton*>(QString::fromLatin1(buttonName));
    if (!button)
        return setReason(
            error,
            QStringLiteral("the panel has no %1 button").arg(QString::fromLatin1(buttonName)));
    // The switch is a view change: it is made even while the button is grayed
    // out, so that a script can look at either pane.
    emit button->clicked(false);
    QCoreApplication::processEvents();
    if (shownPane(root) != pane)
        return setReason(
            error, QStringLiteral("the panel did not switch to the %1 pane").arg(paneName(pane)));
    return true;
}

ChoiceResult chooseValue(QWidget* root, const QString& keyword, const QString& value,
                         QString* reason) {
    const BoundControl* found = nullptr;
    const auto controls = boundControls(root);
    for (const auto& control : controls) {
        if (!keyword.isEmpty() && control.keyword == keyword) {
            found = &control;
            break;
        }
    }
    if (!found) {
        setReason(reason, QStringLiteral("no control is bound to this keyword"));
        return ChoiceResult::UnknownKeyword;
    }

    auto* combo = qobject_cast<QComboBox*>(found->widget);
    auto* box = qobject_cast<QCheckBox*>(found->widget);
    if (found->kind == kControlKindPopUp && combo) {
        int index = -1;
        if (value.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const int n = value.mid(1).toInt(&ok);
            if (ok && n >= 0 && n < combo->count() && value.mid(1) == QString::number(n))
                index = n;
        } else {
            for (int i = 0; i < combo->count(); ++i) {
                const QJsonValue choice = itemChoice(combo, i);
                if (choice.isString() && choice.toString() == value) {
                    index = i;
                    break;
                }
            }
        }
        if (index < 0) {
            QStringList choices;
            for (int i = 0; i < combo->count(); ++i) {
                const QJsonValue choice = itemChoice(combo, i);
                if (choice.isString())
                    choices << choice.toString();
            }
            setReason(reason, QStringLiteral("\"%1\" is not a choice of this pop-up "
                                             "(choices: %2; or #0 to #%3)")
                                  .arg(value, choices.join(QStringLiteral(", ")))
                                  .arg(combo->count() - 1));
            return ChoiceResult::NotAChoice;
        }
        if (!combo->isEnabled()) {
            setReason(reason, QStringLiteral("the pop-up is disabled"));
            return ChoiceResult::Disabled;
        }
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        return ChoiceResult::Done;
    }
    if (found->kind == kControlKindCheckBox && box) {
        if (value != QLatin1String("True") && value != QLatin1String("False")) {
            setReason(reason, QStringLiteral("\"%1\" is not a choice of this check box "
                                             "(choices: True, False)")
                                  .arg(value));
            return ChoiceResult::NotAChoice;
        }
        if (!box->isEnabled()) {
            setReason(reason, QStringLiteral("the check box is disabled"));
            return ChoiceResult::Disabled;
        }
        const bool checked = value == QLatin1String("True");
        box->setChecked(checked);
        emit box->clicked(checked);
        return ChoiceResult::Done;
    }
    setReason(reason, QStringLiteral("the control bound to this keyword is neither a pop-up "
                                     "nor a check box"));
    return ChoiceResult::NotEditable;
}

QJsonObject describeState(QWidget* root, const PPDFile* ppd) {
    QJsonArray controls;
    for (const auto& control : boundControls(root)) {
        QJsonObject entry;
        entry.insert(QStringLiteral("identifier"), control.identifier);
        entry.insert(QStringLiteral("keyword"), control.keyword);
        entry.insert(QStringLiteral("kind"), kindName(control.kind));
        entry.insert(QStringLiteral("enabled"), control.widget->isEnabled());
        entry.insert(QStringLiteral("accessibleName"), control.widget->accessibleName());
        // A control a rule grays out explains why in its accessible description.
        if (!control.widget->isEnabled() && !control.widget->accessibleDescription().isEmpty())
            entry.insert(QStringLiteral("reason"), control.widget->accessibleDescription());

        int value = 0;
        QJsonValue choice = QJsonValue::Null;
        QString title;
        if (auto* combo = qobject_cast<QComboBox*>(control.widget)) {
            value = combo->currentIndex();
            choice = itemChoice(combo, value);
            title = combo->currentText();
            QJsonArray items;
            for (int i = 0; i < combo->count(); ++i)
                items.append(combo->itemText(i));
            if (control.kind == kControlKindPopUp)
                entry.insert(QStringLiteral("items"), items);
        } else if (auto* box = qobject_cast<QCheckBox*>(control.widget)) {
            value = box->isChecked() ? 1 : 0;
            const QString keyword = checkBoxChoice(box->isChecked());
            if (ppd && ppd->hasChoice(control.keyword, keyword))
                choice = keyword;
            title = box->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(control.widget)) {
            title = button->text();
        } else if (auto* label = qobject_cast<QLabel*>(control.widget)) {
            title = label->text();
        } else if (auto* tabs = qobject_cast<QTabWidget*>(control.widget)) {
            title = tabs->tabText(tabs->currentIndex());
        }
        entry.insert(QStringLiteral("value"), value);
        entry.insert(QStringLiteral("choice"), choice);
        entry.insert(QStringLiteral("title"), title);
        controls.append(entry);
    }
    QJsonObject state;
    const Pane pane = shownPane(root);
    state.insert(QStringLiteral("pane"),
                 pane == Pane::None ? QJsonValue(QJsonValue::Null) : QJsonValue(paneName(pane)));
    state.insert(QStringLiteral("controls"), controls);
    return state;
}

QImage grabPanel(QWidget* root) {
    if (!root)
        return QImage();
    if (!root->isVisible()) {
        // Shown only to the rendering, never on a screen.
        root->setAttribute(Qt::WA_DontShowOnScreen, true);
        root->show();
    }
    if (root->layout())
        root->layout()->activate();
    QSize size = root->sizeHint();
    if (!size.isValid() || size.isEmpty())
        size = root->size();
    root->resize(size.expandedTo(QSize(1, 1)));
    QCoreApplication::processEvents();
    return root->grab().toImage();
}

} // namespace PrintHost
