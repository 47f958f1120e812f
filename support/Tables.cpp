// The optional settings and language tables beside the program, read through SQLite, and caption translation.
#include "support/Tables.h"

#include "platform/Platform.h"
#include "widgets/ErrorDisplay.h"
#include "widgets/Fx.h"

#include <QPluginLoader>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlDriverPlugin>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace Fx {

namespace {

const QString SettingsFile = QStringLiteral("impostazioni.db");
const QString LanguageFile = QStringLiteral("lingua.db");

// The table engine, Qt's SQLite driver plug-in, held for as long as this object lives. The tables
// are read at start and then only when a translating window opens, so the engine (SQLite above
// all, over a megabyte of code once used) is let go after each read instead of staying mapped
// all day, as it would if Qt's own plug-in loader had loaded it. Nested holders share one loading.
class Engine
{
public:
    Engine()
    {
        // A plug-in loader keeps its library for good unless told otherwise, and from Qt 6.8 on it
        // decides that when it is given the file: the hints come first.
        plugin.setLoadHints({});
        plugin.setFileName(QStringLiteral("sqldrivers/qsqlite"));
    }
    ~Engine() { plugin.unload(); }
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;

    // A new SQLite driver, or null when the plug-in cannot be loaded.
    QSqlDriver *driver()
    {
        auto *factory = qobject_cast<QSqlDriverPlugin *>(plugin.instance());
        return factory ? factory->create(QStringLiteral("QSQLITE")) : nullptr;
    }

private:
    QPluginLoader plugin;
};

// Every read opens its own connection under a name no other read shares, and drops it when done.
// Declared before the QSqlDatabase and QSqlQuery objects of a read, it is destroyed after them,
// which is the order Qt needs to drop a connection cleanly (even when the read throws); the
// connection's driver goes with it, before the engine is let go.
class Connection
{
public:
    explicit Connection(const QString &file)
        : name(QStringLiteral("trillora-tabella-%1").arg(++counter))
    {
        // Without the plug-in, Qt's own loader has its try and reports what it finds.
        QSqlDriver *driver = engine.driver();
        QSqlDatabase db = driver ? QSqlDatabase::addDatabase(driver, name)
                                 : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        // Read-only: a missing table is never created and nothing is ever written.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    }
    ~Connection() { QSqlDatabase::removeDatabase(name); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QSqlDatabase database() const { return QSqlDatabase::database(name, false); }

private:
    static inline unsigned counter = 0;
    Engine engine;
    QString name;
};

// The engine's own words ("no such table: lingua", "file is not a database").
QString engineMessage(const QSqlError &error)
{
    const QString engine = error.databaseText();
    return engine.isEmpty() ? error.driverText() : engine;
}

// SQLite folds only the ASCII letters when it compares names; so does this.
bool sameName(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x == y)
            continue;
        const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
        if (lower(x) != lower(y))
            return false;
    }
    return true;
}

// The real name of the language's column, or nothing when the table has no such column.
QString columnNamed(const QSqlRecord &record, const QString &language)
{
    for (int i = 0; i < record.count(); ++i) {
        if (sameName(record.fieldName(i), language))
            return record.fieldName(i);
    }
    return {};
}

QString quotedIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString searchForm(const QString &caption)
{
    QString copy = caption;
    if (copy.startsWith(QLatin1Char('&')))
        copy.remove(0, 1);
    copy.remove(QLatin1Char('\''));
    return copy;
}

} // namespace

QString LeggiImpostazione(const QString &campo)
{
    QString valore;
    bool letto = false;
    {
        Connection connection(CartellaProgramma() + SettingsFile);
        QSqlDatabase db = connection.database();
        if (db.open()) {
            QSqlQuery query(db);
            query.setForwardOnly(true);
            // The whole first row, so that the field is picked by name and never pasted into the text.
            if (query.exec(QStringLiteral("select * from impostazioni limit 1"))) {
                const int field = query.record().indexOf(campo);
                if (field >= 0) {
                    letto = true;
                    if (query.next())
                        valore = query.value(field).toString();
                }
            }
        }
    }
    if (!letto) {
        MsgErrore(QStringLiteral("Errore di lettura in parametri di impostazione, campo: ") + campo);
        return {};
    }
    return valore;
}

// The language is only ever used as the name of a column that the table really has, and the
// caption is bound as a value: neither can change what the query does.
QString TraduciTesto(const QString &caption, const QString &lingua)
{
    const QString cercata = searchForm(caption);

    Connection connection(CartellaProgramma() + LanguageFile);
    QSqlDatabase db = connection.database();
    if (!db.open())
        throw TrilloraError(engineMessage(db.lastError()));

    const QSqlRecord record = db.record(QStringLiteral("lingua"));
    // An empty record means no readable table at all; the lookup itself then fails with the
    // engine's reason (no table, not a database), which is reported as it stands.
    const QString nome = record.isEmpty() ? QStringLiteral("ITALIANO") : columnNamed(record, lingua);
    if (nome.isEmpty())
        throw TrilloraError(QStringLiteral("no such column: ") + lingua);

    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("select %1 from lingua where ITALIANO = ?").arg(quotedIdentifier(nome))))
        throw TrilloraError(engineMessage(query.lastError()));
    query.addBindValue(cercata);
    if (!query.exec())
        throw TrilloraError(engineMessage(query.lastError()));
    if (record.isEmpty())
        throw TrilloraError(QStringLiteral("no such column: ") + lingua);

    if (query.next())
        return query.value(0).toString();
    return cercata;
}

void TraduciInterfaccia(const QList<Didascalia> &didascalie)
{
    if (!platform().fileExists(CartellaProgramma() + LanguageFile))
        return;
    // One loading of the engine for the settings read and every lookup of the window.
    Engine engine;
    const QString lingua = LeggiImpostazione(QStringLiteral("LINGUA"));
    if (lingua.isEmpty() || lingua == QStringLiteral("Italiano"))
        return;
    for (const Didascalia &didascalia : didascalie)
        didascalia.write(TraduciTesto(didascalia.read(), lingua));
}

} // namespace Fx
