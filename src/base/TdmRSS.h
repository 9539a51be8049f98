#pragma once
// Le module de données : tout ce qui n'est pas fenêtre. Il tient le document de lecture XMLDoc,
// le document de la base XMLDocWriter, le client HTTP, les lignes de la page et les deux listes
// de la base. Ses opérations sont réparties par sous-système : lecture (reading/), base (base/),
// page (render/). La fenêtre l'appelle ; lui ne parle qu'aux dialogues.

#include "base/Recherche.h"
#include "commun/Dialogues.h"
#include "commun/TexteEtroit.h"
#include "model/TFlux.h"
#include "model/TRubrique.h"
#include "reading/ClientHTTP.h"
#include "reading/DocumentXML.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class ElementConstruit;

class TdmRSS
{
public:
    // Le client HTTP par défaut est celui de libcurl.
    explicit TdmRSS(IDialogues &dialogues, std::unique_ptr<TClientHTTP> client = nullptr);
    ~TdmRSS();
    TdmRSS(const TdmRSS &) = delete;
    TdmRSS &operator=(const TdmRSS &) = delete;

    // --- Lecture d'un document RSS ---
    // Charge un chemin ou une adresse dans XMLDoc ; faux (après la boîte d'erreur) en cas d'échec,
    // faux sans boîte quand l'utilisateur a arrêté le téléchargement de l'adresse.
    bool chargerDocumentXML(const QString &nom);
    // Un nouveau flux lu du document (ErreurDocumentInactif, ErreurIndexXML remontent à l'appelant),
    // ses adresses relatives résolues contre celle d'où il vient (adresseSource).
    PFlux analyserFlux(const TDocumentXML &document) const;
    // La même lecture, l'adresse d'origine donnée (aucune : adresses laissées telles qu'écrites).
    // Ne touche à rien du module : sert aussi sur un fil de fond, pour un document à lui.
    static PFlux analyserFlux(const TDocumentXML &document, const std::optional<QString> &adresseOrigine);

    // --- Acquisition ---
    // Vrai quand l'utilisateur a choisi un fichier et qu'il s'est chargé dans XMLDoc.
    bool choisirFichierRSS();
    // Le chemin du dernier fichier choisi dans la boîte d'ouverture.
    QString fichierChoisi() const { return m_dernierFichierChoisi; }
    // Télécharge l'adresse dans sa copie locale et rend le chemin de la copie. Un téléchargement
    // arrêté par l'utilisateur rend un chemin vide, sans boîte, et laisse la copie d'avant telle quelle.
    QString telechargerFlux(const QString &adresse);
    // Le nom de la copie locale d'une adresse (sans dossier).
    static QString nomCopieLocale(const QString &adresse);
    // L'adresse http(s) d'où vient le document nommé : le nom lui-même quand c'est une adresse,
    // l'adresse téléchargée quand c'est une copie locale faite par telechargerFlux ; rien pour
    // un autre fichier. Ses adresses relatives se résolvent contre elle.
    std::optional<QString> adresseSource(const QString &nomFichier) const;
    // Lit l'adresse, ajoute son flux à la fin de fluxBase et le rend ; nul en cas d'échec.
    PFlux ajouterSourceParURL(const QString &adresse);

    // --- Page ---
    // La page tient dans poidsMaxPage, ce que la vue web qui la montre peut y consacrer (PoidsPage :
    // ses octets et ses nœuds). Une page de 5 000 informations aux courtes descriptions HTML
    // (3 Mo) y tient entière ; une page faite de balises seules (« <br> ») s'arrête vers 250 000
    // éléments, une page de texte vers 5 Mo. Les processus de
    // la fenêtre restent ainsi sous 1,5 Gio même quand elle tient en plus l'arbre le plus grand que
    // les budgets acceptent (bench_hostiles_interface). Les informations qui n'y tiennent plus n'y
    // sont pas, et une dernière ligne dit combien la liste en a de plus ; une valeur d'en-tête
    // trop longue y est remplacée par « (trop long pour la page) ». reservePage (en octets) est
    // gardée pour le pied, la dernière ligne et le bandeau des informations sauvegardées.
    static constexpr qint64 poidsMaxPage = 256LL * 1024 * 1024;
    static constexpr qsizetype reservePage = 64 * 1024;
    // Vrai pour une information à marquer « Nouveau » devant son titre ; vide : aucune.
    using EstNouvelle = std::function<bool(const TInfo &)>;
    QString genererPageDocument();
    // La même page pour le flux déjà lu de XMLDoc (celui que la fenêtre montre aussi ailleurs).
    QString genererPageDocument(const TFlux &fluxLu, const EstNouvelle &estNouvelle = {});
    QString genererPageFlux(const TFlux &flux, const EstNouvelle &estNouvelle = {});
    QString genererPageInfosSauvegardees(const TFlux &flux);
    QString ecrirePageFlux(const TFlux &flux, const QString &couleur, const EstNouvelle &estNouvelle = {});
    const QList<TexteEtroit> &getLignesPage() const { return lignesPage; }
    // Reprend les lignes qu'a données genererPageDocument pour un document inchangé depuis, et
    // les écrit comme elle ; rend le chemin de la page.
    QString reprendrePageDocument(const QList<TexteEtroit> &lignes);

    // --- Base : fichier ---
    void chargerBase(const TexteEtroit &chemin);
    // Le même chargement pour un chemin large (un dossier hors Windows-1252 reste lisible).
    void chargerBase(const QString &chemin);
    QString sauvegarderBase();
    // Sauvegarde depuis un modèle et vers un fichier donnés (rss-outil base --reecrire).
    QString sauvegarderBase(const QString &cheminModele, const QString &cheminSortie);
    // Les octets du fichier s'écrivent directement, sans arbre : après une sauvegarde,
    // XMLDocWriter tient le modèle et l'élément « racine » vide où ils ont pris place. Avec ce
    // réglage, il tient aussi toute sa descendance, l'arbre dont toByteArray(2) donne ces octets.
    void construireArbreDeSauvegarde(bool oui) { m_arbreDeSauvegarde = oui; }

    // --- Base : opérations ---
    QList<PFlux> &getFluxBase() { return fluxBase; }
    PFlux getFlux(int position) const { return fluxBase.at(position); }
    QList<PRubrique> &getRubriquesBase() { return rubriquesBase; }
    PFlux chercherFluxParUrl(const QString &adresse) const;
    void ajouterRubriqueAuFlux(const QString &nom, TFlux &flux);
    int indexRubriqueDuFlux(const QString &nom, const TFlux &flux) const;
    void retirerRubriqueDuFlux(const QString &nom, TFlux &flux);
    bool infoExiste(const TInfo &info, const TFlux &flux) const;
    bool ajouterInfo(const PInfo &info, TFlux &flux);
    bool supprimerInfo(const TInfo *info, TFlux &flux);
    bool titreContient(const QString &texte, const TInfo &info) const;
    bool lienContient(const QString &texte, const TInfo &info) const;
    bool descriptionContient(const QString &texte, const TInfo &info) const;
    // Les mêmes tests avec un texte cherché préparé une fois pour toute la recherche.
    bool titreContient(const TexteRecherche &texte, const TInfo &info) const;
    bool lienContient(const TexteRecherche &texte, const TInfo &info) const;
    bool descriptionContient(const TexteRecherche &texte, const TInfo &info) const;
    // Vrai dès qu'une information stockée du flux contient le texte dans un champ choisi
    // (titre, puis lien, puis description).
    bool fluxTrouve(const TexteRecherche &texte, const TFlux &flux, ChampsRecherche champs) const;
    PRubrique creerRubrique(const TexteEtroit &nom);
    void detruireRubrique(const QString &nom);

    IDialogues &dialogues() { return m_dialogues; }
    TClientHTTP &client() { return *connexionHTTP; }

    TDocumentXML XMLDoc;
    TDocumentXML XMLDocWriter;

private:
    // Étapes de chargerBase.
    void lireListeFlux(const QDomNode &listeFlux);
    void lireImage(const QDomNode &image, TFlux &flux);
    void lireInfos(const QDomNode &infos, TFlux &flux);
    void lireRubriquesAssociees(const QDomNode &rubriques, TFlux &flux);
    void lireListeRubriques(const QDomNode &listeRubriques);
    // Étapes de sauvegarderBase : chacune ajoute ses éléments sous l'élément donné, dans l'arbre
    // et dans les octets du fichier (SauvegardeBase.cpp).
    void ecrireImage(const TImageFlux &image, ElementConstruit &elementFlux);
    void ecrireInfos(const QList<PInfo> &infos, ElementConstruit &elementFlux);
    void ecrireInfo(const TInfo &info, ElementConstruit &elementInfos);
    void ecrireRubriquesAssociees(const QList<TexteEtroit> &rubriques, ElementConstruit &elementFlux);
    // Les lignes de la page dans le fichier de page ; rend son chemin.
    QString ecrireLignesPage() const;

    IDialogues &m_dialogues;
    std::unique_ptr<TClientHTTP> connexionHTTP;
    QString m_dernierFichierChoisi;
    // Les copies locales téléchargées et leur adresse.
    QHash<QString, QString> m_adressesDesCopies;
    QList<TexteEtroit> lignesPage;
    bool m_arbreDeSauvegarde = false;
    QList<PFlux> fluxBase;
    QList<PRubrique> rubriquesBase;
};
