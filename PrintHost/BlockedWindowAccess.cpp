#include "BlockedWindowAccess.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeySequence>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

namespace PrintHost {

namespace {

// The interface Qt gives buttons, but deaf while the button's window is
// blocked by a modal window.
class ButtonAccess : public QAccessibleWidget {
public:
    ButtonAccess(QAbstractButton* button, QAccessible::Role role)
        : QAccessibleWidget(button, role) {}

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name: {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? spokenButtonName(button()->text()) : name;
        }
        case QAccessible::Accelerator:
            return QKeySequence::mnemonic(button()->text()).toString(QKeySequence::NativeText);
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        QAbstractButton* b = button();
        state.checkable = b->isCheckable();
        state.checked = b->isChecked();
        state.pressed = b->isDown();
        if (auto* box = qobject_cast<QCheckBox*>(b))
            state.checkStateMixed = box->checkState() == Qt::PartiallyChecked;
        if (auto* push = qobject_cast<QPushButton*>(b)) {
            state.defaultButton = push->isDefault();
            state.hasPopup = push->menu() != nullptr;
        }
        return state;
    }

    QStringList actionNames() const override {
        QStringList names;
        if (widget()->isEnabled())
            names << (button()->isCheckable() ? toggleAction() : pressAction());
        names << QAccessibleWidget::actionNames();
        return names;
    }

    void doAction(const QString& action) override {
        if (!widget()->isEnabled() || isBlockedByModalWindow(widget()))
            return;
        if (action == pressAction())
            button()->animateClick();
        else if (action == toggleAction())
            button()->toggle();
        else
            QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override {
        const QKeySequence key = QKeySequence::mnemonic(button()->text());
        if (!key.isEmpty() && (action == pressAction() || action == toggleAction()))
            return {key.toString(QKeySequence::NativeText)};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* buttonAccessFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("QCheckBox"))
        return new ButtonAccess(static_cast<QCheckBox*>(object), QAccessible::CheckBox);
    if (className == QLatin1String("QRadioButton"))
        return new ButtonAccess(static_cast<QRadioButton*>(object), QAccessible::RadioButton);
    if (className == QLatin1String("QPushButton")) {
        auto* button = static_cast<QPushButton*>(object);
        return new ButtonAccess(button,
                                button->menu() ? QAccessible::ButtonMenu : QAccessible::Button);
    }
    return nullptr;
}

// A pop-up's accessible "Press" opens its list straight through showPopup(),
// and an open list takes the keyboard. The list of a pop-up whose window is
// blocked is closed again as soon as it shows.
class BlockedPopUpGuard : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* list = static_cast<QWidget*>(watched);
            auto* popUp =
                list->isWindow() ? qobject_cast<QComboBox*>(list->parentWidget()) : nullptr;
            // Closed once showPopup() has finished: it still works on the list.
            if (popUp && isBlockedByModalWindow(popUp))
                QMetaObject::invokeMethod(popUp, &QComboBox::hidePopup, Qt::QueuedConnection);
        }
        return false;
    }
};

} // namespace

QString spokenButtonName(const QString& text) {
    static const QRegularExpression mark(QStringLiteral("\\s*[(\uFF08]&[^&][)\uFF09]"));
    QString name = QString(text).remove(mark);
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == u'&')
            name.remove(i, 1); // "&&" keeps its second ampersand
    }
    return name.trimmed();
}

bool isBlockedByModalWindow(const QWidget* widget) {
    const QWidget* modal = QApplication::activeModalWidget();
    if (!widget || !modal)
        return false;
    const QWidget* window = widget->window();
    // The modal window itself, and windows opened from it, take input.
    for (const QWidget* w = window; w; w = w->parentWidget()) {
        if (w == modal)
            return false;
    }
    if (modal->windowModality() != Qt::WindowModal)
        return true;
    // A window-modal window blocks only the windows it was opened from.
    for (const QWidget* w = modal->parentWidget(); w; w = w->parentWidget()) {
        if (w->window() == window)
            return true;
    }
    return false;
}

void installBlockedWindowAccess() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(&buttonAccessFactory);
    qApp->installEventFilter(new BlockedPopUpGuard(qApp));
}

} // namespace PrintHost
