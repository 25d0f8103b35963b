// Runs the panel's tests inside one offscreen application, with a private
// installation root so that no test reaches the machine's profile files.
#include "PanelFixture.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The panel speaks the user's language; these tests read its English texts.
    qputenv("LC_ALL", "C.UTF-8");
    qunsetenv("LANGUAGE");
    QTemporaryDir runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toUtf8());
    QTemporaryDir installRoot;
    qputenv("ZRK5100_ROOT", installRoot.path().toUtf8());
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    zrktest::openSharedBundle();
    return RUN_ALL_TESTS();
}
