#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "platform/about/libraryversions.h"
#include "platform/about/programversion.h"

namespace {

// The version given to project() in the top CMakeLists.txt.
QString ProjectVersion() {
    QFile file(QStringLiteral(QUILL_DATA_DIR "/../CMakeLists.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    static const QRegularExpression project(
        QStringLiteral("project\\(\\s*Quillsong\\s+VERSION\\s+([0-9.]+)"));
    return project.match(QString::fromUtf8(file.readAll())).captured(1);
}

// The installed Debian package's version without the Debian revision and repack suffix.
QString PackageVersion(const QString& package) {
    QProcess query;
    query.start(QStringLiteral("dpkg-query"),
                {QStringLiteral("-W"), QStringLiteral("-f=${Version}"), package});
    if (!query.waitForFinished(60000) || query.exitCode() != 0) {
        return {};
    }
    QString version = QString::fromUtf8(query.readAllStandardOutput());
    version.remove(QRegularExpression(QStringLiteral("^[0-9]+:")));
    return version.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('+'), 0, 0);
}

}  // namespace

TEST(ProgramVersionTest, IsTheVersionTheBuildSets) {
    const QString version = ProjectVersion();
    ASSERT_FALSE(version.isEmpty()) << "no project(Quillsong VERSION ...) in CMakeLists.txt";
    EXPECT_EQ(ProgramVersion::version(), version);
    EXPECT_EQ(ProgramVersion::nameAndVersion(), QStringLiteral("Quillsong MP3 ") + version);
}

TEST(LibraryVersionsTest, NameTheFourLibrariesWithTheInstalledVersionsAndLicences) {
    const QList<LibraryVersions::Library> libraries = LibraryVersions::all();
    ASSERT_EQ(libraries.size(), 4);
    const std::pair<const char*, const char*> expected[] = {{"Qt", "libqt6core6"},
                                                            {"eSpeak NG", "libespeak-ng1"},
                                                            {"Flite", "libflite1"},
                                                            {"LAME", "libmp3lame0"}};
    if (QStandardPaths::findExecutable(QStringLiteral("dpkg-query")).isEmpty()) {
        GTEST_SKIP() << "no dpkg-query to tell the installed packages' versions";
    }
    for (int index = 0; index < 4; ++index) {
        const LibraryVersions::Library& library = libraries.at(index);
        EXPECT_EQ(library.name, QString::fromLatin1(expected[index].first));
        const QString package = PackageVersion(QString::fromLatin1(expected[index].second));
        ASSERT_FALSE(package.isEmpty()) << expected[index].second;
        // LAME says "3.100", its package "3.100"; eSpeak NG "1.51", its package "1.51+dfsg".
        EXPECT_TRUE(library.version.startsWith(package))
            << library.name.toStdString() << ": " << library.version.toStdString()
            << " against the package's " << package.toStdString();
        EXPECT_FALSE(library.licence.isEmpty()) << library.name.toStdString();
    }
    EXPECT_TRUE(libraries.at(0).licence.contains(QStringLiteral("LGPL version 3")));
    EXPECT_TRUE(libraries.at(1).licence.contains(QStringLiteral("GPL version 3")));
    EXPECT_TRUE(libraries.at(2).licence.startsWith(QStringLiteral("BSD")));
    EXPECT_TRUE(libraries.at(3).licence.contains(QStringLiteral("LGPL version 2")));
}
