#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// quillsong-cli run as a separate process, as its users run it.
namespace clirun {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the converter with the given arguments and standard input until it ends (at most two
// minutes); the event loop turns meanwhile, so servers of the test answer.
Result Run(const QStringList& args, const QByteArray& input = {},
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// A test with a private folder for the converter's input files and its output folder.
class Folder : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    // Writes a file of the folder and hands back its path.
    QString Text(const QString& name, const QByteArray& content) const;
    QString Out() const;
    // The names of the files in the output folder.
    QStringList Files() const;

    QTemporaryDir dir_;
};

}  // namespace clirun
