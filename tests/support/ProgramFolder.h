// A temporary program folder with settings and language tables made to measure, for one test.
#pragma once

#include "FakePlatform.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

struct ProgramFolder
{
    QTemporaryDir dir;

    ProgramFolder()
    {
        fake().reset(dir.path());
    }

    QString file(const QString &name) const { return dir.filePath(name); }

    // Runs the statements on a fresh table file, read-write (only the test writes tables). Through
    // the sqlite3 program: Qt's own driver loading would keep the engine mapped in this process,
    // where the program's reads must be seen to let it go.
    void sql(const QString &name, const QStringList &statements) const
    {
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), file(name)});
        QVERIFY2(sqlite.waitForStarted(), "sqlite3 (package sqlite3) is needed");
        sqlite.write((statements.join(QStringLiteral(";\n")) + QStringLiteral(";\n")).toUtf8());
        sqlite.closeWriteChannel();
        QVERIFY(sqlite.waitForFinished());
        QVERIFY2(sqlite.exitStatus() == QProcess::NormalExit && sqlite.exitCode() == 0,
                 sqlite.readAllStandardError().constData());
    }

    void bytes(const QString &name, const QByteArray &content) const
    {
        QFile f(file(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    // The settings table holding one row with this language.
    void settings(const QString &language) const
    {
        sql(QStringLiteral("impostazioni.db"),
            {QStringLiteral("create table impostazioni (ALTRO text, LINGUA text)"),
             QStringLiteral("insert into impostazioni values ('x', '%1')").arg(QString(language).replace("'", "''"))});
    }

    // A language table with English, German and French columns for the bug report window's captions.
    void languages() const
    {
        sql(QStringLiteral("lingua.db"),
            {QStringLiteral("create table lingua (ITALIANO text, English text, Deutsch text, \"Français\" text)"),
             QStringLiteral("insert into lingua values ('Segnalazione bug al team TQZ', 'Bug report', 'Fehler', 'Bogue')"),
             QStringLiteral("insert into lingua values ('Premi su segnala per inoltrarci la segnalazione dellerrore:', "
                            "'Press ''Report'':', 'Drücken:', 'Cliquez :')"),
             QStringLiteral("insert into lingua values ('Esci', 'Exit', 'Beenden', 'Quitter')"),
             QStringLiteral("insert into lingua values ('Caricamento in corso, attendere..', 'Loading..', "
                            "'Laden..', 'Chargement..')")});
    }

    // Names, bytes and times of everything in the folder: the program must change none of them.
    QMap<QString, QPair<QByteArray, QDateTime>> snapshot() const
    {
        QMap<QString, QPair<QByteArray, QDateTime>> all;
        for (const QFileInfo &info : QDir(dir.path()).entryInfoList(QDir::Files | QDir::Hidden)) {
            QFile f(info.filePath());
            f.open(QIODevice::ReadOnly);
            all.insert(info.fileName(), {f.readAll(), info.lastModified()});
        }
        return all;
    }
};
