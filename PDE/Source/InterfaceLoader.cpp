#include "InterfaceLoader.h"

#include "Accessibility.h"
#include "AdvancedColorOptions.h"
#include "ColorOptions.h"
#include "MainView.h"
#include "PainChangeController.h"
#include "ProfileControl.h"
#include "VXTextField.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QUiLoader>

namespace PDE {

namespace {

struct WidgetClass {
    const char* name;
    QWidget* (*create)(QWidget* parent);
};

struct ObjectClass {
    const char* name;
    QObject* (*create)(QObject* parent);
};

template <typename T> QWidget* makeWidget(QWidget* parent) {
    return new T(parent);
}
template <typename T> QObject* makeObject(QObject* parent) {
    return new T(parent);
}

constexpr WidgetClass kWidgetClasses[] = {
    {"MainView" PDE_CLASS_SUFFIX, &makeWidget<MainView>},
    {"ColorOptions" PDE_CLASS_SUFFIX, &makeWidget<ColorOptions>},
    {"AdvancedColorOptions" PDE_CLASS_SUFFIX, &makeWidget<AdvancedColorOptions>},
    {"VXTextField" PDE_CLASS_SUFFIX, &makeWidget<VXTextField>},
};

constexpr ObjectClass kObjectClasses[] = {
    {"PainChangeController" PDE_CLASS_SUFFIX, &makeObject<PainChangeController>},
    {"ProfileControl" PDE_CLASS_SUFFIX, &makeObject<ProfileControl>},
};

class Loader : public QUiLoader {
public:
    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        for (const WidgetClass& c : kWidgetClasses) {
            if (className == QLatin1String(c.name)) {
                QWidget* widget = c.create(parent);
                widget->setObjectName(name);
                return widget;
            }
        }
        return QUiLoader::createWidget(className, parent, name);
    }
};

void createListedObjects(QWidget* root) {
    const QStringList listed = root->property("pdeObjects").toStringList();
    for (const QString& entry : listed) {
        const QString className = entry.section(u':', 0, 0);
        const QString objectName = entry.section(u':', 1);
        for (const ObjectClass& c : kObjectClasses) {
            if (className == QLatin1String(c.name)) {
                QObject* object = c.create(root);
                object->setObjectName(objectName);
            }
        }
    }
}

void bindOutlets(QWidget* root) {
    for (PDEPane* pane : root->findChildren<PDEPane*>())
        pane->awakeFromInterface();
    for (PainChangeController* controller : root->findChildren<PainChangeController*>())
        controller->awakeFromInterface(root);
    for (ProfileControl* control : root->findChildren<ProfileControl*>())
        control->awakeFromInterface(root);
}

void sendAction(QObject* target, const QByteArray& method, QObject* sender) {
    QMetaObject::invokeMethod(target, method.constData(), Qt::DirectConnection,
                              Q_ARG(QObject*, sender));
}

void wireActions(QWidget* root, QObject* owner) {
    for (QWidget* control : root->findChildren<QWidget*>()) {
        const QString action = control->property("pdeAction").toString();
        if (action.isEmpty())
            continue;
        const QString targetName = control->property("pdeTarget").toString();
        QObject* target = targetName == u"owner" ? owner : root->findChild<QObject*>(targetName);
        if (!target)
            continue;
        // "constraints:" names the method constraints(QObject* sender).
        QByteArray method = action.toLatin1();
        if (method.endsWith(':'))
            method.chop(1);
        QPointer<QObject> guardedTarget(target);
        auto send = [guardedTarget, method, control] {
            if (guardedTarget)
                sendAction(guardedTarget, method, control);
        };
        // A check box changes by the mouse, the keyboard, an assistive tool's
        // toggle action (which never clicks) or a script: each change of its
        // state is the user's, since the panel sets states with its signals
        // blocked. A pop-up's activation and a push button's click are the
        // user's alone.
        if (auto* menu = qobject_cast<QComboBox*>(control))
            QObject::connect(menu, &QComboBox::activated, target, send);
        else if (auto* button = qobject_cast<QAbstractButton*>(control);
                 button && button->isCheckable())
            QObject::connect(button, &QAbstractButton::toggled, target, send);
        else if (button)
            QObject::connect(button, &QAbstractButton::clicked, target, send);
    }
}

} // namespace

std::unique_ptr<QWidget> InterfaceLoader::load(const QString& path, QObject* owner,
                                               QString* error) {
    if (path.isEmpty()) {
        if (error)
            *error = QStringLiteral("the bundle has no such interface file");
        return nullptr;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return nullptr;
    }
    Loader loader;
    std::unique_ptr<QWidget> root(loader.load(&file));
    if (!root) {
        if (error)
            *error = loader.errorString();
        return nullptr;
    }
    commonTranslateInterface(root.get());
    commonSetAccessibleNames(root.get());
    createListedObjects(root.get());
    bindOutlets(root.get());
    wireActions(root.get(), owner);
    return root;
}

} // namespace PDE
