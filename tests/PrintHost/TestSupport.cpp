#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace PrintHostTest {

ProcessResult runPrintDialog(const QStringList& arguments, const QProcessEnvironment& environment,
                             const QString& program) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    for (const QString& key : environment.keys())
        env.insert(key, environment.value(key));
    process.setProcessEnvironment(env);
    QStringList args = arguments;
    if (!args.contains(QStringLiteral("--plugin")) && !args.contains(QStringLiteral("--help")))
        args << QStringLiteral("--plugin") << fakeBundle();
    process.start(program.isEmpty() ? QStringLiteral(PRINT_DIALOG_PATH) : program, args);
    ProcessResult result;
    if (!process.waitForStarted(10000))
        return result;
    result.finished = process.waitForFinished(60000);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QStringList lines(const QByteArray& text) {
    return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

bool makeBundle(const QString& directory, const QByteArray& infoJson) {
    const QDir source(fakeBundle());
    if (!QDir().mkpath(directory + QStringLiteral("/Resources")))
        return false;
    if (!QFile::copy(source.filePath(QStringLiteral(FAKE_LIBRARY_NAME)),
                     directory + QStringLiteral("/") + QStringLiteral(FAKE_LIBRARY_NAME)))
        return false;
    for (const QString& name :
         QDir(source.filePath(QStringLiteral("Resources"))).entryList(QDir::Files))
        QFile::copy(source.filePath(QStringLiteral("Resources/") + name),
                    directory + QStringLiteral("/Resources/") + name);
    return writeFile(directory + QStringLiteral("/Info.json"), infoJson);
}

QString fakeBundle() {
    return QStringLiteral(FAKE_BUNDLE_DIR);
}
QString bundledPPD() {
    return QStringLiteral(BUNDLED_PPD);
}
QString fixturePPD(const QString& name) {
    return QStringLiteral(FIXTURE_PPD_DIR "/") + name;
}

} // namespace PrintHostTest
