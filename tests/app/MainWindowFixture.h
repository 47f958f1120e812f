// A fresh main window in an empty temporary program folder, for one test.
#pragma once

#include "FakePlatform.h"
#include "app/Main.h"

#include <QTemporaryDir>
#include <memory>

struct MainWindowFixture
{
    QTemporaryDir dir;

    // Files that must be there before the window is made go in through `before`.
    template <typename Before>
    explicit MainWindowFixture(Before before)
    {
        fake().reset(dir.path());
        before(dir.path());
        FrmMain = new TFrmMain;
    }
    MainWindowFixture()
        : MainWindowFixture([](const QString &) {})
    {
    }
    ~MainWindowFixture()
    {
        delete FrmMain;
        FrmMain = nullptr;
    }

    QString file(const QString &name) const { return dir.filePath(name); }
};
