// The version check window: reads the available build from the maker's page and offers the download.
#pragma once

#include "core/Criterio.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <cstdint>

class Browser;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;

class TFrmControllaVersione : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmControllaVersione(QWidget *parent = nullptr);
    ~TFrmControllaVersione() override;

    // Starts a check. It ends when the next document completes (see WebBrowser1DocumentComplete);
    // the window stays usable, and closable, meanwhile.
    void sbControllaClick();
    // Runs once per opening, just after the window first appears.
    void FormActivate();
    // The pieces are appended to Risultati's items, as text of the 8-bit code page.
    void EstraiURLConCriterio(const QList<QByteArray> &Righe, QListWidget *Risultati, bool DallaFine,
                              const QByteArray &MarcaBlocco, const QByteArray &MarcaConta,
                              const QByteArray &MarcaInizio, const QByteArray &MarcaFine,
                              const QByteArray &CaratteriCoda, bool IncludiInizio, bool IncludiFine,
                              std::int16_t Salta);
    QByteArray invertiTesto(const QByteArray &Testo);
    void sbEsciClick();
    void FormCreate();
    void sbScaricaClick();
    void WebBrowser1DocumentComplete();
    void FormDestroy();

    QFrame *Panel1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *LabVerAttuale;
    QLabel *LabVerInternet;
    QLabel *LabMessaggioGrande;
    QLabel *LabMessaggioPiccolo;
    QToolButton *sbControlla;
    QToolButton *sbScarica;
    QToolButton *sbEsci;
    QListWidget *ListURL;
    QLineEdit *Editurl;
    Browser *WebBrowser1;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildLayout();
    void CaricaPagina(const QString &indirizzo);
    void TraduciInterfaccia();
    void ConcludiControllo();

    QList<QByteArray> TestoPagina;
    QString NumeroBuild;
    QString URLControllo;
    QString NomePrg;
    CriterioTaglio Criterio;
    std::int32_t VersioneAttuale = 0;
    bool PaginaCaricata = false;

    // Its first activation asks whether to go on line; a check then waits for the next document
    // to complete, and the rest of it runs then.
    enum class Stato { DaAttivare, Pronta, InAttesaDellaPagina };
    Stato stato = Stato::DaAttivare;
};
