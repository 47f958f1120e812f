// The main() of every test: the real application object and the fake seam.
#pragma once

#include "FakePlatform.h"
#include "app/Application.h"

#include <QDir>
#include <QTest>

#define TRILLORA_TEST_MAIN(TestObject)                                         \
    int main(int argc, char *argv[])                                           \
    {                                                                          \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                    \
            qputenv("QT_QPA_PLATFORM", "offscreen");                           \
        TrilloraApplication app(argc, argv);                                   \
        FakePlatform fakePlatform;                                             \
        fakePlatform.exePath = QDir::tempPath() + QStringLiteral("/trillora"); \
        installPlatform(&fakePlatform);                                        \
        TestObject tc;                                                         \
        QTEST_SET_MAIN_SOURCE_PATH                                             \
        return QTest::qExec(&tc, argc, argv);                                  \
    }
