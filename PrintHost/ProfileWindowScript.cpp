#include "ProfileWindowScript.h"

#include "PDEPlugInAPI.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTimer>

#include <functional>
#include <iterator>
#include <optional>

namespace PrintHost {

namespace {

using Kind = ProfileAction::Kind;

// Names of the panel's button and of the window's controls (objectName).
constexpr const char* kManageProfileButton = "button_ManageProfile";
constexpr const char* kWindowName = "_profileManagementWindow";
constexpr const char* kGroupMenu = "_profileMenu";
constexpr const char* kTable = "_profileTableView";
constexpr const char* kFileNameField = "_fileNameEdit";
constexpr const char* kProfileNameField = "_profileNameEdit";
constexpr const char* kLocationMenu = "_locationMenu";
constexpr const char* kBrowseButton = "_browse";
constexpr const char* kWindowOKButton = "profileWindowOKButton";
constexpr const char* kWindowCancelButton = "profileWindowCancelButton";
// The table's column that a click on a row lands in (the file name), and the
// column of the in-menu check boxes.
constexpr int kClickColumn = 2;
constexpr int kCheckBoxColumn = 1;

enum class Argument { None, Row, Group, Location, Text, Path };

struct ActionSyntax {
    const char* word;
    Kind kind;
    Argument argument;
};

constexpr ActionSyntax kActionSyntax[] = {
    {"group", Kind::Group, Argument::Group},
    {"select", Kind::Select, Argument::Row},
    {"toggle", Kind::Toggle, Argument::Row},
    {"add", Kind::Add, Argument::None},
    {"edit", Kind::Edit, Argument::None},
    {"delete", Kind::Delete, Argument::None},
    {"browse", Kind::Browse, Argument::Path},
    {"file", Kind::File, Argument::Text},
    {"name", Kind::Name, Argument::Text},
    {"location", Kind::Location, Argument::Location},
    {"entry-ok", Kind::EntryOK, Argument::None},
    {"entry-cancel", Kind::EntryCancel, Argument::None},
    {"screenshot", Kind::Screenshot, Argument::Path},
    {"ok", Kind::OK, Argument::None},
    {"cancel", Kind::Cancel, Argument::None},
};

// Group menu items 0 to 2 and location menu items 0 and 1.
constexpr const char* kGroupWords[] = {"RGB", "SIM", "DST"};
constexpr const char* kLocationWords[] = {"Disk", "Card"};

// The buttons behind the actions that are one click.
struct ButtonAction {
    Kind kind;
    const char* objectName;
    const char* description;
};

constexpr ButtonAction kButtonActions[] = {
    {Kind::Add, "_addButton", "Add button"},
    {Kind::Edit, "_editButton", "Edit button"},
    {Kind::Delete, "_deleteButton", "Delete button"},
    {Kind::EntryOK, "_localOK", "entry's OK button"},
    {Kind::EntryCancel, "_localCancel", "entry's Cancel button"},
    {Kind::OK, kWindowOKButton, "window's OK button"},
    {Kind::Cancel, kWindowCancelButton, "window's Cancel button"},
};

QStringList splitActions(const QString& script) {
    QStringList pieces;
    QString current;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script.at(i);
        if (c == u'\\' && i + 1 < script.size() &&
            (script.at(i + 1) == u';' || script.at(i + 1) == u'\\')) {
            current += script.at(++i);
        } else if (c == u';') {
            pieces << current;
            current.clear();
        } else {
            current += c;
        }
    }
    pieces << current;
    return pieces;
}

int wordIndex(const QString& word, const auto& words) {
    for (int i = 0; i < int(std::size(words)); ++i) {
        if (word == QLatin1String(words[i]))
            return i;
    }
    return -1;
}

enum class Outcome { Done, Refused, Failed };

class WindowScript {
public:
    WindowScript(QDialog* window, QString* reason) : window_(window), reason_(reason) {}

    ProfileScriptResult run(const std::vector<ProfileAction>& actions);

private:
    Outcome perform(const ProfileAction& action);
    Outcome refuse(const QString& why) {
        if (reason_)
            *reason_ = why;
        return Outcome::Refused;
    }
    Outcome failWith(const QString& why) {
        if (reason_)
            *reason_ = why;
        return Outcome::Failed;
    }
    template <typename T> T* find(const char* name) {
        return window_->findChild<T*>(QLatin1String(name));
    }
    Outcome click(const char* name, const char* description);
    Outcome choose(const char* name, const char* description, int index);
    Outcome type(const char* name, const char* description, const QString& text);
    Outcome selectRow(int row);
    Outcome toggleRow(int row);
    Outcome browse(const QString& path);
    Outcome screenshot(const QString& path);
    Outcome rowExists(QTableView* table, int row);
    void cancelWindow();

    QDialog* window_;
    QString* reason_;
};

Outcome WindowScript::click(const char* name, const char* description) {
    auto* button = find<QAbstractButton>(name);
    if (!button)
        return failWith(QStringLiteral("the window has no %1").arg(QLatin1String(description)));
    if (!button->isEnabled())
        return refuse(QStringLiteral("the %1 is disabled").arg(QLatin1String(description)));
    button->click();
    return Outcome::Done;
}

Outcome WindowScript::choose(const char* name, const char* description, int index) {
    auto* menu = find<QComboBox>(name);
    if (!menu || index >= menu->count())
        return failWith(QStringLiteral("the window has no item %1 in its %2")
                            .arg(index)
                            .arg(QLatin1String(description)));
    if (!menu->isEnabled())
        return refuse(QStringLiteral("the %1 is disabled").arg(QLatin1String(description)));
    menu->setCurrentIndex(index);
    emit menu->activated(index);
    return Outcome::Done;
}

void sendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// The key that types a character: its own key for printable ASCII (letters
// by their capital), none for everything else, which only the text carries.
int keyFor(char32_t character) {
    if (character >= 'a' && character <= 'z')
        return Qt::Key_A + int(character - 'a');
    if (character >= 0x20 && character < 0x7f)
        return int(character);
    return Qt::Key_unknown;
}

// Clears the field as a user does (select everything, Backspace), then types
// the text one character at a time, so every key passes the field's checks.
Outcome WindowScript::type(const char* name, const char* description, const QString& text) {
    auto* field = find<QLineEdit>(name);
    if (!field)
        return failWith(QStringLiteral("the window has no %1").arg(QLatin1String(description)));
    if (!field->isEnabled())
        return refuse(QStringLiteral("the %1 is disabled").arg(QLatin1String(description)));
    field->setFocus(Qt::MouseFocusReason);
    if (!field->text().isEmpty()) {
        field->selectAll();
        sendKey(field, Qt::Key_Backspace, Qt::NoModifier, QString());
    }
    for (const char32_t character : text.toUcs4()) {
        sendKey(field, keyFor(character), Qt::NoModifier, QString::fromUcs4(&character, 1));
        QCoreApplication::processEvents();
    }
    return Outcome::Done;
}

Outcome WindowScript::rowExists(QTableView* table, int row) {
    if (!table || !table->model())
        return failWith(QStringLiteral("the window has no profile table"));
    const int rows = table->model()->rowCount();
    if (row >= rows)
        return refuse(
            QStringLiteral("the table has no row %1 (it has %2 rows)").arg(row).arg(rows));
    if (!table->isEnabled())
        return refuse(QStringLiteral("the profile table is disabled"));
    return Outcome::Done;
}

void clickAt(QWidget* target, const QPoint& position) {
    const QPointF local(position);
    const QPointF global = target->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

Outcome WindowScript::selectRow(int row) {
    auto* table = find<QTableView>(kTable);
    if (const Outcome exists = rowExists(table, row); exists != Outcome::Done)
        return exists;
    const QModelIndex index = table->model()->index(row, kClickColumn);
    table->scrollTo(index);
    clickAt(table->viewport(), table->visualRect(index).center());
    QCoreApplication::processEvents();
    const QModelIndexList selected =
        table->selectionModel() ? table->selectionModel()->selectedRows() : QModelIndexList();
    if (selected.size() != 1 || selected.constFirst().row() != row)
        return refuse(QStringLiteral("row %1 cannot be selected (the selection is frozen while an "
                                     "entry is added or edited)")
                          .arg(row));
    return Outcome::Done;
}

// Clicks the check box of a row where the table's style draws it.
Outcome WindowScript::toggleRow(int row) {
    auto* table = find<QTableView>(kTable);
    if (const Outcome exists = rowExists(table, row); exists != Outcome::Done)
        return exists;
    const QModelIndex index = table->model()->index(row, kCheckBoxColumn);
    table->scrollTo(index);
    const QVariant before = index.data(Qt::CheckStateRole);
    QStyleOptionViewItem option;
    option.initFrom(table->viewport());
    option.rect = table->visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    option.checkState = before.value<Qt::CheckState>();
    option.widget = table;
    const QRect box =
        table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
    clickAt(table->viewport(), box.center());
    QCoreApplication::processEvents();
    if (index.data(Qt::CheckStateRole) == before)
        return failWith(QStringLiteral("the check box of row %1 did not respond").arg(row));
    return Outcome::Done;
}

// Clicks Browse and, once the open panel shows, chooses the file in it.
Outcome WindowScript::browse(const QString& path) {
    const QFileInfo chosen(path);
    if (!chosen.isFile())
        return refuse(QStringLiteral("%1 is no file the open panel could choose").arg(path));
    auto* button = find<QAbstractButton>(kBrowseButton);
    if (!button)
        return failWith(QStringLiteral("the window has no Browse button"));
    if (!button->isEnabled())
        return refuse(QStringLiteral("the Browse button is disabled"));
    bool panelShown = false;
    std::function<void()> choose;
    choose = [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* panel = qobject_cast<QFileDialog*>(widget);
            if (panel && panel->isVisible()) {
                panelShown = true;
                panel->selectFile(chosen.absoluteFilePath());
                // What the panel's Open button does.
                QMetaObject::invokeMethod(panel, "accept", Qt::DirectConnection);
                return;
            }
        }
    };
    QTimer::singleShot(0, window_, choose);
    button->click();
    QCoreApplication::processEvents();
    if (!panelShown)
        return failWith(QStringLiteral("the Browse button showed no open panel"));
    // The window refuses a chosen name silently, leaving the field empty.
    const QString refusal = window_->property(ControlProperty::kRefusal).toString();
    if (!refusal.isEmpty())
        return refuse(QStringLiteral("the window refused the chosen file: %1").arg(refusal));
    return Outcome::Done;
}

Outcome WindowScript::screenshot(const QString& path) {
    const QImage picture = window_->grab().toImage();
    if (picture.isNull() || !picture.save(path, "PNG"))
        return failWith(QStringLiteral("cannot write the picture %1").arg(path));
    return Outcome::Done;
}

Outcome WindowScript::perform(const ProfileAction& action) {
    for (const ButtonAction& button : kButtonActions) {
        if (button.kind != action.kind)
            continue;
        const Outcome clicked = click(button.objectName, button.description);
        if (clicked != Outcome::Done || (action.kind != Kind::EntryOK && action.kind != Kind::OK))
            return clicked;
        // The window refuses an entry silently, keeping its edit part open,
        // and keeps itself open when its OK could not write the file; it
        // leaves the reason where a host can read it.
        const QString refusal = window_->property(ControlProperty::kRefusal).toString();
        if (!refusal.isEmpty() && action.kind == Kind::EntryOK)
            return refuse(QStringLiteral("the window refused the entry: %1").arg(refusal));
        if (!refusal.isEmpty() && window_->isVisible())
            return refuse(QStringLiteral("the window refused OK: %1").arg(refusal));
        return Outcome::Done;
    }
    switch (action.kind) {
    case Kind::Group:
        return choose(kGroupMenu, "group menu", action.number);
    case Kind::Location:
        return choose(kLocationMenu, "location menu", action.number);
    case Kind::Select:
        return selectRow(action.number);
    case Kind::Toggle:
        return toggleRow(action.number);
    case Kind::Browse:
        return browse(action.value);
    case Kind::File:
        return type(kFileNameField, "file name field", action.value);
    case Kind::Name:
        return type(kProfileNameField, "profile name field", action.value);
    case Kind::Screenshot:
        return screenshot(action.value);
    default:
        return failWith(QStringLiteral("\"%1\" cannot be performed").arg(action.text));
    }
}

void WindowScript::cancelWindow() {
    if (!window_->isVisible())
        return;
    auto* cancel = find<QAbstractButton>(kWindowCancelButton);
    if (cancel && cancel->isEnabled())
        cancel->click();
    if (window_->isVisible())
        window_->reject();
}

ProfileScriptResult WindowScript::run(const std::vector<ProfileAction>& actions) {
    Kind last = Kind::OK;
    for (const ProfileAction& action : actions) {
        const Outcome outcome = perform(action);
        if (outcome != Outcome::Done) {
            if (reason_)
                *reason_ = QStringLiteral("\"%1\": %2").arg(action.text, *reason_);
            cancelWindow();
            return outcome == Outcome::Refused ? ProfileScriptResult::Refused
                                               : ProfileScriptResult::Failed;
        }
        QCoreApplication::processEvents();
        last = action.kind;
        if (last == Kind::OK || last == Kind::Cancel)
            break;
    }
    if (last != Kind::OK && last != Kind::Cancel) {
        ProfileAction confirm;
        confirm.text = QStringLiteral("ok");
        if (const Outcome outcome = perform(confirm); outcome != Outcome::Done) {
            cancelWindow();
            return outcome == Outcome::Refused ? ProfileScriptResult::Refused
                                               : ProfileScriptResult::Failed;
        }
        last = Kind::OK;
    }
    if (window_->isVisible()) {
        cancelWindow();
        if (reason_)
            *reason_ = QStringLiteral("the window did not close");
        return ProfileScriptResult::Failed;
    }
    return last == Kind::OK ? ProfileScriptResult::Confirmed : ProfileScriptResult::Cancelled;
}

QDialog* shownWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog && dialog->objectName() == QLatin1String(kWindowName) && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

std::optional<std::vector<ProfileAction>> parseProfileActions(const QString& script,
                                                              QString* error) {
    auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    std::vector<ProfileAction> actions;
    for (const QString& piece : splitActions(script)) {
        const QString text = piece.trimmed();
        if (text.isEmpty())
            continue;
        qsizetype blank = 0;
        while (blank < text.size() && !text.at(blank).isSpace())
            ++blank;
        const QString word = text.left(blank);
        QString argument = text.mid(blank);
        while (!argument.isEmpty() && argument.front().isSpace())
            argument.remove(0, 1);

        const ActionSyntax* syntax = nullptr;
        for (const ActionSyntax& candidate : kActionSyntax) {
            if (word == QLatin1String(candidate.word))
                syntax = &candidate;
        }
        if (!syntax)
            return fail(QStringLiteral("unknown action \"%1\"").arg(text));
        if (!actions.empty() &&
            (actions.back().kind == Kind::OK || actions.back().kind == Kind::Cancel))
            return fail(QStringLiteral("\"%1\" follows \"%2\", which closes the window")
                            .arg(text, actions.back().text));

        ProfileAction action;
        action.kind = syntax->kind;
        action.text = text;
        switch (syntax->argument) {
        case Argument::None:
            if (!argument.isEmpty())
                return fail(QStringLiteral("\"%1\" takes no argument").arg(text));
            break;
        case Argument::Row: {
            bool ok = false;
            action.number = argument.toInt(&ok);
            if (!ok || action.number < 0 || argument != QString::number(action.number))
                return fail(QStringLiteral("\"%1\" needs a row number from 0").arg(text));
            break;
        }
        case Argument::Group:
            action.number = wordIndex(argument, kGroupWords);
            if (action.number < 0)
                return fail(QStringLiteral("\"%1\" needs RGB, SIM or DST").arg(text));
            break;
        case Argument::Location:
            action.number = wordIndex(argument, kLocationWords);
            if (action.number < 0)
                return fail(QStringLiteral("\"%1\" needs Disk or Card").arg(text));
            break;
        case Argument::Path:
            if (argument.isEmpty())
                return fail(QStringLiteral("\"%1\" needs a file").arg(text));
            action.value = argument;
            break;
        case Argument::Text:
            action.value = argument;
            break;
        }
        actions.push_back(std::move(action));
    }
    return actions;
}

ProfileScriptResult runProfileActions(QWidget* panelView, const std::vector<ProfileAction>& actions,
                                      QString* reason) {
    auto* button = panelView
                       ? panelView->findChild<QAbstractButton*>(QLatin1String(kManageProfileButton))
                       : nullptr;
    if (!button) {
        if (reason)
            *reason = QStringLiteral("the panel has no Management Profile button");
        return ProfileScriptResult::Failed;
    }
    if (!button->isEnabled()) {
        if (reason)
            *reason = QStringLiteral("the Management Profile button is disabled (the profile "
                                     "file may not be written)");
        return ProfileScriptResult::Refused;
    }
    // The open panel must be Qt's own, whose controls a script can reach.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);

    // The window runs modally: the actions run inside its modal loop, from a
    // timer that fires once the window shows.
    std::optional<ProfileScriptResult> result;
    bool clickReturned = false;
    std::function<void()> script;
    script = [&] {
        if (QDialog* window = shownWindow()) {
            result = WindowScript(window, reason).run(actions);
        } else if (!clickReturned) {
            QTimer::singleShot(10, button, script);
        } else {
            if (reason)
                *reason = QStringLiteral("the Profile Management window did not open");
            result = ProfileScriptResult::Failed;
        }
    };
    QTimer::singleShot(0, button, script);
    button->click();
    clickReturned = true;
    while (!result)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return *result;
}

} // namespace PrintHost
