-- Language table: each translated caption in lookup form (no leading "&", no apostrophes) and
-- its text in each language; a language's column name is the value LINGUA takes to choose it.
create table lingua (
    ITALIANO text,
    English text,
    Deutsch text,
    "Français" text,
    "Español" text
);

insert into lingua (ITALIANO, English, Deutsch, "Français", "Español") values
-- Version check window
('Controllo eventuali aggiornamenti disponibili', 'Check for available updates',
 'Nach verfügbaren Aktualisierungen suchen', 'Recherche des mises à jour disponibles',
 'Buscar actualizaciones disponibles'),
('Versione attuale', 'Current version', 'Aktuelle Version', 'Version actuelle', 'Versión actual'),
('Versione disponibile su internet', 'Version on the internet', 'Version im Internet',
 'Version sur internet', 'Versión en internet'),
('Scarica', 'Download', 'Laden', 'Télécharger', 'Descargar'),
('Controlla', 'Check', 'Prüfen', 'Vérifier', 'Comprobar'),
-- Splash window
('Caricamento in corso, attendere..', 'Loading, please wait..', 'Wird geladen, bitte warten..',
 'Chargement en cours, patientez..', 'Cargando, espere por favor..'),
-- Bug report window
('Segnalazione bug al team TQZ', 'Bug report to the TQZ team', 'Fehlermeldung an das TQZ-Team',
 'Signaler un bug à l''équipe TQZ', 'Informe de errores al equipo TQZ'),
('Il tuo supporto aiuta a migliorare i software TQZ', 'Your support helps to improve TQZ software',
 'Ihre Hilfe macht die TQZ-Software besser', 'Votre aide améliore les logiciels TQZ',
 'Su ayuda mejora el software TQZ'),
('Premi su segnala per inoltrarci la segnalazione dellerrore:', 'Press ''Report'' to send us your error report:',
 'Mit ''Melden'' schicken Sie uns Ihre Fehlermeldung:', 'Cliquez sur ''Signaler'' pour nous écrire l''erreur :',
 'Pulse ''Informar'' para enviarnos el error:'),
('Le risposte ai bug già segnalati sono visibli sulla sezione', 'Answers to bugs already reported are in the',
 'Antworten auf gemeldete Fehler finden Sie im', 'Les réponses aux bugs signalés sont dans le',
 'Las respuestas a los errores están en el'),
('forum del nostro sito internet', 'forum of our web site', 'Forum unserer Website', 'forum de notre site',
 'foro de nuestro sitio'),
('Segnala', 'Report', 'Melden', 'Signaler', 'Informar'),
('Esci', 'Exit', 'Beenden', 'Quitter', 'Salir');
