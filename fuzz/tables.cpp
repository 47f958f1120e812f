// Fuzz target: the caption lookup with a fuzzed language and caption against the program's own
// language table. The answer must be what the table holds, read once up front; every statement the
// engine runs must be one of the program's fixed texts, so no fuzzed text ever reaches SQL; and the
// table's file must not change.
#include "FakePlatform.h"
#include "support/Tables.h"
#include "widgets/ErrorDisplay.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSet>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QVariant>
#include <cstdint>
#include <cstdlib>
#include <sqlite3.h>

namespace {

QString table;
QByteArray fingerprint;
QStringList columns;
QList<QStringList> rows; // in the engine's order, ITALIANO first
QSet<QString> allowed;   // every statement text the lookup may run
QStringList ran;         // the statement texts run since the last input

// Every connection the engine opens traces the text of each statement it runs, unexpanded: a bound
// value stays a "?".
int traced(unsigned, void *, void *, void *text)
{
    ran << QString::fromUtf8(static_cast<const char *>(text));
    return 0;
}

int onConnection(sqlite3 *db, const char **, const sqlite3_api_routines *)
{
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, traced, nullptr);
    return SQLITE_OK;
}

QByteArray fingerprintOf()
{
    QFile f(table);
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
        + QFileInfo(table).lastModified().toString(Qt::ISODateWithMs).toUtf8();
}

bool sameAsciiCase(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
        if (lower(x) != lower(y))
            return false;
    }
    return true;
}

// What the lookup must answer: the first row holding the caption's lookup form, or the lookup form.
// Empty when the language names no column.
std::optional<QString> expected(const QString &caption, const QString &language)
{
    qsizetype column = -1;
    for (qsizetype c = 0; c < columns.size() && column < 0; ++c)
        if (sameAsciiCase(columns[c], language))
            column = c;
    if (column < 0)
        return std::nullopt;
    QString form = caption;
    if (form.startsWith(QLatin1Char('&')))
        form.remove(0, 1);
    form.remove(QLatin1Char('\''));
    for (const QStringList &row : rows)
        if (row[0] == form)
            return row[column];
    return form;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    installPlatform(new FakePlatform);
    static QTemporaryDir temporary; // removed at exit
    const QString folder = temporary.path();
    table = folder + QStringLiteral("/lingua.db");
    if (!QFile::copy(QStringLiteral(TRILLORA_LINGUA_DB), table))
        std::abort();
    fake().reset(folder);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reference"));
        db.setDatabaseName(table);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            std::abort();
        QSqlQuery all(QStringLiteral("select ITALIANO, * from lingua order by rowid"), db);
        const QSqlRecord record = db.record(QStringLiteral("lingua"));
        for (int c = 0; c < record.count(); ++c)
            columns << record.fieldName(c);
        columns.prepend(QStringLiteral("ITALIANO")); // row[0] is the lookup column
        while (all.next()) {
            QStringList row;
            for (int c = 0; c <= record.count(); ++c)
                row << all.value(c).toString();
            rows << row;
        }
        if (rows.isEmpty())
            std::abort();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("reference"));
    fingerprint = fingerprintOf();

    // What a lookup runs for each real column, and for a language that names none.
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(onConnection));
    for (const QString &column : std::as_const(columns))
        Fx::TraduciTesto(QStringLiteral("Esci"), column);
    try {
        Fx::TraduciTesto(QStringLiteral("Esci"), QStringLiteral("Klingon"));
    } catch (const TrilloraError &) {
    }
    allowed = QSet<QString>(ran.cbegin(), ran.cend());
    // libFuzzer and the replay both end through exit(): the application goes first, as after a
    // return from main. Registered last, it runs before the static data Qt has made so far goes.
    std::atexit([] { delete QCoreApplication::instance(); });
    return 0;
}

// The language, a NUL, then the caption, both UTF-8.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const qsizetype cut = input.indexOf('\0');
    const QString language = QString::fromUtf8(cut < 0 ? input : input.left(cut));
    const QString caption = cut < 0 ? QString() : QString::fromUtf8(input.mid(cut + 1));

    ran.clear();
    std::optional<QString> got;
    QString failure;
    try {
        got = Fx::TraduciTesto(caption, language);
    } catch (const TrilloraError &error) {
        failure = error.message();
    }
    const std::optional<QString> want = expected(caption, language);
    if (want != got)
        std::abort();
    if (!want && failure != QStringLiteral("no such column: ") + language)
        std::abort();
    if (fingerprintOf() != fingerprint || !QSqlDatabase::connectionNames().isEmpty())
        std::abort();
    for (const QString &text : std::as_const(ran))
        if (!allowed.contains(text))
            std::abort();
    return 0;
}
