// The interactive dialog, driven in process: the window shows the panel on
// its main pane; OK saves and writes the ticket, Print prints, Cancel leaves
// everything as it was.
#include "PrintDialogWindow.h"
#include "BlockedWindowAccess.h"
#include "PanelControls.h"
#include "PrintDialogRun.h"
#include "TestSupport.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLayout>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>

using namespace PrintHost;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using TempStream = std::unique_ptr<std::FILE, FileCloser>;

QByteArray contents(std::FILE* stream) {
    std::fflush(stream);
    std::rewind(stream);
    QByteArray data;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), stream)) > 0)
        data.append(buffer, qsizetype(n));
    return data;
}

// Waits for the dialog window, lets `inspect` look at it, then presses the
// button `pick` chooses.
void whenTheWindowShows(std::function<void(PrintDialogWindow*)> inspect,
                        std::function<QPushButton*(QDialogButtonBox*)> pick) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* window = qobject_cast<PrintDialogWindow*>(QApplication::activeModalWidget());
        if (!window)
            return;
        timer->stop();
        timer->deleteLater();
        inspect(window);
        auto* buttons = window->findChild<QDialogButtonBox*>();
        QPushButton* button = buttons ? pick(buttons) : nullptr;
        if (button)
            button->click();
        else
            window->reject();
    });
    timer->start();
}

QPushButton* printButton(QDialogButtonBox* box) {
    for (QAbstractButton* b : box->buttons()) {
        if (b->text() == QLatin1String("Print"))
            return qobject_cast<QPushButton*>(b);
    }
    return nullptr;
}

struct DialogRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

DialogRun runInteractive(PrintDialogOptions options) {
    TempStream out(std::tmpfile());
    TempStream err(std::tmpfile());
    DialogRun run;
    run.status = runPrintDialog(options, true, out.get(), err.get());
    run.out = contents(out.get());
    run.err = contents(err.get());
    return run;
}

PrintDialogOptions baseOptions(const QString& ticket) {
    PrintDialogOptions options;
    options.ppdPath = PrintHostTest::bundledPPD();
    options.printerId = QStringLiteral("Office");
    options.pluginDirectory = PrintHostTest::fakeBundle();
    options.ticketPath = ticket;
    options.choices = {{QStringLiteral("VXQuickColor"), QStringLiteral("Photo")}};
    return options;
}

} // namespace

TEST(PrintDialogWindow, OkSavesAndWritesTheTicketOnTheMainPane) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ticket = dir.filePath(QStringLiteral("ticket.plist"));
    PrintDialogOptions options = baseOptions(ticket);
    options.showPane = QStringLiteral("advanced");
    Pane shown = Pane::None;
    QString title;
    whenTheWindowShows(
        [&](PrintDialogWindow* window) {
            QWidget* view = window->findChild<QWidget*>(QStringLiteral("onColorView"));
            shown = view ? shownPane(view->parentWidget()) : Pane::None;
            title = window->windowTitle();
        },
        [](QDialogButtonBox* box) { return box->button(QDialogButtonBox::Ok); });
    const DialogRun run = runInteractive(options);
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(shown, Pane::Color) << "the dialog calls willShow before showing the panel";
    EXPECT_TRUE(title.contains(QStringLiteral("Color Options")));
    EXPECT_TRUE(title.contains(QStringLiteral("Office")));
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(PrintHostTest::readFile(ticket).contains("<string>Photo</string>"));
}

TEST(PrintDialogWindow, PrintSavesAndPrintsTheJobOptions) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ticket = dir.filePath(QStringLiteral("ticket.plist"));
    whenTheWindowShows([](PrintDialogWindow*) {}, printButton);
    const DialogRun run = runInteractive(baseOptions(ticket));
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(PrintHostTest::lines(run.out),
              (QStringList{"VXColorAsGray=False", "VXImageHalftone=Smooth", "VXQuickColor=Photo"}));
    EXPECT_FALSE(QFileInfo::exists(ticket)) << "only OK writes the ticket";
}

TEST(PrintDialogWindow, CancelChangesNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ticket = dir.filePath(QStringLiteral("ticket.plist"));
    whenTheWindowShows([](PrintDialogWindow*) {},
                       [](QDialogButtonBox* box) { return box->button(QDialogButtonBox::Cancel); });
    const DialogRun run = runInteractive(baseOptions(ticket));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(ticket));
}

TEST(PrintDialogWindow, AFailedActionKeepsTheWindowOpen) {
    QWidget panel;
    int okCalls = 0;
    PrintDialogWindow window(
        &panel, QStringLiteral("t"),
        [&](QString* error) {
            ++okCalls;
            *error = QStringLiteral("disk full");
            return false;
        },
        [](QString*) { return true; });
    window.show();
    // The warning box is modal: close it as soon as it shows.
    QTimer::singleShot(50, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    window.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(okCalls, 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.result(), 0);
    window.layout()->removeWidget(&panel);
    panel.setParent(nullptr);
}

TEST(PrintDialogWindow, ButtonsSpeakTheDialogsLanguage) {
    QTranslator german;
    ASSERT_TRUE(german.load(QStringLiteral(PRINT_DIALOG_QM_DIR "/print-dialog_de.qm")));
    QCoreApplication::installTranslator(&german);
    QWidget panel;
    {
        PrintDialogWindow window(&panel, QStringLiteral("t"), nullptr, nullptr);
        auto* buttons = window.findChild<QDialogButtonBox*>();
        EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("&Abbrechen"));
        QStringList texts;
        for (QAbstractButton* button : buttons->buttons())
            texts << button->text();
        EXPECT_TRUE(texts.contains(QStringLiteral("Drucken"))) << texts.join(u',').toStdString();
        window.layout()->removeWidget(&panel);
        panel.setParent(nullptr);
    }
    QCoreApplication::removeTranslator(&german);
    // A mnemonic written after the text is no part of the spoken name.
    QTranslator japanese;
    ASSERT_TRUE(japanese.load(QStringLiteral(PRINT_DIALOG_QM_DIR "/print-dialog_ja.qm")));
    QCoreApplication::installTranslator(&japanese);
    {
        PrintDialogWindow window(&panel, QStringLiteral("t"), nullptr, nullptr);
        QAbstractButton* cancel =
            window.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
        EXPECT_EQ(cancel->text(), QString::fromUtf8("キャンセル(&C)"));
        EXPECT_EQ(cancel->accessibleName(), QString::fromUtf8("キャンセル"));
        window.layout()->removeWidget(&panel);
        panel.setParent(nullptr);
    }
    QCoreApplication::removeTranslator(&japanese);
}

// A screen reader acts through accessible interfaces; while a modal window is
// open, the controls of the windows it blocks do nothing, and its own work.
TEST(PrintDialogWindow, ControlsBehindAModalWindowIgnoreAssistiveActions) {
    installBlockedWindowAccess();
    QWidget panel;
    auto* behind = new QCheckBox(QStringLiteral("Behind"), &panel);
    PrintDialogWindow window(&panel, QStringLiteral("t"), nullptr, nullptr);
    window.show();
    QDialog modal(&window);
    auto* inModal = new QCheckBox(QStringLiteral("In the modal window"), &modal);
    auto toggle = [](QCheckBox* box) {
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(box);
        ASSERT_NE(access, nullptr);
        ASSERT_NE(access->actionInterface(), nullptr);
        access->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    };
    QPushButton* cancel = window.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
    QAccessibleInterface* cancelAccess = QAccessible::queryAccessibleInterface(cancel);
    ASSERT_NE(cancelAccess, nullptr);
    EXPECT_EQ(cancelAccess->text(QAccessible::Name), QStringLiteral("Cancel"));
    EXPECT_EQ(cancelAccess->role(), QAccessible::Button);

    const struct {
        const char* when;
        bool modalOpen;
        QCheckBox* box;
        bool toggles;
    } cases[] = {
        {"no modal window", false, behind, true},
        {"behind the modal window", true, behind, false},
        {"in the modal window", true, inModal, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        modal.setWindowModality(Qt::ApplicationModal);
        modal.setVisible(c.modalOpen);
        const bool before = c.box->isChecked();
        toggle(c.box);
        EXPECT_EQ(c.box->isChecked(), c.toggles ? !before : before);
        EXPECT_EQ(isBlockedByModalWindow(cancel), c.modalOpen);
    }

    // A pop-up's "Press" opens its list, which would then take the keyboard.
    auto* popUpBehind = new QComboBox(&panel);
    auto* popUpInModal = new QComboBox(&modal);
    for (QComboBox* popUp : {popUpBehind, popUpInModal})
        popUp->addItems({QStringLiteral("One"), QStringLiteral("Two")});
    modal.setVisible(true);
    for (QComboBox* popUp : {popUpBehind, popUpInModal}) {
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(popUp);
        ASSERT_NE(access, nullptr);
        access->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCoreApplication::processEvents();
        EXPECT_EQ(popUp->view()->isVisible(), popUp == popUpInModal);
        popUp->hidePopup();
    }
    modal.hide();
    window.layout()->removeWidget(&panel);
    panel.setParent(nullptr);
}
