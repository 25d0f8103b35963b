// Helpers shared by the host tests.
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace PrintHostTest {

struct ProcessResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    bool finished = false;
};

// Runs print-dialog headless with the fake bundle unless the arguments name
// another; `environment` adds to (or overrides) the test's environment.
ProcessResult runPrintDialog(const QStringList& arguments,
                             const QProcessEnvironment& environment = {},
                             const QString& program = QString());

// The program's output lines (without empty ones).
QStringList lines(const QByteArray& text);

QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& data);

// Copies the fake bundle's library and resources into `directory` (a new
// bundle folder) and writes `infoJson` as its Info.json.
bool makeBundle(const QString& directory, const QByteArray& infoJson);

QString fakeBundle();
QString bundledPPD();
QString fixturePPD(const QString& name);

} // namespace PrintHostTest
