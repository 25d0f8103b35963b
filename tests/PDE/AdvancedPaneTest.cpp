// The Advanced pane's own buttons.
#include "PanelFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QThread>

namespace {

QString downloadManagerPath() {
    return qEnvironmentVariable("ZRK5100_ROOT") +
           "/Applications/Download Manager ZR-K5100/Ostra Download Manager.app";
}

bool waitForFile(const QString& path, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(path)) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(20);
    }
    return true;
}

} // namespace

TEST(AdvancedPane, DownloadManagerStartsOnlyWhenItExists) {
    zrktest::Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    auto* button = qobject_cast<QPushButton*>(dialog.control("button_DownloadManager"));
    ASSERT_NE(button, nullptr);

    // Absent: pressing the button has no effect at all.
    QFile::remove(downloadManagerPath());
    emit button->clicked(false);

    const QString marker = qEnvironmentVariable("ZRK5100_ROOT") + "/download-manager-started";
    QDir().mkpath(QFileInfo(downloadManagerPath()).path());
    QFile program(downloadManagerPath());
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(marker).toUtf8());
    program.close();
    program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    emit button->clicked(false);
    EXPECT_TRUE(waitForFile(marker, 10000));
    QFile::remove(downloadManagerPath());
    QFile::remove(marker);
}

TEST(AdvancedPane, ManagementButtonIsDisabledWithoutTheHelper) {
    zrktest::Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    QWidget* manage = dialog.control("button_ManageProfile");
    ASSERT_NE(manage, nullptr);
    EXPECT_FALSE(manage->isEnabled());
    // The rules never touch it.
    dialog.panel().constraints(nullptr);
    EXPECT_FALSE(manage->isEnabled());
}

TEST(AdvancedPane, HideButtonReturnsToTheMainPane) {
    zrktest::Dialog dialog(zrktest::bundledPPD());
    dialog.panel().restoreValuesAndReturnError(nullptr);
    dialog.choose("menu_QuickColor", 3);
    auto* show = qobject_cast<QPushButton*>(dialog.control("button_AdvanceColorOptions"));
    auto* hide = qobject_cast<QPushButton*>(dialog.control("button_HideAdvancedOptions"));
    ASSERT_TRUE(show && show->isEnabled() && hide);
    emit show->clicked(false);
    EXPECT_FALSE(dialog.control("onAdvancedView")->isHidden());
    emit hide->clicked(false);
    EXPECT_TRUE(dialog.control("onAdvancedView")->isHidden());
    EXPECT_FALSE(dialog.control("onColorView")->isHidden());
}
