#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir folder;
    if (!folder.isValid())
        return 3;
    setenv("XDG_CONFIG_HOME", QDir(folder.path()).filePath(QStringLiteral("config")).toLocal8Bit().constData(), 1);
    QDir::setCurrent(folder.path());

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
