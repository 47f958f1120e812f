// Names and descriptions for screen readers: the hint where a control has one, this table elsewhere.
#include "widgets/Accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QLabel>
#include <QString>
#include <QWidget>

namespace Accessibility {

namespace {

struct Entry
{
    const char *window;
    const char *control;
    const char *name;
    const char *description;
};

// Controls without caption or hint get their name here; captioned ones may get a description
// where the caption alone would leave a listener guessing (five "Elimina" buttons, a bare number).
const Entry Entries[] = {
    {"FrmMain", "EdOrologio", "Orologio", "Ora attuale"},
    {"FrmMain", "Edsveglia1", "Ora della nuova sveglia", "Due cifre, da 00 a 23; Invio inserisce la sveglia"},
    {"FrmMain", "EDSveglia2", "Minuti della nuova sveglia", "Due cifre, da 00 a 59; Invio inserisce la sveglia"},
    {"FrmMain", "PanControllo", "Sveglie attive", nullptr},
    {"FrmMain", "Panel1", "Sveglia 1", nullptr},
    {"FrmMain", "Panel3", "Sveglia 2", nullptr},
    {"FrmMain", "Panel5", "Sveglia 3", nullptr},
    {"FrmMain", "Panel7", "Sveglia 4", nullptr},
    {"FrmMain", "Panel11", "Sveglia 5", nullptr},
    {"FrmMain", "ed1sv1", "Sveglia 1, ora", "Un asterisco indica una sveglia libera"},
    {"FrmMain", "Ed1sv2", "Sveglia 1, minuti", nullptr},
    {"FrmMain", "Ed2sv1", "Sveglia 2, ora", "Un asterisco indica una sveglia libera"},
    {"FrmMain", "ED2sv2", "Sveglia 2, minuti", nullptr},
    {"FrmMain", "Ed3sv1", "Sveglia 3, ora", "Un asterisco indica una sveglia libera"},
    {"FrmMain", "ed3sv2", "Sveglia 3, minuti", nullptr},
    {"FrmMain", "ed4sv1", "Sveglia 4, ora", "Un asterisco indica una sveglia libera"},
    {"FrmMain", "ed4sv2", "Sveglia 4, minuti", nullptr},
    {"FrmMain", "ed5sv1", "Sveglia 5, ora", "Un asterisco indica una sveglia libera"},
    {"FrmMain", "ed5sv2", "Sveglia 5, minuti", nullptr},
    {"FrmMain", "sbCanc1", nullptr, "Svuota la sveglia 1"},
    {"FrmMain", "sbCanc2", nullptr, "Svuota la sveglia 2"},
    {"FrmMain", "sbCanc3", nullptr, "Svuota la sveglia 3"},
    {"FrmMain", "SbCanc4", nullptr, "Svuota la sveglia 4"},
    {"FrmMain", "SbCanc5", nullptr, "Svuota la sveglia 5"},
    {"FrmSveglia", "FrmSveglia", nullptr, "Sveglia! Chiudi nasconde la finestra; un clic sul fondo rosso chiude il programma"},
    {"FrmControllaVersione", "LabVerAttuale", nullptr, "Versione attuale"},
    {"FrmControllaVersione", "LabVerInternet", nullptr, "Versione disponibile su internet"},
    {"FrmControllaVersione", "Editurl", "Indirizzo di scaricamento", nullptr},
    {"frmStart", "ImageLogo", "Logo di Trillora", "Un clic apre il sito internet"},
    {"frmStart", "LabelSito", nullptr, "Un clic apre il sito internet"},
    {"frmBug", "lblLink", nullptr, "Un clic apre il sito internet"},
    {"FrmAbout", "Image1", "Logo TQZ", nullptr},
    {"FrmAbout", "lblLink", nullptr, "Un clic apre il sito internet"},
    {"FrmAbout", "Label13", nullptr, "Un clic prepara una mail di richiesta informazioni"},
};

// A window made straight from QWidget (the main and the ringing window) would otherwise be
// presented as a bare filler, which screen readers do not announce as a window.
QAccessibleInterface *plainWindow(const QString &key, QObject *object)
{
    if (!object->isWidgetType() || key != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (!widget->isWindow() || object->metaObject()->superClass() != &QWidget::staticMetaObject)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

bool hasCaption(const QWidget *control)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return !button->text().isEmpty();
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return !label->text().isEmpty();
    return false;
}

void describeControl(QWidget *control, const QString &window)
{
    const QString name = control->objectName();
    for (const Entry &entry : Entries) {
        if (window != QLatin1String(entry.window) || name != QLatin1String(entry.control))
            continue;
        if (entry.name)
            control->setAccessibleName(QString::fromUtf8(entry.name));
        if (entry.description)
            control->setAccessibleDescription(QString::fromUtf8(entry.description));
        break;
    }
    if (control->accessibleName().isEmpty() && !hasCaption(control) && !control->toolTip().isEmpty())
        control->setAccessibleName(control->toolTip());
}

} // namespace

void describe(QWidget *window)
{
    static const bool factoryInstalled = (QAccessible::installFactory(plainWindow), true);
    Q_UNUSED(factoryInstalled)
    const QString name = window->objectName();
    describeControl(window, name);
    for (QWidget *control : window->findChildren<QWidget *>())
        describeControl(control, name);
}

} // namespace Accessibility
