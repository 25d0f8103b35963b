#include "Accessibility.h"

#include "PDECommon.h"

#include <Bundle.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>

namespace PDE {

namespace {

QString translated(const QString& text) {
    if (text.isEmpty())
        return text;
    const QString translation = PDECommon::bundle()->localizedString(text);
    return translation.isNull() ? text : translation;
}

} // namespace

QString accessibleTextOf(const QString& title) {
    // A mnemonic written beside the title, "(&C)" (before an ellipsis or a
    // colon too), is spoken by no one.
    static const QRegularExpression mnemonicMark(QStringLiteral("\\s*[(\uFF08]&[^&][)\uFF09]"));
    const QString source = QString(title).remove(mnemonicMark);
    QString text;
    text.reserve(source.size());
    for (qsizetype i = 0; i < source.size(); ++i) {
        // "&&" is a literal ampersand, a single "&" marks the mnemonic.
        if (source[i] == u'&' && i + 1 < source.size()) {
            ++i;
            if (source[i] != u'&') {
                text.append(source[i]);
                continue;
            }
        }
        text.append(source[i]);
    }
    text = text.trimmed();
    for (const QString& tail : {QStringLiteral(":"), QStringLiteral("\uFF1A"),
                                QStringLiteral("\u2026"), QStringLiteral("...")}) {
        if (text.endsWith(tail)) {
            text.chop(tail.size());
            text = text.trimmed();
        }
    }
    return text;
}

void commonSetAccessibleNames(QWidget* root) {
    if (!root)
        return;
    for (auto* button : root->findChildren<QAbstractButton*>())
        button->setAccessibleName(accessibleTextOf(button->text()));
    for (auto* label : root->findChildren<QLabel*>()) {
        const QString name = accessibleTextOf(label->text());
        label->setAccessibleName(name);
        if (QWidget* buddy = label->buddy())
            buddy->setAccessibleName(name);
    }
    // A control whose text another control shares (two "Cancel" buttons)
    // carries the key of a name of its own in the interface file.
    for (auto* widget : root->findChildren<QWidget*>()) {
        const QString key = widget->property(kAccessibleNameKeyProperty).toString();
        if (!key.isEmpty())
            widget->setAccessibleName(accessibleTextOf(translated(key)));
    }
}

QString controlName(const ControlTableEntry* row) {
    if (!row || !row->control)
        return QString();
    if (!row->control->accessibleName().isEmpty())
        return row->control->accessibleName();
    if (auto* button = qobject_cast<QAbstractButton*>(row->control))
        return accessibleTextOf(button->text());
    return QString::fromLatin1(row->identifier);
}

void commonTranslateInterface(QWidget* root) {
    if (!root || !PDECommon::bundle())
        return;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        if (widget->isWindow())
            widget->setWindowTitle(translated(widget->windowTitle()));
        if (!widget->accessibleName().isEmpty())
            widget->setAccessibleName(accessibleTextOf(translated(widget->accessibleName())));
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(translated(label->text()));
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(translated(button->text()));
        } else if (auto* menu = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < menu->count(); ++i)
                menu->setItemText(i, translated(menu->itemText(i)));
        } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i)
                tabs->setTabText(i, translated(tabs->tabText(i)));
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            group->setTitle(translated(group->title()));
        }
    }
}

} // namespace PDE
