#include "KwApplication.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

// Test programs are also run by CTest's discovery step without its environment, so they
// choose the offscreen platform and the silent sound driver themselves.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("ALSOFT_DRIVERS"))
        qputenv("ALSOFT_DRIVERS", "null");
    ::testing::InitGoogleTest(&argc, argv);
    KwApplication app(argc, argv);
    QTemporaryDir workFolder;
    if (!workFolder.isValid() || !QDir::setCurrent(workFolder.path()))
        return 2;
    return RUN_ALL_TESTS();
}
