// The main of every window test: Qt's application object as the program makes
// it, on the offscreen platform unless told otherwise (test discovery runs
// the binary without the tests' environment).
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>

#include "ui/guarded_application.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    ::testing::InitGoogleTest(&argc, argv);
    GuardedApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
